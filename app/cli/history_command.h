// `originality-cli history`: the checks kept in the store, one of them shown
// again as its run printed it, or removed.
#pragma once

#include <ostream>

#include "app/cli/cli_options.h"
#include "check/check_store.h"

namespace oc::cli {

// Runs the history command of the options against the store (none: --no-store)
// and returns the exit status: 0, or kExitUsage for an unusable store or a
// check that is not there (with a message on `err`).
int runHistoryCommand(const CliOptions& options, CheckStore* store, std::ostream& out,
                      std::ostream& err);

// The list as a table for the terminal, newest first.
std::string historyTable(const std::vector<CheckSummary>& checks);
// [{"id", "startedAt", "endedAt" (ISO 8601 or null), "title", "chars",
//   "state" ("finished", "running", "interrupted"), "passes": [{"engine",
//   "end", "originality", "coverage", "verdict"}]}]
std::string historyJson(const std::vector<CheckSummary>& checks);

}  // namespace oc::cli
