#include "server/sqlite_connection.hpp"

#include <sqlite3.h>

namespace server {

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value) {
  sqlite3_bind_int64(statement_, index, value);
  return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text) {
  sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

SqliteStatement& SqliteStatement::bindBlob(int index, std::string_view bytes) {
  sqlite3_bind_blob64(statement_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
  return *this;
}

int SqliteStatement::step() { return sqlite3_step(statement_); }

std::int64_t SqliteStatement::integer(int column) const { return sqlite3_column_int64(statement_, column); }

std::string SqliteStatement::text(int column) const {
  const void* bytes = sqlite3_column_type(statement_, column) == SQLITE_BLOB
                          ? sqlite3_column_blob(statement_, column)
                          : static_cast<const void*>(sqlite3_column_text(statement_, column));
  const int size = sqlite3_column_bytes(statement_, column);
  return bytes == nullptr ? std::string() : std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(size));
}

void SqliteStatement::reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

std::unique_ptr<SqliteConnection> SqliteConnection::open(const std::string& path, int flags, std::string& error) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    error = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_extended_result_codes(db, 1);
  return std::unique_ptr<SqliteConnection>(new SqliteConnection(db));
}

SqliteConnection::~SqliteConnection() {
  for (auto& [sql, prepared] : statements_) sqlite3_finalize(prepared.raw);
  sqlite3_close(db_);
}

int SqliteConnection::exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

SqliteStatement* SqliteConnection::statement(const char* sql) {
  auto found = statements_.find(sql);
  if (found != statements_.end()) return found->second.wrapper.get();
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr) != SQLITE_OK) return nullptr;
  Prepared prepared;
  prepared.raw = raw;
  prepared.wrapper = std::make_unique<SqliteStatement>(raw);
  SqliteStatement* wrapper = prepared.wrapper.get();
  statements_.emplace(sql, std::move(prepared));
  return wrapper;
}

std::int64_t SqliteConnection::queryInteger(const char* sql, int& rc) {
  StatementUse use(statement(sql));
  if (!use) {
    rc = lastErrorCode();
    return -1;
  }
  rc = use->step();
  if (rc != SQLITE_ROW) return -1;
  rc = SQLITE_OK;
  return use->integer(0);
}

std::string SqliteConnection::lastError() const { return sqlite3_errmsg(db_); }
int SqliteConnection::lastErrorCode() const { return sqlite3_extended_errcode(db_); }

}  // namespace server
