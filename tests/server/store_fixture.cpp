#include "tests/server/store_fixture.hpp"

#include <chrono>

#include "server/sqlite_store.hpp"

namespace server_test {

StoreKind sqliteStoreKind() {
  return {"Sqlite", [](const std::string& folder) -> std::unique_ptr<server::ScoreStore> {
            server::SqliteStore::Options options;
            options.versionPoll = std::chrono::milliseconds(0);
            std::string error;
            std::unique_ptr<server::SqliteStore> store = server::SqliteStore::open(folder + "scores.db", options, error);
            EXPECT_TRUE(store) << error;
            return store;
          }};
}

std::string numbered(std::string_view prefix, std::uint64_t n) {
  std::string text(prefix);
  text += std::to_string(n);
  return text;
}

server::SubmitOutcome submitNow(server::ScoreStore& store, const std::string& name, std::uint32_t score,
                                server::UnixTime time, server::AdmitNew admit) {
  std::promise<server::SubmitOutcome> outcome;
  store.submit({name, score, time}, std::move(admit), [&outcome](server::SubmitOutcome o) { outcome.set_value(o); });
  return outcome.get_future().get();
}

}  // namespace server_test
