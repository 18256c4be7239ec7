// The results store in one SQLite file: WAL journal, a busy timeout, a schema
// version with migrations, safe with the window and several command-line
// processes at once.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "check/check_store.h"

namespace oc::store {

struct StoreOptions {
    // How long a write waits for another process's write to end.
    std::chrono::milliseconds busyTimeout{5000};
    // For tests: the most database pages the file may hold (0: no limit); a
    // write beyond it fails as on a full disk.
    long long maxPageCount = 0;
};

class SqliteCheckStore : public CheckStore {
  public:
    // Opens the store at `path` (UTF-8), creating file (0600) and folder (0700)
    // when missing and never through a link. A store that cannot be used is
    // still an object: problem() says why.
    explicit SqliteCheckStore(const std::string& path, StoreOptions options = {});
    ~SqliteCheckStore() override;

    std::string problem() const override;
    std::optional<CheckId> beginCheck(const CheckStart& start) override;
    bool resumeCheck(CheckId id) override;
    void writePass(CheckId id, const StoredPassEnd& pass) override;
    void writeRow(CheckId id, Engine engine, const StoredRow& row) override;
    void endCheck(CheckId id, StoreTime endedAt) override;
    std::vector<CheckSummary> listChecks() override;
    std::optional<StoredCheck> loadCheck(CheckId id) override;
    bool deleteCheck(CheckId id) override;
    std::optional<CachedPage> cachedPage(const PageKey& key, StoreTime notBefore,
                                         int minFragmentBytes) override;
    void keepPage(const PageKey& key, const CachedPage& page) override;
    std::optional<BatchId> beginBatch(const std::string& origin, const std::string& key) override;
    std::optional<StoredBatch> takeUnfinishedBatch(const std::string& origin,
                                                   const std::string& key) override;
    void writeBatchItem(BatchId id, const StoredBatchItem& item) override;
    void endBatch(BatchId id, StoreTime endedAt) override;
    void releaseBatch(BatchId id) override;

  private:
    struct Connection;
    mutable std::mutex mutex_;
    std::unique_ptr<Connection> connection_;
};

}  // namespace oc::store
