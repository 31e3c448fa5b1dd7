#include "server/sqlite_schema.hpp"

#include <sqlite3.h>

#include <iterator>

#include "server/sqlite_connection.hpp"

namespace server {
namespace {

// Migration i takes a database from version i to version i + 1. Never edit one that has
// shipped: add the next.
constexpr const char* kMigrations[] = {
    // 0 -> 1: the submissions (unique per pair, the id is the order of first submission),
    // the banned names and the audit trail of moderation.
    "CREATE TABLE submissions ("
    "  id INTEGER PRIMARY KEY,"
    "  name TEXT NOT NULL,"
    "  score INTEGER NOT NULL CHECK (score BETWEEN 1 AND 4294967295),"
    "  submitted_at INTEGER NOT NULL,"
    "  hidden INTEGER NOT NULL DEFAULT 0,"
    "  UNIQUE (name, score));"
    "CREATE INDEX submissions_by_score ON submissions (score DESC, id);"
    "CREATE INDEX submissions_by_time ON submissions (submitted_at);"
    "CREATE TABLE banned_names (name TEXT PRIMARY KEY, banned_at INTEGER NOT NULL) WITHOUT ROWID;"
    "CREATE TABLE audit ("
    "  id INTEGER PRIMARY KEY,"
    "  at INTEGER NOT NULL,"
    "  action TEXT NOT NULL,"
    "  subject TEXT NOT NULL,"
    "  actor TEXT NOT NULL);",
    // 1 -> 2: the games the server verified, each with the entry of its name and score. An
    // entry may have several (the same score played twice); its first one is shown. The
    // record comes last in the row, so reading the others never reads its overflow pages.
    "CREATE TABLE verified_games ("
    "  seq INTEGER PRIMARY KEY,"
    "  id TEXT NOT NULL UNIQUE,"
    "  submission_id INTEGER NOT NULL REFERENCES submissions (id),"
    "  updates INTEGER NOT NULL,"
    "  verified_at INTEGER NOT NULL,"
    "  file BLOB NOT NULL);"
    "CREATE INDEX verified_games_by_submission ON verified_games (submission_id, id);",
};
static_assert(std::size(kMigrations) == kSchemaVersion);

}  // namespace

bool migrateSchema(SqliteConnection& connection, std::string& error) {
  int rc = SQLITE_OK;
  const std::int64_t version = connection.queryInteger("PRAGMA user_version", rc);
  if (rc != SQLITE_OK) {
    error = connection.lastError();
    return false;
  }
  if (version > kSchemaVersion) {
    error = "the database has schema version " + std::to_string(version) + ", newer than this server's " +
            std::to_string(kSchemaVersion);
    return false;
  }
  for (std::int64_t step = version; step < kSchemaVersion; ++step) {
    const std::string setVersion = "PRAGMA user_version = " + std::to_string(step + 1);
    if (connection.exec(kMigrations[step]) != SQLITE_OK || connection.exec(setVersion.c_str()) != SQLITE_OK) {
      error = "migration to schema version " + std::to_string(step + 1) + " failed: " + connection.lastError();
      return false;
    }
  }
  return true;
}

}  // namespace server
