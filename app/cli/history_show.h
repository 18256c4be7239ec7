// `originality-cli history show ID`: a stored check printed as its run printed it.
#pragma once

#include <optional>
#include <ostream>
#include <vector>

#include "app/cli/article_input.h"
#include "app/cli/cli_options.h"
#include "check/check_store.h"
#include "services/article_decoding.h"

namespace oc::cli {

// What the command-line checker keeps beside a check for printing it again:
// the warnings of reading the article and the web page it came from (a JSON
// object for CheckStart::extra), and back.
std::string runExtraJson(const std::vector<ArticleWarning>& warnings,
                         const std::optional<WebPageNote>& page);
void readRunExtra(const std::string& extra, std::vector<ArticleWarning>& warnings,
                  std::optional<WebPageNote>& page);

// Prints the check as text, as JSON (--json), or writes its report (--report
// FILE). Returns the exit status.
int showStoredCheck(const StoredCheck& check, const CliOptions& options, std::ostream& out,
                    std::ostream& err);

}  // namespace oc::cli
