// The results store of a command-line run.
#pragma once

#include <memory>
#include <ostream>

#include "app/cli/cli_options.h"
#include "check/check_store.h"

namespace oc::cli {

// The store the options name: none with --no-store. A store that cannot be
// used is returned too; tellStoreProblem says why.
std::unique_ptr<CheckStore> openCliStore(const CliOptions& options);

// Writes "originality-cli: 检测记录不可用：<reason>" once per store, when it
// has a problem; true when it did.
bool tellStoreProblem(const CheckStore* store, std::ostream& err);

}  // namespace oc::cli
