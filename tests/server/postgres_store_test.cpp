// What only the PostgreSQL store has: its schema's version and migrations raced by two
// servers, names that need quoting in a batch, a database that cannot be reached, and one
// that stops and comes back.
#ifdef ZEBROLITE_WITH_POSTGRES
#include <libpq-fe.h>

#include <chrono>
#include <future>
#include <thread>

#include "server/postgres_schema.hpp"
#include "server/postgres_store.hpp"
#include "tests/server/store_fixture.hpp"

namespace server_test {
namespace {

using server::PostgresStore;
using server::StoreStatus;
using server::SubmitOutcome;

constexpr server::UnixTime kNow = 1709726400;

class PostgresStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!database_.available()) GTEST_SKIP() << database_.skipReason();
  }
  const std::string& url() const { return database_.location(); }
  std::string sql(const std::string& statement) {
    PGconn* connection = PQconnectdb(url().c_str());
    PGresult* result = PQexec(connection, statement.c_str());
    std::string value = PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0 ? PQgetvalue(result, 0, 0)
                        : PQresultStatus(result) == PGRES_COMMAND_OK                      ? ""
                                                                                          : PQresultErrorMessage(result);
    PQclear(result);
    PQfinish(connection);
    return value;
  }

  testing_support::ScratchFolder scratch_;
  TestDatabase database_{DatabaseKind::Postgres, scratch_.path()};
};

TEST_F(PostgresStoreTest, ServersStartingTogetherMigrateOnceAndANewerSchemaIsRefused) {
  std::vector<std::future<std::string>> starts;
  for (int i = 0; i < 4; ++i) {
    starts.push_back(std::async(std::launch::async, [this] {
      std::string error;
      const std::unique_ptr<PostgresStore> store = PostgresStore::open(url(), PostgresStore::Options(), error);
      return store ? std::string("ok") : error;
    }));
  }
  for (auto& start : starts) EXPECT_EQ(start.get(), "ok");
  EXPECT_EQ(sql("SELECT version FROM zebrolite_schema"), std::to_string(server::kPostgresSchemaVersion));
  EXPECT_EQ(sql("SELECT count(*) FROM zebrolite_schema"), "1");

  sql("UPDATE zebrolite_schema SET version = 99");
  std::string error;
  EXPECT_FALSE(PostgresStore::open(url(), PostgresStore::Options(), error));
  EXPECT_NE(error.find("newer than this server's"), std::string::npos) << error;
}

TEST_F(PostgresStoreTest, NamesThatNeedQuotingInABatchComeBackAsSent) {
  std::string error;
  std::unique_ptr<PostgresStore> store = PostgresStore::open(url(), PostgresStore::Options(), error);
  ASSERT_TRUE(store) << error;
  const std::vector<std::string> names = {"A\"B", "\\", "{}", "NULL", "'; --", "\xC3\xA9t\xC3\xA9", " ", "\"\\\""};
  std::vector<std::future<SubmitOutcome>> outcomes;
  for (std::size_t i = 0; i < names.size(); ++i) {
    outcomes.push_back(std::async(std::launch::async, [&, i] {
      return submitNow(*store, names[i], static_cast<std::uint32_t>(100 - i), kNow);
    }));
  }
  for (auto& outcome : outcomes) EXPECT_EQ(outcome.get(), SubmitOutcome::Stored);
  const auto page = store->board({std::nullopt, 0, 100, true});
  ASSERT_EQ(page.value.entries.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(page.value.entries[i].name, names[i]) << i;
  for (const std::string& name : names) EXPECT_EQ(submitNow(*store, name, 1, kNow), SubmitOutcome::Stored);
  for (const std::string& name : names) EXPECT_EQ(submitNow(*store, name, 1, kNow), SubmitOutcome::AlreadyStored);
}

TEST(PostgresStartTest, ADatabaseThatCannotBeReachedIsAClearMessage) {
  testing_support::ScratchFolder scratch;
  std::string error;
  const std::string url = "postgresql:///zebrolite?host=" + scratch.path() + "&user=nobody&password=secret";
  EXPECT_FALSE(PostgresStore::open(url, PostgresStore::Options(), error));
  EXPECT_NE(error.find("cannot connect"), std::string::npos) << error;
  EXPECT_EQ(error.find("secret"), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;
}

// The database stops under the store and comes back: meanwhile everything is Unavailable
// (quickly, not after a hang); afterwards the store serves again by itself, and nothing
// stored before is gone.
TEST(PostgresFaultTest, AStoppedDatabaseIsUnavailableAndTheStoreReconnectsWhenItReturns) {
  testing_support::ScratchFolder scratch;
  OwnCluster cluster(scratch.path());
  if (!cluster.started()) GTEST_SKIP() << cluster.skipReason();
  std::string error;
  std::unique_ptr<PostgresStore> store = PostgresStore::open(cluster.url(), PostgresStore::Options(), error);
  ASSERT_TRUE(store) << error;
  ASSERT_EQ(submitNow(*store, "BEFORE", 10, kNow), SubmitOutcome::Stored);
  const std::uint64_t versionBefore = store->version();

  ASSERT_TRUE(cluster.halt());
  EXPECT_EQ(store->health(), StoreStatus::Unavailable);
  EXPECT_EQ(submitNow(*store, "DURING", 20, kNow), SubmitOutcome::Unavailable);
  EXPECT_EQ(store->board({std::nullopt, 0, 10, false}).status, StoreStatus::Unavailable);
  EXPECT_EQ(store->rankOf("BEFORE", std::nullopt, 5).status, StoreStatus::Unavailable);
  // Without its listener the store cannot know what others change: no version lasts.
  EXPECT_TRUE(eventually([&] { return store->version() != store->version(); }));

  ASSERT_TRUE(cluster.resume());
  EXPECT_TRUE(eventually([&] { return store->health() == StoreStatus::Ok; }));
  EXPECT_TRUE(eventually([&] { return store->version() == store->version(); }));
  EXPECT_NE(store->version(), versionBefore);
  EXPECT_EQ(submitNow(*store, "AFTER", 30, kNow), SubmitOutcome::Stored);
  const auto page = store->board({std::nullopt, 0, 10, true});
  ASSERT_TRUE(page.ok());
  EXPECT_EQ(page.value.total, 2u);
}

}  // namespace
}  // namespace server_test
#endif
