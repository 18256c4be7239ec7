// One article checked by the command-line checker: read (a file, standard
// input or a web page), checked with the engines of the options, printed and
// reported.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "app/cli/cli_options.h"
#include "check/batch_summary.h"
#include "check/check_pass.h"
#include "check/check_report.h"
#include "check/check_store.h"

namespace oc::cli {

// Exit statuses of one article; several articles end with the worst.
inline constexpr int kExitCancelled = 1;
inline constexpr int kExitEmptyArticle = 3;

// Several articles never ask an engine faster than this: the engines block a
// client after some dozens of quick requests.
inline constexpr std::chrono::seconds kBatchInterval{3};

// The worse of two exit statuses, by the order 2 > 1 > 4 > 3 > 0.
int worseExitStatus(int a, int b);

struct ArticleInput {
    std::string path;  // a file, "-" for standard input; empty for a web page
    std::string url;   // a web page; empty for a file
    // How the input is named: the path or the address.
    const std::string& name() const { return url.empty() ? path : url; }
};

struct ArticleRun {
    int status = 0;
    // What goes to standard output: the report of the check as the options
    // ask for it (for one article of several, --json gives one line with
    // "input" first).
    std::string printed;
    // The row of the batch summary (its report left for the caller).
    BatchEntry entry;
    // The check in the history (none without the store, or when it failed).
    std::optional<CheckId> check;
};

// The status of the summary for an exit status ("完成", "部分未核实", ...), and back.
std::string statusName(int status);
int exitStatusOfName(const std::string& name);

// The document of one article of several: "input" first, on one line.
std::string jsonLine(const std::string& json, const std::string& input);

// Checks the article. `reportPath` (UTF-8), when not empty, receives the
// report; a report that cannot be written makes the status 2. With `store`
// the check is kept in the history and answers from it are reused. With
// `pacing` (the articles of one batch) the engines are paced across articles. Errors and
// progress go to standard error.
ArticleRun runArticle(const CliOptions& options, const ArticleInput& input, bool oneOfSeveral,
                      const std::string& reportPath, CheckStore* store,
                      std::shared_ptr<EngineRequestTimes> pacing = nullptr);

}  // namespace oc::cli
