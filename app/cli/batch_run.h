// Several articles checked one after another by the command-line checker,
// the queue kept in the results store so that the same command line run
// again after an interruption goes on where it stopped.
#pragma once

#include "app/cli/batch_inputs.h"
#include "app/cli/cli_options.h"
#include "check/check_store.h"

namespace oc::cli {

// Checks the articles not yet finished (all of them without an unfinished
// batch of the same inputs, or with --no-resume), prints each article's
// document (those of the earlier run from the history), writes the reports
// and the summary. Returns the worst exit status of the articles.
int runBatch(const CliOptions& options, const BatchInputs& inputs, CheckStore* store);

// What tells a batch's inputs from another's: the engines and every input
// (a file by its absolute path), one a line.
std::string batchKey(const CliOptions& options, const std::vector<ArticleInput>& articles);

}  // namespace oc::cli
