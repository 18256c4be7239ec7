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

// Prints the check as text, as JSON (--json), or writes its report (--report
// FILE). Returns the exit status.
int showStoredCheck(const StoredCheck& check, const CliOptions& options, std::ostream& out,
                    std::ostream& err);

}  // namespace oc::cli
