#include "server/store_factory.hpp"

#include <algorithm>

#include "server/sqlite_store.hpp"
#ifdef ZEBROLITE_WITH_POSTGRES
#include "server/postgres_store.hpp"
#endif

namespace server {

bool isPostgresUrl(std::string_view database) {
  return database.starts_with("postgresql://") || database.starts_with("postgres://");
}

bool postgresAvailable() {
#ifdef ZEBROLITE_WITH_POSTGRES
  return true;
#else
  return false;
#endif
}

std::string redactedDatabase(std::string_view database) {
  std::string out(database);
  const std::size_t scheme = out.find("://");
  if (scheme != std::string::npos) {
    const std::size_t start = scheme + 3;
    const std::size_t end = std::min(out.find('/', start), out.size());
    const std::size_t at = out.rfind('@', end);
    const std::size_t colon = out.find(':', start);
    if (at != std::string::npos && at >= start && colon < at) out.replace(colon + 1, at - colon - 1, "***");
  }
  for (std::size_t key = out.find("password="); key != std::string::npos; key = out.find("password=", key + 1)) {
    const std::size_t start = key + 9;
    const std::size_t end = std::min(out.find_first_of("& ", start), out.size());
    out.replace(start, end - start, "***");
  }
  return out;
}

std::unique_ptr<ScoreStore> openScoreStore(const std::string& database, const StoreSettings& settings,
                                           std::string& error) {
  if (isPostgresUrl(database)) {
#ifdef ZEBROLITE_WITH_POSTGRES
    PostgresStore::Options options;
    // The writer's connection beside the queries'.
    options.connections = settings.queryThreads + 1;
    options.startWriter = settings.serving;
    options.listen = settings.serving;
    return PostgresStore::open(database, options, error);
#else
    error = "this zebrolite-scored was built without PostgreSQL (libpq); --db takes an SQLite file";
    return nullptr;
#endif
  }
  SqliteStore::Options options;
  options.readConnections = settings.queryThreads;
  options.startWriter = settings.serving;
  options.versionPoll = settings.versionPoll;
  return SqliteStore::open(database, options, error);
}

}  // namespace server
