// The process tests that run once per kind of store: each has a database of its own (an
// SQLite file in its scratch folder, or a database on the test run's PostgreSQL cluster)
// and skips, saying why, when that kind is not to be had.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/server/support/test_database.hpp"
#include "tests/support/scratch_folder.hpp"

namespace server_test {

class ServerTest : public ::testing::TestWithParam<DatabaseKind> {
 protected:
  ServerTest() : database_(GetParam(), scratch_.path()) {}
  void SetUp() override {
    if (!database_.available()) GTEST_SKIP() << database_.skipReason();
  }
  // The --db value of the test's database.
  const std::string& db() const { return database_.location(); }
  // The arguments with --db naming the test's database before them.
  std::vector<std::string> onDatabase(std::vector<std::string> arguments = {}) const {
    arguments.insert(arguments.begin(), {"--db", db()});
    return arguments;
  }
  testing_support::ScratchFolder scratch_;

 private:
  TestDatabase database_;
};

}  // namespace server_test
