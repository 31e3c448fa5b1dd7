// The versioned schema of the PostgreSQL store. The table zebrolite_schema holds the version
// a database is at; the migrations run in one transaction under an advisory lock, so servers
// that start at the same moment migrate one after the other and the later ones find the work
// done.
#pragma once

#include <string>

#include "server/postgres_connection.hpp"

namespace server {

constexpr int kPostgresSchemaVersion = 2;

// The channel on which every change of the boards is announced (by triggers, so changes made
// by any client are), with the changer's origin (the session's zebrolite.origin) as payload.
constexpr const char* kChangeChannel = "zebrolite_changes";

// Brings the database to kPostgresSchemaVersion. False with a message when it fails, or when
// the database was made by a newer server.
bool migratePostgresSchema(PostgresConnection& connection, Deadline deadline, std::string& error);

// For a read-only standby, which cannot migrate: whether its schema is this server's.
bool checkPostgresSchema(PostgresConnection& connection, Deadline deadline, std::string& error);

}  // namespace server
