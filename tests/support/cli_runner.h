// Runs the built command-line checker as a child process, with a time limit,
// for the tests that drive it end to end.
#pragma once

#include <chrono>
#include <string>

namespace oc::testing {

struct CliRun {
    int status = -1;       // the exit status; 124 when the time limit ended it
    std::string out;       // standard output
    std::string err;       // standard error
    double seconds = 0.0;  // how long it ran
};

// Tests run the checker several times against one server that answers
// differently each time: "--no-store " (no run takes its answers from an
// earlier one's remembered pages, and a verified row's time never enters the
// output) unless `args` name the store or the cache, or run a subcommand.
std::string storeArgs(const std::string& args);

// Runs `binDir`/originality-cli with `args` (shell words, quoted by the
// caller) and `input` on standard input; the files it needs go to `folder`.
// `environment` holds NAME=value words set for the program only.
CliRun runCli(const std::string& binDir, const std::string& folder, const std::string& args,
              const std::string& input = "", std::chrono::seconds limit = std::chrono::seconds(120),
              const std::string& environment = "");

}  // namespace oc::testing
