// The databases of the server's tests, so that every test runs once per kind of store: an
// SQLite file in the test's folder, or a database of its own on the throwaway PostgreSQL
// cluster that CTest starts for the run (tests/server/postgres_cluster.sh). When there is no
// cluster, a PostgreSQL database is unavailable and says why, and the test skips.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace server_test {

enum class DatabaseKind { Sqlite, Postgres };

// "Sqlite", "Postgres": the suffix of the parameterised tests' names.
const char* kindName(DatabaseKind kind);
inline void PrintTo(DatabaseKind kind, std::ostream* out) { *out << kindName(kind); }

// For INSTANTIATE_TEST_SUITE_P(Stores, Suite, everyStore(), storeTestName).
::testing::internal::ParamGenerator<DatabaseKind> everyStore();
std::string storeTestName(const ::testing::TestParamInfo<DatabaseKind>& kind);

class TestDatabase {
 public:
  // A new, empty database (for SQLite, the file folder + "scores.db", made when opened).
  TestDatabase(DatabaseKind kind, const std::string& folder);
  // Drops a PostgreSQL database.
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  bool available() const { return !location_.empty(); }
  const std::string& skipReason() const { return skipReason_; }
  // The value for --db: a file, or a postgresql:// URL.
  const std::string& location() const { return location_; }

 private:
  std::string location_;
  std::string skipReason_;
  std::string adminUrl_;  // the cluster's maintenance database, to drop ours
  std::string name_;
};

// A cluster of a test's own, for tests that stop and start the database.
class OwnCluster {
 public:
  explicit OwnCluster(const std::string& folder);
  // A streaming read replica of `primary`.
  OwnCluster(const std::string& folder, const OwnCluster& primary);
  ~OwnCluster();
  OwnCluster(const OwnCluster&) = delete;
  OwnCluster& operator=(const OwnCluster&) = delete;

  bool started() const { return !url_.empty(); }
  const std::string& skipReason() const { return skipReason_; }
  // The URL of its database "postgres".
  const std::string& url() const { return url_; }
  bool halt();
  bool resume();

 private:
  OwnCluster(std::string state, std::vector<std::string> command);

  std::string state_;
  std::string url_;
  std::string skipReason_;
};

}  // namespace server_test
