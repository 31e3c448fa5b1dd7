// One SQLite connection with its prepared statements, for one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace server {

class SqliteStatement {
 public:
  explicit SqliteStatement(sqlite3_stmt* statement) : statement_(statement) {}
  // Binds by position, from 1.
  SqliteStatement& bind(int index, std::int64_t value);
  SqliteStatement& bind(int index, std::string_view text);
  SqliteStatement& bindBlob(int index, std::string_view bytes);
  // An SQLite result code: SQLITE_ROW, SQLITE_DONE or an error.
  int step();
  std::int64_t integer(int column) const;
  std::string text(int column) const;  // also a blob's bytes
  // Ready for the next use; bindings cleared.
  void reset();

 private:
  sqlite3_stmt* statement_;
};

class SqliteConnection {
 public:
  // flags: SQLITE_OPEN_*. Null with a message in `error` when the file cannot be opened.
  static std::unique_ptr<SqliteConnection> open(const std::string& path, int flags, std::string& error);
  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  sqlite3* handle() const { return db_; }
  // Runs statements without results; an SQLite result code.
  int exec(const char* sql);
  // A statement prepared once per connection and reset for this use. `sql` must be a
  // string literal: it is also the cache's key. Null when it cannot be prepared.
  SqliteStatement* statement(const char* sql);
  // The single integer of a query such as a PRAGMA; -1 with the error code in `rc` on failure.
  std::int64_t queryInteger(const char* sql, int& rc);
  std::string lastError() const;
  int lastErrorCode() const;

 private:
  explicit SqliteConnection(sqlite3* db) : db_(db) {}
  sqlite3* db_;
  struct Prepared {
    sqlite3_stmt* raw = nullptr;
    std::unique_ptr<SqliteStatement> wrapper;
  };
  std::unordered_map<const char*, Prepared> statements_;
};

// Resets a statement when the scope ends, whatever path leaves it.
class StatementUse {
 public:
  explicit StatementUse(SqliteStatement* statement) : statement_(statement) {}
  ~StatementUse() {
    if (statement_ != nullptr) statement_->reset();
  }
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;
  SqliteStatement* operator->() const { return statement_; }
  SqliteStatement& operator*() const { return *statement_; }
  explicit operator bool() const { return statement_ != nullptr; }

 private:
  SqliteStatement* statement_;
};

}  // namespace server
