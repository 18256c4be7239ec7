#include "app/cli/cli_store.h"

#include "services/shown_text.h"
#include "store/sqlite_check_store.h"
#include "store/store_location.h"

namespace oc::cli {

std::unique_ptr<CheckStore> openCliStore(const CliOptions& options) {
    if (options.noStore) {
        return nullptr;
    }
    store::StoreOptions storeOptions;
    if (options.storeTimeoutMs > 0) {
        storeOptions.busyTimeout = std::chrono::milliseconds(options.storeTimeoutMs);
    }
    const std::string path = options.storeFile.empty() ? store::storeFilePath() : options.storeFile;
    return std::make_unique<store::SqliteCheckStore>(path, storeOptions);
}

bool tellStoreProblem(const CheckStore* store, std::ostream& err) {
    if (store == nullptr) {
        return false;
    }
    const std::string problem = store->problem();
    if (problem.empty()) {
        return false;
    }
    err << "originality-cli: 检测记录不可用：" << terminalText(problem) << "\n";
    return true;
}

}  // namespace oc::cli
