#include "server/postgres_schema.hpp"

#include <iterator>

namespace server {
namespace {

// Any fixed number, the same in every server: the key of the migration lock.
constexpr const char* kMigrationLock = "SELECT pg_advisory_xact_lock(7236891025)";

// Migration i takes a database from version i to version i + 1. Never edit one that has
// shipped: add the next.
constexpr const char* kMigrations[] = {
    // 0 -> 1: the submissions (unique per pair, the id is the order of first submission),
    // the banned names, the audit trail of moderation, and the triggers that announce every
    // change that the boards show.
    "CREATE TABLE submissions ("
    "  id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
    "  name text NOT NULL,"
    "  score bigint NOT NULL CHECK (score BETWEEN 1 AND 4294967295),"
    "  submitted_at bigint NOT NULL,"
    "  hidden boolean NOT NULL DEFAULT false,"
    "  UNIQUE (name, score));"
    "CREATE INDEX submissions_by_score ON submissions (score DESC, id);"
    "CREATE INDEX submissions_by_time ON submissions (submitted_at);"
    "CREATE TABLE banned_names (name text PRIMARY KEY, banned_at bigint NOT NULL);"
    "CREATE TABLE audit ("
    "  id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
    "  at bigint NOT NULL,"
    "  action text NOT NULL,"
    "  subject text NOT NULL,"
    "  actor text NOT NULL);"
    "CREATE FUNCTION zebrolite_note_change() RETURNS trigger LANGUAGE plpgsql AS $$"
    " BEGIN"
    "  IF EXISTS (SELECT 1 FROM changed) THEN"
    "   PERFORM pg_notify('zebrolite_changes', coalesce(current_setting('zebrolite.origin', true), ''));"
    "  END IF;"
    "  RETURN NULL;"
    " END $$;"
    "CREATE TRIGGER submissions_added AFTER INSERT ON submissions REFERENCING NEW TABLE AS changed"
    "  FOR EACH STATEMENT EXECUTE FUNCTION zebrolite_note_change();"
    "CREATE TRIGGER submissions_changed AFTER UPDATE ON submissions REFERENCING NEW TABLE AS changed"
    "  FOR EACH STATEMENT EXECUTE FUNCTION zebrolite_note_change();"
    "CREATE TRIGGER submissions_removed AFTER DELETE ON submissions REFERENCING OLD TABLE AS changed"
    "  FOR EACH STATEMENT EXECUTE FUNCTION zebrolite_note_change();"
    "CREATE TRIGGER bans_added AFTER INSERT ON banned_names REFERENCING NEW TABLE AS changed"
    "  FOR EACH STATEMENT EXECUTE FUNCTION zebrolite_note_change();"
    "CREATE TRIGGER bans_removed AFTER DELETE ON banned_names REFERENCING OLD TABLE AS changed"
    "  FOR EACH STATEMENT EXECUTE FUNCTION zebrolite_note_change();",
    // 1 -> 2: the games the server verified, each with the entry of its name and score (an
    // entry may have several; its first is shown), announced like the other changes.
    "CREATE TABLE verified_games ("
    "  seq bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
    "  id text NOT NULL UNIQUE,"
    "  submission_id bigint NOT NULL REFERENCES submissions (id),"
    "  updates bigint NOT NULL,"
    "  verified_at bigint NOT NULL,"
    "  file bytea NOT NULL);"
    "CREATE INDEX verified_games_by_submission ON verified_games (submission_id, seq);"
    "CREATE TRIGGER verified_games_added AFTER INSERT ON verified_games REFERENCING NEW TABLE AS changed"
    "  FOR EACH STATEMENT EXECUTE FUNCTION zebrolite_note_change();"
    "CREATE TRIGGER verified_games_removed AFTER DELETE ON verified_games REFERENCING OLD TABLE AS changed"
    "  FOR EACH STATEMENT EXECUTE FUNCTION zebrolite_note_change();",
};
static_assert(std::size(kMigrations) == kPostgresSchemaVersion);

bool step(PostgresConnection& connection, const std::string& sql, Deadline deadline, std::string& error,
          PgResult* result = nullptr) {
  PgResult done = connection.run(sql, deadline);
  if (!done.ok()) {
    error = done.message();
    return false;
  }
  if (result != nullptr) *result = std::move(done);
  return true;
}

std::string versionMismatch(std::int64_t version) {
  return "the database has schema version " + std::to_string(version) + ", " +
         (version > kPostgresSchemaVersion ? "newer" : "older") + " than this server's " +
         std::to_string(kPostgresSchemaVersion);
}

bool migrateLocked(PostgresConnection& connection, Deadline deadline, std::string& error) {
  PgResult current;
  if (!step(connection, kMigrationLock, deadline, error) ||
      !step(connection, "CREATE TABLE IF NOT EXISTS zebrolite_schema (version integer NOT NULL)", deadline, error) ||
      !step(connection, "SELECT version FROM zebrolite_schema", deadline, error, &current)) {
    return false;
  }
  if (current.rows() > 1) {
    error = "the table zebrolite_schema holds more than one row";
    return false;
  }
  const std::int64_t version = current.rows() == 0 ? 0 : current.integer(0, 0);
  if (version > kPostgresSchemaVersion) {
    error = versionMismatch(version);
    return false;
  }
  if (current.rows() == 0 && !step(connection, "INSERT INTO zebrolite_schema VALUES (0)", deadline, error)) return false;
  for (std::int64_t at = version; at < kPostgresSchemaVersion; ++at) {
    std::string failure;
    if (!step(connection, kMigrations[at], deadline, failure) ||
        !step(connection, "UPDATE zebrolite_schema SET version = " + std::to_string(at + 1), deadline, failure)) {
      error = "migration to schema version " + std::to_string(at + 1) + " failed: " + failure;
      return false;
    }
  }
  return true;
}


}  // namespace

bool checkPostgresSchema(PostgresConnection& connection, Deadline deadline, std::string& error) {
  PgResult current;
  if (!step(connection, "SELECT version FROM zebrolite_schema", deadline, error, &current)) {
    error = "a standby without the score tables (start a server on the primary first): " + error;
    return false;
  }
  const std::int64_t version = current.rows() == 1 ? current.integer(0, 0) : 0;
  if (version != kPostgresSchemaVersion) {
    error = versionMismatch(version);
    return false;
  }
  return true;
}

bool migratePostgresSchema(PostgresConnection& connection, Deadline deadline, std::string& error) {
  if (!step(connection, "BEGIN", deadline, error)) return false;
  if (!migrateLocked(connection, deadline, error)) {
    connection.run("ROLLBACK", deadline);
    return false;
  }
  return step(connection, "COMMIT", deadline, error);
}

}  // namespace server
