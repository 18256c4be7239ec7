// The results store as the checking logic sees it: every check with its
// passes and rows kept as it is written, the history of past checks, and the
// memory of verified result pages that lets a query be asked once. The
// desktop program and the command-line checker hand an implementation to the
// check; the passes never learn where it keeps anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "check/batch_summary.h"
#include "check/cached_page.h"
#include "check/engine_tables.h"
#include "check/segment_source.h"
#include "check/segment_status.h"

namespace oc {

using CheckId = std::int64_t;

// How a row's result was obtained.
enum class RowOrigin {
    Queried,  // asked the engine during this check
    Cached,   // every page from the store's memory of an earlier query
    Local,    // the local documents
};

// One segment of a pass as its row shows it. Texts are UTF-8.
struct StoredRow {
    int number = 0;  // 1-based, as the grid numbers it
    std::string text;
    SegmentStatus status = SegmentStatus::Unverified;
    std::string reason;
    int hits = 0;
    std::string url;
    std::optional<SegmentSource> source;
    RowOrigin origin = RowOrigin::Queried;
    // When the row was written.
    StoreTime checkedAt = 0;
    // The query time of the oldest page the row used; none for an unverified
    // row and a local one.
    std::optional<StoreTime> verifiedAt;
    // How much of the segment its best page highlighted (percent, in 整句);
    // none where no coverage was measured.
    std::optional<int> coverage;
    // Values a later version adds to a row (a JSON object, or empty).
    std::string extra;
};

// The captions a pass leaves (UTF-8, as the window shows them) and how it ended.
struct StoredPassEnd {
    Engine engine = Engine::Baidu;
    std::string end;  // "running" while it runs, else the JSON name of how it ended
    // How its segments were gone through: "finished", "cancelled", "stopped".
    std::string stop;
    std::string value;
    std::string coverage;
    std::string verdict;
    int total = 0;  // segments of the pass
};

struct StoredPass {
    StoredPassEnd summary;
    std::vector<StoredRow> rows;  // by number
};

// What is known when a check starts. Texts are UTF-8.
struct CheckStart {
    StoreTime startedAt = 0;
    std::string article;  // exactly as checked
    std::string title;    // checkTitle(article)
    int chars = 0;        // the character count the window shows
    // The settings in force, every value the check uses: name and value.
    std::vector<std::pair<std::string, std::string>> settings;
    std::string origin;  // "window" or "cli"
    // What else the front end keeps of the check (a JSON object, or empty).
    std::string extra;
};

enum class CheckState {
    Running,      // a process is working on it now
    Finished,     // it has an end time
    Interrupted,  // 中断: no end time and no process working on it
};

struct CheckSummary {
    CheckId id = 0;
    StoreTime startedAt = 0;
    std::optional<StoreTime> endedAt;
    std::string title;
    int chars = 0;
    CheckState state = CheckState::Finished;
    std::vector<StoredPassEnd> passes;  // Baidu, 360, local order
};

struct StoredCheck {
    CheckSummary summary;
    std::string article;
    std::vector<std::pair<std::string, std::string>> settings;
    std::string origin;
    std::string extra;
    std::vector<StoredPass> passes;  // Baidu, 360, local order
};

using BatchId = std::int64_t;

// One article of a batch queue, as its row of the batch shows it.
struct StoredBatchItem {
    int position = 0;  // 0-based, in the order of the queue
    // Its input (BatchEntry::input), and once checked its figures and status.
    BatchEntry entry;
    bool finished = false;  // checked (or failed); false: still to do
    // The check in the history the article became; none before or when it failed.
    std::optional<CheckId> check;
};

// A queue of articles checked one after another.
struct StoredBatch {
    BatchId id = 0;
    StoreTime startedAt = 0;
    std::string origin;  // "window" or "cli"
    // What tells one batch's inputs and options from another's (for going on
    // with the same command line).
    std::string key;
    std::vector<StoredBatchItem> items;  // by position

    int unfinished() const;
};

// Every operation is safe from several threads at once. A store that cannot be
// used (corrupt, unreadable, locked, full, read-only, written by a newer
// version) fails quietly: writes do nothing, reads find nothing, and
// problem() says why, so a check goes on without it.
class CheckStore {
  public:
    virtual ~CheckStore() = default;

    // Why the store cannot be used (UTF-8, for "检测记录不可用：<reason>"); empty
    // while it can.
    virtual std::string problem() const = 0;

    // Records the start of a check and holds its lock until endCheck; nothing
    // when the store cannot be used.
    virtual std::optional<CheckId> beginCheck(const CheckStart& start) = 0;
    // Holds the lock of an earlier check again while its unverified rows are
    // asked again; false when it is gone or held by another process.
    virtual bool resumeCheck(CheckId id) = 0;
    // Each write is committed before it returns.
    virtual void writePass(CheckId id, const StoredPassEnd& pass) = 0;
    virtual void writeRow(CheckId id, Engine engine, const StoredRow& row) = 0;
    // Sets the end time and releases the lock.
    virtual void endCheck(CheckId id, StoreTime endedAt) = 0;

    // Newest first.
    virtual std::vector<CheckSummary> listChecks() = 0;
    virtual std::optional<StoredCheck> loadCheck(CheckId id) = 0;
    // False when there is no such check or it is running.
    virtual bool deleteCheck(CheckId id) = 0;

    // The page kept for the key, when it was verified at or after `notBefore`
    // and analysed keeping fragments of `minFragmentBytes` or fewer bytes.
    virtual std::optional<CachedPage> cachedPage(const PageKey& key, StoreTime notBefore,
                                                 int minFragmentBytes) = 0;
    virtual void keepPage(const PageKey& key, const CachedPage& page) = 0;

    // Records a new batch and holds its lock until endBatch (or the process
    // ends); its items follow with writeBatchItem.
    virtual std::optional<BatchId> beginBatch(const std::string& origin,
                                              const std::string& key) = 0;
    // The newest batch of `origin` (and `key`, unless empty) that has not
    // ended and that no process works on, with its items; its lock is then
    // held by this process. None when there is no such batch.
    virtual std::optional<StoredBatch> takeUnfinishedBatch(const std::string& origin,
                                                           const std::string& key) = 0;
    // Adds or replaces the item at its position; committed before it returns.
    virtual void writeBatchItem(BatchId id, const StoredBatchItem& item) = 0;
    // Sets the end time (nothing is left to go on with) and releases the lock.
    virtual void endBatch(BatchId id, StoreTime endedAt) = 0;
    // Releases the lock of a batch left unfinished (stopped): it may be taken again.
    virtual void releaseBatch(BatchId id) = 0;
};

// The title of a check: the article's first non-empty line, trimmed, at most
// 40 characters (UTF-8 in, UTF-8 out).
std::string checkTitle(const std::string& articleUtf8);

// A time in the local time zone: ISO 8601 with its offset
// ("2026-12-09T10:14:05+08:00"), and as the window shows it ("2026-12-09 10:14").
std::string isoTimeOf(StoreTime time);
std::string shownTimeOf(StoreTime time);

// The JSON names of row statuses: "hit", "original", "unverified", "skipped".
const char* statusJsonName(SegmentStatus status);
SegmentStatus statusFromJsonName(const std::string& name);

}  // namespace oc
