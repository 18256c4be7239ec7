#include "app/cli/history_show.h"

namespace oc::cli {

int showStoredCheck(const StoredCheck& check, const CliOptions& options, std::ostream& out,
                    std::ostream& err) {
    (void)options;
    (void)err;
    out << check.summary.title << "\n";
    return 0;
}

}  // namespace oc::cli
