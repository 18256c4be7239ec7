#include "store/store_schema.h"

#include <iterator>
#include <string>

#include "store/sqlite_statement.h"

namespace oc::store {
namespace {

// Each step takes the schema from the version of its index to the next one.
// A step is never changed once released; a new version appends one.
constexpr const char* kSteps[] = {
    // 0 -> 1: checks, their passes and rows, and the memory of result pages.
    R"sql(
    CREATE TABLE checks(
        id INTEGER PRIMARY KEY,
        started_at INTEGER NOT NULL,
        ended_at INTEGER,
        title TEXT NOT NULL,
        chars INTEGER NOT NULL,
        article TEXT NOT NULL,
        settings TEXT NOT NULL,
        origin TEXT NOT NULL,
        extra TEXT NOT NULL);
    CREATE INDEX checks_by_start ON checks(started_at);
    CREATE TABLE passes(
        check_id INTEGER NOT NULL,
        engine TEXT NOT NULL,
        pass_end TEXT NOT NULL,
        pass_stop TEXT NOT NULL,
        value TEXT NOT NULL,
        coverage TEXT NOT NULL,
        verdict TEXT NOT NULL,
        total INTEGER NOT NULL,
        PRIMARY KEY(check_id, engine)) WITHOUT ROWID;
    CREATE TABLE check_rows(
        check_id INTEGER NOT NULL,
        engine TEXT NOT NULL,
        number INTEGER NOT NULL,
        text TEXT NOT NULL,
        status TEXT NOT NULL,
        reason TEXT NOT NULL,
        hits INTEGER NOT NULL,
        url TEXT NOT NULL,
        source_title TEXT,
        source_address TEXT,
        source_domain TEXT,
        origin TEXT NOT NULL,
        checked_at INTEGER NOT NULL,
        verified_at INTEGER,
        extra TEXT NOT NULL,
        PRIMARY KEY(check_id, engine, number)) WITHOUT ROWID;
    CREATE TABLE page_cache(
        url BLOB NOT NULL,
        endpoint TEXT NOT NULL,
        analysis INTEGER NOT NULL,
        verified_at INTEGER NOT NULL,
        min_fragment INTEGER NOT NULL,
        page BLOB NOT NULL,
        PRIMARY KEY(url, endpoint, analysis));
    CREATE INDEX page_cache_by_age ON page_cache(verified_at);
    )sql",
    // 1 -> 2: batch queues, each article with its summary row and its check.
    R"sql(
    CREATE TABLE batches(
        id INTEGER PRIMARY KEY,
        started_at INTEGER NOT NULL,
        ended_at INTEGER,
        origin TEXT NOT NULL,
        batch_key TEXT NOT NULL);
    CREATE TABLE batch_items(
        batch_id INTEGER NOT NULL,
        position INTEGER NOT NULL,
        input TEXT NOT NULL,
        finished INTEGER NOT NULL,
        check_id INTEGER,
        entry TEXT NOT NULL,
        PRIMARY KEY(batch_id, position)) WITHOUT ROWID;
    )sql",
};
static_assert(std::size(kSteps) == kSchemaVersion);

int userVersion(sqlite3* db, int& version) {
    Statement read(db, "PRAGMA user_version");
    int result = read.step();
    if (result != SQLITE_ROW) {
        return result;
    }
    version = static_cast<int>(read.integer(0));
    return SQLITE_OK;
}

}  // namespace

int migrateSchema(sqlite3* db, bool& newer) {
    newer = false;
    int version = 0;
    int result = userVersion(db, version);
    if (result != SQLITE_OK || version == kSchemaVersion) {
        return result;
    }
    if (version > kSchemaVersion) {
        newer = true;
        return SQLITE_OK;
    }
    // Another process may be migrating the same file: the version is read
    // again once this one holds the write lock.
    result = execute(db, "BEGIN IMMEDIATE");
    if (result != SQLITE_OK) {
        return result;
    }
    result = userVersion(db, version);
    if (result == SQLITE_OK && version >= kSchemaVersion) {
        newer = version > kSchemaVersion;
        execute(db, "ROLLBACK");
        return SQLITE_OK;
    }
    for (; result == SQLITE_OK && version < kSchemaVersion; ++version) {
        result = execute(db, kSteps[version]);
    }
    if (result == SQLITE_OK) {
        result = execute(db, ("PRAGMA user_version = " + std::to_string(version)).c_str());
    }
    if (result == SQLITE_OK) {
        result = execute(db, "COMMIT");
    }
    if (result != SQLITE_OK) {
        execute(db, "ROLLBACK");
    }
    return result;
}

}  // namespace oc::store
