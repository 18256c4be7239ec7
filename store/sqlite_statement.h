// A thin owner of an SQLite connection and its prepared statements: each
// failure becomes the result code the caller turns into the store's problem.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace oc::store {

// One prepared statement, reset and unbound when it is prepared again.
class Statement {
  public:
    Statement() = default;
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // The result of preparing it: SQLITE_OK when usable.
    int prepared() const { return prepared_; }
    // Binds from 1 on; a null optional binds NULL.
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, std::string_view text);
    Statement& bindBlob(int index, std::string_view bytes);
    Statement& bind(int index, const std::optional<std::int64_t>& value);
    // SQLITE_ROW, SQLITE_DONE or an error code; a failed bind before it is reported here.
    int step();
    // Steps to the end; SQLITE_DONE when every row went well.
    int run();
    void reset();

    std::int64_t integer(int column) const;
    std::optional<std::int64_t> optionalInteger(int column) const;
    std::string text(int column) const;
    bool isNull(int column) const;

  private:
    sqlite3_stmt* statement_ = nullptr;
    int prepared_ = SQLITE_MISUSE;
    int bindError_ = SQLITE_OK;
};

// Runs statements without results (several separated by ";"); the result code.
int execute(sqlite3* db, const char* sql);

}  // namespace oc::store
