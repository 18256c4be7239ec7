// The desktop program's command line: --help and --version, answered before
// the application object exists (so they work without a display), and a
// refusal of anything Qt did not take as its own option.
#pragma once

#include <QStringList>
#include <optional>

namespace oc {

// Prints the help or the version on standard output and gives exit status 0
// when asked for one; nothing otherwise.
std::optional<int> answerInformationOptions(int argc, char** argv);

// The arguments left once QApplication has taken its own: an unknown option or
// any argument is named on standard error, exit status 2.
std::optional<int> refuseLeftoverArguments(const QStringList& arguments);

}  // namespace oc
