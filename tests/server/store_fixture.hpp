// A store for a test on a database of its own, so the same tests run over every kind of
// store; the PostgreSQL cases skip, saying why, when the test run has no cluster.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <memory>
#include <string>

#include "server/score_store.hpp"
#include "tests/server/support/test_database.hpp"
#include "tests/support/scratch_folder.hpp"

namespace server_test {

// A store on `location` as the server opens it (other processes' changes are noticed at once
// by an SQLite store); fails the test when it cannot be opened.
std::unique_ptr<server::ScoreStore> openTestStore(const std::string& location);

// prefix followed by n in decimal, such as "P12".
std::string numbered(std::string_view prefix, std::uint64_t n);

// Submits and waits for the outcome.
server::SubmitOutcome submitNow(server::ScoreStore& store, const std::string& name, std::uint32_t score,
                                server::UnixTime time, server::AdmitNew admit = {});

// Polls `done` for up to 5 s (another process's change reaches a store through a notification,
// which takes a moment); whether it came true.
bool eventually(const std::function<bool()>& done);

class StoreTest : public ::testing::TestWithParam<DatabaseKind> {
 protected:
  StoreTest() : database_(GetParam(), scratch_.path()) {}
  void SetUp() override;
  server::ScoreStore& store() { return *store_; }
  // A second store on the same data, as another process would open it.
  std::unique_ptr<server::ScoreStore> another() { return openTestStore(database_.location()); }
  void reopen() {
    store_.reset();
    store_ = openTestStore(database_.location());
  }
  const std::string& folder() const { return scratch_.path(); }

 private:
  testing_support::ScratchFolder scratch_;
  TestDatabase database_;
  std::unique_ptr<server::ScoreStore> store_;
};

}  // namespace server_test
