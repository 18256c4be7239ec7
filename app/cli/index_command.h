// `originality-cli index DIR`: builds or brings up to date the index of a
// folder of documents and says what it did.
#pragma once

#include <iosfwd>

namespace oc::cli {

// True when the command line asks for the index command: the first argument
// is the word "index" (a file of that name is given as ./index).
bool isIndexCommand(int argc, char** argv);

// Runs it with the arguments after "index"; the exit status (2: bad usage or
// a folder that cannot be used).
int runIndexCommand(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace oc::cli
