#include "store/sqlite_check_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "settings/settings_location.h"
#include "store/check_locks.h"
#include "store/page_coding.h"
#include "store/sqlite_statement.h"
#include "store/store_problem.h"
#include "store/store_schema.h"

namespace oc::store {
namespace {

// A row's values that have no column of their own travel in its "extra" JSON
// object: the highlight coverage as "coverage".
std::string rowExtraWith(const StoredRow& row) {
    if (!row.coverage) {
        return row.extra;
    }
    nlohmann::json extra = nlohmann::json::parse(row.extra, nullptr, false);
    if (!extra.is_object()) {
        extra = nlohmann::json::object();
    }
    extra["coverage"] = *row.coverage;
    return extra.dump();
}

void takeRowExtra(StoredRow& row, const std::string& text) {
    nlohmann::json extra = nlohmann::json::parse(text, nullptr, false);
    if (!extra.is_object()) {
        row.extra = text;
        return;
    }
    auto coverage = extra.find("coverage");
    if (coverage != extra.end() && coverage->is_number_integer()) {
        row.coverage = coverage->get<int>();
        extra.erase(coverage);
    }
    row.extra = extra.empty() ? std::string() : extra.dump();
}

// Entries older than the longest 缓存天数 allowed are of no use to anyone.
constexpr StoreTime kLongestCacheSeconds = 366LL * 24 * 3600;

const char* engineKey(Engine engine) {
    switch (engine) {
        case Engine::Baidu:
            return "baidu";
        case Engine::So360:
            return "360";
        case Engine::Local:
            break;
    }
    return "local";
}

std::optional<Engine> engineOfKey(const std::string& key) {
    for (Engine engine : {Engine::Baidu, Engine::So360, Engine::Local}) {
        if (key == engineKey(engine)) {
            return engine;
        }
    }
    return std::nullopt;
}

const char* originKey(RowOrigin origin) {
    switch (origin) {
        case RowOrigin::Queried:
            return "queried";
        case RowOrigin::Cached:
            return "cached";
        case RowOrigin::Local:
            break;
    }
    return "local";
}

RowOrigin originOfKey(const std::string& key) {
    for (RowOrigin origin : {RowOrigin::Cached, RowOrigin::Local}) {
        if (key == originKey(origin)) {
            return origin;
        }
    }
    return RowOrigin::Queried;
}

// The settings as a JSON array of [name, value] pairs, in their order.
std::string settingsJson(const std::vector<std::pair<std::string, std::string>>& settings) {
    nlohmann::json list = nlohmann::json::array();
    for (const auto& [name, value] : settings) {
        list.push_back({name, value});
    }
    return list.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::vector<std::pair<std::string, std::string>> settingsOfJson(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> settings;
    const nlohmann::json list = nlohmann::json::parse(text, nullptr, false);
    if (!list.is_array()) {
        return settings;
    }
    for (const nlohmann::json& pair : list) {
        if (pair.is_array() && pair.size() == 2 && pair[0].is_string() && pair[1].is_string()) {
            settings.emplace_back(pair[0].get<std::string>(), pair[1].get<std::string>());
        }
    }
    return settings;
}

// A batch's lock is a byte of the lock file far past any check's.
constexpr std::int64_t kBatchLockBase = std::int64_t{1} << 40;

// A batch item's summary row (its input apart) as a JSON object, and back.
std::string entryJson(const BatchEntry& entry) {
    nlohmann::json engines = nlohmann::json::array();
    for (const BatchEngineValue& value : entry.engines) {
        engines.push_back({{"engine", engineKey(value.engine)},
                           {"value", value.value},
                           {"coverage", value.coverage}});
    }
    const nlohmann::json json = {{"chars", entry.chars},
                                 {"engines", engines},
                                 {"status", entry.status},
                                 {"report", entry.report}};
    return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

BatchEntry entryOfJson(const std::string& input, const std::string& text) {
    BatchEntry entry;
    entry.input = input;
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (!json.is_object()) {
        return entry;
    }
    entry.chars = json.value("chars", -1LL);
    entry.status = json.value("status", std::string());
    entry.report = json.value("report", std::string());
    const auto engines = json.find("engines");
    if (engines == json.end() || !engines->is_array()) {
        return entry;
    }
    for (const nlohmann::json& value : *engines) {
        if (!value.is_object()) {
            continue;
        }
        if (std::optional<Engine> engine = engineOfKey(value.value("engine", std::string()))) {
            entry.engines.push_back({*engine, value.value("value", std::string()),
                                     value.value("coverage", std::string())});
        }
    }
    return entry;
}

bool isFailure(int result) {
    return result != SQLITE_OK && result != SQLITE_ROW && result != SQLITE_DONE;
}

// Makes the file with mode 0600 when it is missing; an empty string when the
// name may be opened, else why not.
std::string prepareFile(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !makeUserFolders(folder.string())) {
        return folderProblem(folder.string());
    }
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0) {
        return S_ISREG(status.st_mode) ? std::string() : notAFileProblem(path);
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    return errno == EEXIST ? prepareFile(path) : problemOf(SQLITE_CANTOPEN, path);
}

}  // namespace

struct SqliteCheckStore::Connection {
    std::string path;
    sqlite3* db = nullptr;
    std::string problem;
    std::unique_ptr<CheckLocks> locks;
    // Prepared once: the statements a check runs for each segment.
    Statement insertRow;
    Statement insertPass;
    Statement findPage;
    Statement insertPage;

    ~Connection() { close(); }

    void close() {
        insertRow = Statement();
        insertPass = Statement();
        findPage = Statement();
        insertPage = Statement();
        sqlite3_close_v2(db);
        db = nullptr;
    }

    bool usable() const { return problem.empty(); }

    // Records the first failure; the store is then left alone. True when the
    // result is no failure.
    bool check(int result) {
        if (!isFailure(result)) {
            return true;
        }
        if (problem.empty()) {
            problem = problemOf(result, path);
        }
        return false;
    }

    // Runs one statement to its end; false (and the problem) on a failure.
    bool run(Statement& statement) { return check(statement.run()); }

    // Runs `work` in one write transaction, rolled back when it fails.
    template <typename Work>
    bool transaction(Work&& work) {
        if (!check(execute(db, "BEGIN IMMEDIATE"))) {
            return false;
        }
        if (work() && check(execute(db, "COMMIT"))) {
            return true;
        }
        execute(db, "ROLLBACK");
        return false;
    }

    void open(const StoreOptions& options);
};

void SqliteCheckStore::Connection::open(const StoreOptions& options) {
    if (path.empty()) {
        problem = "没有可写的位置";
        return;
    }
    problem = prepareFile(path);
    if (!problem.empty()) {
        return;
    }
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX;
    if (!check(sqlite3_open_v2(path.c_str(), &db, flags, nullptr))) {
        return;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, static_cast<int>(options.busyTimeout.count()));
    if (sqlite3_db_readonly(db, "main") == 1) {
        problem = problemOf(SQLITE_READONLY, path);
        return;
    }
    Statement journal(db, "PRAGMA journal_mode = WAL");
    if (!run(journal)) {
        return;
    }
    if (!check(execute(db, "PRAGMA synchronous = NORMAL"))) {
        return;
    }
    if (options.maxPageCount > 0 &&
        !check(execute(
            db, ("PRAGMA max_page_count = " + std::to_string(options.maxPageCount)).c_str()))) {
        return;
    }
    bool newer = false;
    if (!check(migrateSchema(db, newer))) {
        return;
    }
    if (newer) {
        problem = newerSchemaProblem(path);
        return;
    }
    locks = std::make_unique<CheckLocks>(path + "-lock");
    if (!locks->usable()) {
        problem = lockFileProblem(path + "-lock");
        return;
    }
    Statement prune(db, "DELETE FROM page_cache WHERE verified_at < ?");
    prune.bind(1, storeTimeNow() - kLongestCacheSeconds);
    if (!run(prune)) {
        return;
    }
    insertRow = Statement(db,
                          "INSERT OR REPLACE INTO check_rows(check_id, engine, number, text, "
                          "status, reason, hits, url, source_title, source_address, "
                          "source_domain, origin, checked_at, verified_at, extra) "
                          "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insertPass = Statement(db,
                           "INSERT OR REPLACE INTO passes(check_id, engine, pass_end, pass_stop, "
                           "value, coverage, verdict, total) VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
    findPage = Statement(db,
                         "SELECT verified_at, min_fragment, page FROM page_cache "
                         "WHERE url = ? AND endpoint = ? AND analysis = ?");
    insertPage = Statement(db,
                           "INSERT OR REPLACE INTO page_cache(url, endpoint, analysis, "
                           "verified_at, min_fragment, page) VALUES(?, ?, ?, ?, ?, ?)");
    for (Statement* statement : {&insertRow, &insertPass, &findPage, &insertPage}) {
        if (!check(statement->prepared())) {
            return;
        }
    }
}

SqliteCheckStore::SqliteCheckStore(const std::string& path, StoreOptions options)
    : connection_(std::make_unique<Connection>()) {
    connection_->path = path;
    connection_->open(options);
}

SqliteCheckStore::~SqliteCheckStore() = default;

std::string SqliteCheckStore::problem() const {
    std::lock_guard lock(mutex_);
    return connection_->problem;
}

std::optional<CheckId> SqliteCheckStore::beginCheck(const CheckStart& start) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.usable()) {
        return std::nullopt;
    }
    CheckId id = 0;
    const bool written = c.transaction([&] {
        Statement insert(c.db,
                         "INSERT INTO checks(started_at, title, chars, article, settings, origin, "
                         "extra) VALUES(?, ?, ?, ?, ?, ?, ?)");
        insert.bind(1, start.startedAt)
            .bind(2, start.title)
            .bind(3, static_cast<std::int64_t>(start.chars))
            .bind(4, start.article)
            .bind(5, settingsJson(start.settings))
            .bind(6, start.origin)
            .bind(7, start.extra);
        if (!c.run(insert)) {
            return false;
        }
        id = sqlite3_last_insert_rowid(c.db);
        // Held before the check is visible, so no one ever sees it interrupted.
        return c.locks->hold(id);
    });
    if (!written) {
        if (id != 0) {
            c.locks->release(id);
        }
        return std::nullopt;
    }
    return id;
}

bool SqliteCheckStore::resumeCheck(CheckId id) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.usable()) {
        return false;
    }
    Statement exists(c.db, "SELECT 1 FROM checks WHERE id = ?");
    exists.bind(1, id);
    const int found = exists.step();
    if (!c.check(found) || found != SQLITE_ROW) {
        return false;
    }
    return c.locks->hold(id);
}

void SqliteCheckStore::writePass(CheckId id, const StoredPassEnd& pass) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.usable()) {
        return;
    }
    c.insertPass.bind(1, id)
        .bind(2, engineKey(pass.engine))
        .bind(3, pass.end)
        .bind(4, pass.stop)
        .bind(5, pass.value)
        .bind(6, pass.coverage)
        .bind(7, pass.verdict)
        .bind(8, static_cast<std::int64_t>(pass.total));
    c.run(c.insertPass);
}

void SqliteCheckStore::writeRow(CheckId id, Engine engine, const StoredRow& row) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.usable()) {
        return;
    }
    Statement& s = c.insertRow;
    s.bind(1, id)
        .bind(2, engineKey(engine))
        .bind(3, static_cast<std::int64_t>(row.number))
        .bind(4, row.text)
        .bind(5, statusJsonName(row.status))
        .bind(6, row.reason)
        .bind(7, static_cast<std::int64_t>(row.hits))
        .bind(8, row.url);
    if (row.source) {
        s.bind(9, row.source->title).bind(10, row.source->address).bind(11, row.source->domain);
    }
    s.bind(12, originKey(row.origin))
        .bind(13, row.checkedAt)
        .bind(14, row.verifiedAt)
        .bind(15, rowExtraWith(row));
    c.run(s);
}

void SqliteCheckStore::endCheck(CheckId id, StoreTime endedAt) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (c.usable()) {
        Statement end(c.db, "UPDATE checks SET ended_at = ? WHERE id = ?");
        end.bind(1, endedAt).bind(2, id);
        c.run(end);
    }
    if (c.locks) {
        c.locks->release(id);
    }
}

std::vector<CheckSummary> SqliteCheckStore::listChecks() {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    std::vector<CheckSummary> checks;
    if (!c.usable()) {
        return checks;
    }
    Statement list(c.db,
                   "SELECT id, started_at, ended_at, title, chars FROM checks "
                   "ORDER BY started_at DESC, id DESC");
    std::map<CheckId, std::size_t> indexOf;
    int result;
    while ((result = list.step()) == SQLITE_ROW) {
        CheckSummary summary;
        summary.id = list.integer(0);
        summary.startedAt = list.integer(1);
        summary.endedAt = list.optionalInteger(2);
        summary.title = list.text(3);
        summary.chars = static_cast<int>(list.integer(4));
        if (!summary.endedAt) {
            summary.state =
                c.locks->held(summary.id) ? CheckState::Running : CheckState::Interrupted;
        }
        indexOf.emplace(summary.id, checks.size());
        checks.push_back(std::move(summary));
    }
    if (!c.check(result)) {
        return {};
    }
    Statement passes(c.db,
                     "SELECT check_id, engine, pass_end, pass_stop, value, coverage, verdict, "
                     "total FROM passes");
    while ((result = passes.step()) == SQLITE_ROW) {
        auto at = indexOf.find(passes.integer(0));
        std::optional<Engine> engine = engineOfKey(passes.text(1));
        if (at == indexOf.end() || !engine) {
            continue;
        }
        checks[at->second].passes.push_back({*engine, passes.text(2), passes.text(3),
                                             passes.text(4), passes.text(5), passes.text(6),
                                             static_cast<int>(passes.integer(7))});
    }
    if (!c.check(result)) {
        return {};
    }
    for (CheckSummary& summary : checks) {
        std::sort(
            summary.passes.begin(), summary.passes.end(),
            [](const StoredPassEnd& a, const StoredPassEnd& b) { return a.engine < b.engine; });
    }
    return checks;
}

std::optional<StoredCheck> SqliteCheckStore::loadCheck(CheckId id) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.usable()) {
        return std::nullopt;
    }
    Statement read(c.db,
                   "SELECT started_at, ended_at, title, chars, article, settings, origin, extra "
                   "FROM checks WHERE id = ?");
    read.bind(1, id);
    int result = read.step();
    if (!c.check(result) || result != SQLITE_ROW) {
        return std::nullopt;
    }
    StoredCheck check;
    check.summary.id = id;
    check.summary.startedAt = read.integer(0);
    check.summary.endedAt = read.optionalInteger(1);
    check.summary.title = read.text(2);
    check.summary.chars = static_cast<int>(read.integer(3));
    check.article = read.text(4);
    check.settings = settingsOfJson(read.text(5));
    check.origin = read.text(6);
    check.extra = read.text(7);
    if (!check.summary.endedAt) {
        check.summary.state = c.locks->held(id) ? CheckState::Running : CheckState::Interrupted;
    }
    Statement passes(c.db,
                     "SELECT engine, pass_end, pass_stop, value, coverage, verdict, total "
                     "FROM passes WHERE check_id = ?");
    passes.bind(1, id);
    while ((result = passes.step()) == SQLITE_ROW) {
        if (std::optional<Engine> engine = engineOfKey(passes.text(0))) {
            StoredPass pass;
            pass.summary = {*engine,
                            passes.text(1),
                            passes.text(2),
                            passes.text(3),
                            passes.text(4),
                            passes.text(5),
                            static_cast<int>(passes.integer(6))};
            check.passes.push_back(std::move(pass));
        }
    }
    if (!c.check(result)) {
        return std::nullopt;
    }
    std::sort(check.passes.begin(), check.passes.end(),
              [](const StoredPass& a, const StoredPass& b) {
                  return a.summary.engine < b.summary.engine;
              });
    Statement rows(c.db,
                   "SELECT engine, number, text, status, reason, hits, url, source_title, "
                   "source_address, source_domain, origin, checked_at, verified_at, extra "
                   "FROM check_rows WHERE check_id = ? ORDER BY engine, number");
    rows.bind(1, id);
    while ((result = rows.step()) == SQLITE_ROW) {
        std::optional<Engine> engine = engineOfKey(rows.text(0));
        auto pass = std::find_if(check.passes.begin(), check.passes.end(),
                                 [&](const StoredPass& p) { return engine == p.summary.engine; });
        if (pass == check.passes.end()) {
            continue;
        }
        StoredRow row;
        row.number = static_cast<int>(rows.integer(1));
        row.text = rows.text(2);
        row.status = statusFromJsonName(rows.text(3));
        row.reason = rows.text(4);
        row.hits = static_cast<int>(rows.integer(5));
        row.url = rows.text(6);
        if (!rows.isNull(7)) {
            row.source = SegmentSource{rows.text(7), rows.text(8), rows.text(9)};
        }
        row.origin = originOfKey(rows.text(10));
        row.checkedAt = rows.integer(11);
        row.verifiedAt = rows.optionalInteger(12);
        takeRowExtra(row, rows.text(13));
        pass->rows.push_back(std::move(row));
    }
    if (!c.check(result)) {
        return std::nullopt;
    }
    return check;
}

bool SqliteCheckStore::deleteCheck(CheckId id) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.usable() || c.locks->held(id)) {
        return false;
    }
    bool found = false;
    c.transaction([&] {
        for (const char* sql :
             {"DELETE FROM check_rows WHERE check_id = ?", "DELETE FROM passes WHERE check_id = ?",
              "DELETE FROM checks WHERE id = ?"}) {
            Statement remove(c.db, sql);
            remove.bind(1, id);
            if (!c.run(remove)) {
                return false;
            }
        }
        found = sqlite3_changes(c.db) > 0;
        return true;
    });
    return found && c.usable();
}

std::optional<CachedPage> SqliteCheckStore::cachedPage(const PageKey& key, StoreTime notBefore,
                                                       int minFragmentBytes) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.usable()) {
        return std::nullopt;
    }
    Statement& s = c.findPage;
    s.bindBlob(1, key.url).bind(2, key.endpoint).bind(3, std::int64_t{key.analysisVersion});
    const int result = s.step();
    std::optional<CachedPage> page;
    if (result == SQLITE_ROW && s.integer(0) >= notBefore && s.integer(1) <= minFragmentBytes) {
        page = decodePage(s.text(2));
        if (page) {
            page->verifiedAt = s.integer(0);
            page->minFragmentBytes = static_cast<int>(s.integer(1));
        }
    }
    s.reset();
    c.check(result);
    return page;
}

void SqliteCheckStore::keepPage(const PageKey& key, const CachedPage& page) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.usable()) {
        return;
    }
    c.insertPage.bindBlob(1, key.url)
        .bind(2, key.endpoint)
        .bind(3, std::int64_t{key.analysisVersion})
        .bind(4, page.verifiedAt)
        .bind(5, std::int64_t{page.minFragmentBytes})
        .bindBlob(6, encodePage(page));
    c.run(c.insertPage);
}

std::optional<BatchId> SqliteCheckStore::beginBatch(const std::string& origin,
                                                    const std::string& key) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.usable()) {
        return std::nullopt;
    }
    BatchId id = 0;
    const bool written = c.transaction([&] {
        Statement insert(c.db,
                         "INSERT INTO batches(started_at, origin, batch_key) VALUES(?, ?, ?)");
        insert.bind(1, storeTimeNow()).bind(2, origin).bind(3, key);
        if (!c.run(insert)) {
            return false;
        }
        id = sqlite3_last_insert_rowid(c.db);
        return c.locks->hold(kBatchLockBase + id);
    });
    if (!written) {
        if (id != 0) {
            c.locks->release(kBatchLockBase + id);
        }
        return std::nullopt;
    }
    return id;
}

std::optional<StoredBatch> SqliteCheckStore::takeUnfinishedBatch(const std::string& origin,
                                                                 const std::string& key) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.usable()) {
        return std::nullopt;
    }
    Statement find(c.db,
                   "SELECT id, started_at, batch_key FROM batches WHERE ended_at IS NULL AND "
                   "origin = ? AND (? = '' OR batch_key = ?) ORDER BY started_at DESC, id DESC");
    find.bind(1, origin).bind(2, key).bind(3, key);
    std::optional<StoredBatch> batch;
    int result;
    while ((result = find.step()) == SQLITE_ROW) {
        const BatchId id = find.integer(0);
        if (c.locks->held(kBatchLockBase + id) || !c.locks->hold(kBatchLockBase + id)) {
            continue;  // another process works on it
        }
        batch = StoredBatch{id, find.integer(1), origin, find.text(2), {}};
        break;
    }
    if (!c.check(result == SQLITE_ROW ? SQLITE_OK : result) || !batch) {
        return std::nullopt;
    }
    Statement items(c.db,
                    "SELECT position, input, finished, check_id, entry FROM batch_items "
                    "WHERE batch_id = ? ORDER BY position");
    items.bind(1, batch->id);
    while ((result = items.step()) == SQLITE_ROW) {
        StoredBatchItem item;
        item.position = static_cast<int>(items.integer(0));
        item.entry = entryOfJson(items.text(1), items.text(4));
        item.finished = items.integer(2) != 0;
        item.check = items.optionalInteger(3);
        batch->items.push_back(std::move(item));
    }
    if (!c.check(result)) {
        c.locks->release(kBatchLockBase + batch->id);
        return std::nullopt;
    }
    return batch;
}

void SqliteCheckStore::writeBatchItem(BatchId id, const StoredBatchItem& item) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.usable()) {
        return;
    }
    Statement write(c.db,
                    "INSERT OR REPLACE INTO batch_items(batch_id, position, input, finished, "
                    "check_id, entry) VALUES(?, ?, ?, ?, ?, ?)");
    write.bind(1, id)
        .bind(2, static_cast<std::int64_t>(item.position))
        .bind(3, item.entry.input)
        .bind(4, std::int64_t{item.finished ? 1 : 0})
        .bind(5, item.check)
        .bind(6, entryJson(item.entry));
    c.run(write);
}

void SqliteCheckStore::endBatch(BatchId id, StoreTime endedAt) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (c.usable()) {
        Statement end(c.db, "UPDATE batches SET ended_at = ? WHERE id = ?");
        end.bind(1, endedAt).bind(2, id);
        c.run(end);
    }
    if (c.locks) {
        c.locks->release(kBatchLockBase + id);
    }
}

void SqliteCheckStore::releaseBatch(BatchId id) {
    std::lock_guard lock(mutex_);
    if (connection_->locks) {
        connection_->locks->release(kBatchLockBase + id);
    }
}

}  // namespace oc::store
