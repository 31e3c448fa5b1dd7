#include "tests/server/support/test_database.hpp"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <vector>

#ifdef ZEBROLITE_WITH_POSTGRES
#include <libpq-fe.h>
#endif

namespace server_test {
namespace {

std::string firstLine(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);
  return line;
}

// The same cluster URL for another database.
std::string withDatabase(const std::string& url, const std::string& database) {
  const std::string from = "/postgres?";
  const std::size_t at = url.find(from);
  if (at == std::string::npos) return url;
  return url.substr(0, at) + "/" + database + "?" + url.substr(at + from.size());
}

std::string clusterScript() {
  const char* source = std::getenv("ZEBROLITE_SOURCE_DIR");
  return std::string(source != nullptr ? source : ".") + "/tests/server/postgres_cluster.sh";
}

int runScript(const std::vector<std::string>& words) {
  std::string line = "sh '";
  line += clusterScript();
  line += "'";
  for (const std::string& word : words) {
    line += " '";
    line += word;
    line += "'";
  }
  line += " >/dev/null 2>&1";
  return std::system(line.c_str());
}

#ifdef ZEBROLITE_WITH_POSTGRES
// Runs one statement on the cluster's maintenance database; the error, or empty.
std::string runStatement(const std::string& url, const std::string& sql) {
  PGconn* connection = PQconnectdb(url.c_str());
  std::string error;
  if (PQstatus(connection) != CONNECTION_OK) {
    error = PQerrorMessage(connection);
  } else {
    PGresult* result = PQexec(connection, sql.c_str());
    if (PQresultStatus(result) != PGRES_COMMAND_OK) error = PQresultErrorMessage(result);
    PQclear(result);
  }
  PQfinish(connection);
  return error;
}
#endif

std::atomic<int> databaseCounter{0};

}  // namespace

const char* kindName(DatabaseKind kind) { return kind == DatabaseKind::Sqlite ? "Sqlite" : "Postgres"; }

::testing::internal::ParamGenerator<DatabaseKind> everyStore() {
  return ::testing::Values(DatabaseKind::Sqlite, DatabaseKind::Postgres);
}

std::string storeTestName(const ::testing::TestParamInfo<DatabaseKind>& kind) { return kindName(kind.param); }

TestDatabase::TestDatabase(DatabaseKind kind, const std::string& folder) {
  if (kind == DatabaseKind::Sqlite) {
    location_ = folder + "scores.db";
    return;
  }
#ifdef ZEBROLITE_WITH_POSTGRES
  const char* state = std::getenv("ZEBROLITE_POSTGRES_STATE");
  if (state == nullptr) {
    skipReason_ = "no PostgreSQL cluster: ZEBROLITE_POSTGRES_STATE is not set (run the tests through ctest)";
    return;
  }
  adminUrl_ = firstLine(std::string(state) + "/url");
  if (adminUrl_.empty()) {
    const std::string why = firstLine(std::string(state) + "/skipped");
    skipReason_ = "no PostgreSQL cluster: " + (why.empty() ? "the cluster did not start" : why);
    return;
  }
  name_ = "zt_" + std::to_string(getpid()) + "_" + std::to_string(databaseCounter++);
  const std::string error = runStatement(adminUrl_, "CREATE DATABASE " + name_);
  if (!error.empty()) {
    skipReason_ = "cannot make a database on the test cluster: " + error;
    name_.clear();
    return;
  }
  location_ = withDatabase(adminUrl_, name_);
#else
  (void)folder;
  skipReason_ = "this build has no PostgreSQL store (libpq was not found)";
#endif
}

TestDatabase::~TestDatabase() {
#ifdef ZEBROLITE_WITH_POSTGRES
  if (!name_.empty()) runStatement(adminUrl_, "DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
#endif
}

OwnCluster::OwnCluster(const std::string& folder) : OwnCluster(folder + "cluster", std::vector<std::string>{"start"}) {}

OwnCluster::OwnCluster(const std::string& folder, const OwnCluster& primary)
    : OwnCluster(folder + "replica", std::vector<std::string>{"replica", primary.state_}) {}

OwnCluster::OwnCluster(std::string state, std::vector<std::string> command) : state_(std::move(state)) {
#ifdef ZEBROLITE_WITH_POSTGRES
  command.insert(command.begin() + 1, state_);
  const int status = runScript(command);
  url_ = firstLine(state_ + "/url");
  if (url_.empty()) {
    const std::string why = firstLine(state_ + "/skipped");
    skipReason_ = why.empty() ? "the cluster did not start (status " + std::to_string(status) + ")" : why;
  }
#else
  (void)command;
  skipReason_ = "this build has no PostgreSQL store (libpq was not found)";
#endif
}

OwnCluster::~OwnCluster() { runScript({"remove", state_}); }

bool OwnCluster::halt() { return runScript({"halt", state_}) == 0; }

bool OwnCluster::resume() { return runScript({"resume", state_}) == 0; }

}  // namespace server_test
