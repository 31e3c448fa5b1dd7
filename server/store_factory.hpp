// Opens the store that a --db value names: a postgresql:// or postgres:// URL is a PostgreSQL
// database (when this server was built with libpq), anything else an SQLite file.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "server/score_store.hpp"

namespace server {

struct StoreSettings {
  std::size_t queryThreads = 2;  // threads that query at once: read connections, or the pool's share
  bool serving = true;           // false for the moderation commands: no writer, no watching
  std::chrono::milliseconds versionPoll{250};  // SQLite: how often other processes' commits are looked for
};

bool isPostgresUrl(std::string_view database);
// Whether this build has the PostgreSQL store.
bool postgresAvailable();

// The --db value with a URL's password left out, for messages and logs.
std::string redactedDatabase(std::string_view database);

// Null with a one-line message when the store cannot serve.
std::unique_ptr<ScoreStore> openScoreStore(const std::string& database, const StoreSettings& settings,
                                           std::string& error);

}  // namespace server
