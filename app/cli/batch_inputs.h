// The articles of one command line: files, the documents of folders
// (recursively) and web pages, in the order given; and where each article's
// report goes with --report-dir.
#pragma once

#include <string>
#include <vector>

#include "app/cli/article_run.h"
#include "app/cli/cli_options.h"

namespace oc::cli {

struct BatchInputs {
    std::vector<ArticleInput> articles;
    // More than one article, or a folder: each is checked one after another
    // and printed as one of several.
    bool several = false;
    // A folder that cannot be listed (UTF-8 message), else empty.
    std::string error;
};

// Folders give their documents in path order; what a folder leaves out is
// named on standard error as "skipped: PATH: REASON".
BatchInputs collectInputs(const CliOptions& options);

// The report file of each article in `dir`: the file name without its
// extension, a web page's host and path, ".html", "-2", "-3"... when two
// articles would share a name.
std::vector<std::string> reportPathsIn(const std::string& dir,
                                       const std::vector<ArticleInput>& articles);

}  // namespace oc::cli
