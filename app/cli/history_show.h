// `originality-cli history show ID`: a stored check printed as its run printed it.
#pragma once

#include <ostream>

#include "app/cli/cli_options.h"
#include "check/check_store.h"

namespace oc::cli {

// Prints the check as text, as JSON (--json), or writes its report (--report
// FILE). Returns the exit status.
int showStoredCheck(const StoredCheck& check, const CliOptions& options, std::ostream& out,
                    std::ostream& err);

}  // namespace oc::cli
