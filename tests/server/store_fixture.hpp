// A store for a test, made by a factory, so the same tests run over every kind of store.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <memory>
#include <string>

#include "server/score_store.hpp"
#include "tests/support/scratch_folder.hpp"

namespace server_test {

struct StoreKind {
  const char* name;
  // A store in `folder`; a second call with the same folder opens the same data.
  std::function<std::unique_ptr<server::ScoreStore>(const std::string& folder)> make;
};

StoreKind sqliteStoreKind();

// prefix followed by n in decimal, such as "P12".
std::string numbered(std::string_view prefix, std::uint64_t n);

// Submits and waits for the outcome.
server::SubmitOutcome submitNow(server::ScoreStore& store, const std::string& name, std::uint32_t score,
                                server::UnixTime time, server::AdmitNew admit = {});

class StoreTest : public ::testing::TestWithParam<StoreKind> {
 protected:
  StoreTest() : store_(GetParam().make(scratch_.path())) {}
  server::ScoreStore& store() { return *store_; }
  // A second store on the same data, as another process would open it.
  std::unique_ptr<server::ScoreStore> another() { return GetParam().make(scratch_.path()); }
  void reopen() {
    store_.reset();
    store_ = GetParam().make(scratch_.path());
  }
  const std::string& folder() const { return scratch_.path(); }

 private:
  testing_support::ScratchFolder scratch_;
  std::unique_ptr<server::ScoreStore> store_;
};

}  // namespace server_test
