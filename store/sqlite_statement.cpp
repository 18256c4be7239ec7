#include "store/sqlite_statement.h"

#include <utility>

namespace oc::store {

Statement::Statement(sqlite3* db, std::string_view sql) {
    prepared_ = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                   SQLITE_PREPARE_PERSISTENT, &statement_, nullptr);
    if (prepared_ != SQLITE_OK) {
        sqlite3_finalize(statement_);
        statement_ = nullptr;
    }
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

Statement::Statement(Statement&& other) noexcept
    : statement_(std::exchange(other.statement_, nullptr)),
      prepared_(std::exchange(other.prepared_, SQLITE_MISUSE)),
      bindError_(other.bindError_) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(statement_);
        statement_ = std::exchange(other.statement_, nullptr);
        prepared_ = std::exchange(other.prepared_, SQLITE_MISUSE);
        bindError_ = other.bindError_;
    }
    return *this;
}

Statement& Statement::bind(int index, std::int64_t value) {
    if (statement_ != nullptr && bindError_ == SQLITE_OK) {
        bindError_ = sqlite3_bind_int64(statement_, index, value);
    }
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    if (statement_ != nullptr && bindError_ == SQLITE_OK) {
        bindError_ = sqlite3_bind_text64(statement_, index, text.data(), text.size(),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    return *this;
}

Statement& Statement::bindBlob(int index, std::string_view bytes) {
    if (statement_ != nullptr && bindError_ == SQLITE_OK) {
        bindError_ =
            sqlite3_bind_blob64(statement_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
    }
    return *this;
}

Statement& Statement::bind(int index, const std::optional<std::int64_t>& value) {
    if (value) {
        return bind(index, *value);
    }
    if (statement_ != nullptr && bindError_ == SQLITE_OK) {
        bindError_ = sqlite3_bind_null(statement_, index);
    }
    return *this;
}

int Statement::step() {
    if (statement_ == nullptr) {
        return prepared_ == SQLITE_OK ? SQLITE_MISUSE : prepared_;
    }
    if (bindError_ != SQLITE_OK) {
        return bindError_;
    }
    return sqlite3_step(statement_);
}

int Statement::run() {
    int result = step();
    while (result == SQLITE_ROW) {
        result = step();
    }
    reset();
    return result;
}

void Statement::reset() {
    if (statement_ != nullptr) {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    bindError_ = SQLITE_OK;
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::optional<std::int64_t> Statement::optionalInteger(int column) const {
    if (isNull(column)) {
        return std::nullopt;
    }
    return integer(column);
}

std::string Statement::text(int column) const {
    const void* bytes = sqlite3_column_blob(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    return bytes != nullptr
               ? std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(size))
               : std::string();
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

int execute(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

}  // namespace oc::store
