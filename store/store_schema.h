// The tables of the results store and the migrations between their versions.
#pragma once

#include <sqlite3.h>

namespace oc::store {

// The schema version this program writes (PRAGMA user_version).
inline constexpr int kSchemaVersion = 2;

// Brings a store of an older version (0: a new file) up to kSchemaVersion in
// one transaction. Returns an SQLite result code; SQLITE_OK when done.
// `newer` is set when the file was written by a newer program, which is then
// left alone.
int migrateSchema(sqlite3* db, bool& newer);

}  // namespace oc::store
