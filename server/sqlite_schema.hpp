// The versioned schema of the SQLite store. PRAGMA user_version holds the version a database
// is at; each migration takes it one step on, inside the caller's write transaction.
#pragma once

#include <string>

namespace server {

class SqliteConnection;

constexpr int kSchemaVersion = 2;

// Brings the database to kSchemaVersion. False with a message when it fails, or when the
// database was made by a newer server (its version is above ours).
bool migrateSchema(SqliteConnection& connection, std::string& error);

}  // namespace server
