#include "tests/server/store_fixture.hpp"

#include <chrono>
#include <thread>

#include "server/store_factory.hpp"

namespace server_test {

std::unique_ptr<server::ScoreStore> openTestStore(const std::string& location) {
  server::StoreSettings settings;
  settings.versionPoll = std::chrono::milliseconds(0);
  std::string error;
  std::unique_ptr<server::ScoreStore> store = server::openScoreStore(location, settings, error);
  EXPECT_TRUE(store) << error;
  return store;
}

void StoreTest::SetUp() {
  if (!database_.available()) GTEST_SKIP() << database_.skipReason();
  store_ = openTestStore(database_.location());
  ASSERT_TRUE(store_);
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

bool eventually(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace server_test
