// What only the SQLite store has: its file's checks at start, the full disk, the schema's
// version and the online backup.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <fstream>
#include <future>

#include "server/sqlite_schema.hpp"
#include "server/sqlite_store.hpp"
#include "tests/server/store_fixture.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/test_files.hpp"

namespace server_test {
namespace {

using server::SqliteStore;
using server::SubmitOutcome;

constexpr server::UnixTime kNow = 1709726400;

std::unique_ptr<SqliteStore> openStore(const std::string& path, std::string& error,
                                       SqliteStore::Options options = SqliteStore::Options()) {
  return SqliteStore::open(path, options, error);
}

void runSql(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

// The value of a PRAGMA that reads a number, such as user_version.
std::int64_t pragmaNumber(const std::string& path, const std::string& pragma) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, ("PRAGMA " + pragma).c_str(), -1, &statement, nullptr);
  sqlite3_step(statement);
  const std::int64_t value = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return value;
}

TEST(SqliteStoreTest, ANewFileGetsTheCurrentSchema) {
  testing_support::ScratchFolder scratch;
  std::string error;
  ASSERT_TRUE(openStore(scratch.file("s.db"), error)) << error;
  EXPECT_EQ(pragmaNumber(scratch.file("s.db"), "user_version"), server::kSchemaVersion);
}

TEST(SqliteStoreTest, FilesThatCannotServeAreRefusedWithAReason) {
  testing_support::ScratchFolder scratch;
  std::string error;

  std::ofstream(scratch.file("text.db")) << "these are not the scores you are looking for, not even close to them\n";
  EXPECT_FALSE(openStore(scratch.file("text.db"), error));
  EXPECT_NE(error.find("not an SQLite database"), std::string::npos) << error;

  // A sound database whose second page is overwritten.
  {
    std::unique_ptr<SqliteStore> store = openStore(scratch.file("broken.db"), error);
    ASSERT_TRUE(store) << error;
    for (std::uint32_t i = 1; i <= 300; ++i) submitNow(*store, numbered("NAME", i), i, kNow);
  }
  std::vector<std::uint8_t> bytes = testing_support::readBytes(scratch.file("broken.db"));
  ASSERT_GT(bytes.size(), 3 * 4096u);
  std::fill(bytes.begin() + 4096, bytes.begin() + 3 * 4096, 0x5A);
  testing_support::writeBytes(scratch.file("broken.db"), bytes);
  EXPECT_FALSE(openStore(scratch.file("broken.db"), error));
  EXPECT_NE(error.find("corrupt"), std::string::npos) << error;

  runSql(scratch.file("newer.db"), "PRAGMA user_version = 99");
  EXPECT_FALSE(openStore(scratch.file("newer.db"), error));
  EXPECT_NE(error.find("newer than this server"), std::string::npos) << error;

  EXPECT_FALSE(openStore(scratch.file("no/such/folder/s.db"), error));
  EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
}

TEST(SqliteStoreTest, AFullDiskRefusesNewEntriesAndLosesNothingStored) {
  testing_support::ScratchFolder scratch;
  const std::string path = scratch.file("s.db");
  std::string error;
  std::vector<std::string> stored;
  int full = 0;
  {
    SqliteStore::Options options;
    options.maxPageCount = 12;
    std::unique_ptr<SqliteStore> store = openStore(path, error, options);
    ASSERT_TRUE(store) << error;
    for (int i = 0; i < 3000 && full < 5; ++i) {
      const std::string name = numbered("N", i);
      const SubmitOutcome outcome = submitNow(*store, name, static_cast<std::uint32_t>(i + 1), kNow);
      if (outcome == SubmitOutcome::Stored) stored.push_back(name);
      if (outcome == SubmitOutcome::Full) ++full;
    }
    EXPECT_EQ(full, 5);
    ASSERT_FALSE(stored.empty());
    // A resubmission of a stored pair is still answered while the disk is full.
    EXPECT_EQ(submitNow(*store, stored.front(), 1, kNow), SubmitOutcome::AlreadyStored);
  }
  std::unique_ptr<SqliteStore> store = openStore(path, error);
  ASSERT_TRUE(store) << error;
  const auto page = store->board({std::nullopt, 0, 1, true});
  EXPECT_EQ(page.value.total, stored.size());
  EXPECT_EQ(submitNow(*store, "AFTER", 99999, kNow), SubmitOutcome::Stored);  // room again
}

// Two copies of a new pair in one batch that the disk then refuses: neither is answered as
// if stored (the second once passed for already stored, though nothing was kept).
TEST(SqliteStoreTest, NoCopyOfAPairInARefusedBatchIsAnsweredOk) {
  testing_support::ScratchFolder scratch;
  const std::string path = scratch.file("s.db");
  std::string error;
  { ASSERT_TRUE(openStore(path, error)) << error; }
  SqliteStore::Options options;
  options.maxPageCount = pragmaNumber(path, "page_count");  // room in the pages there are, none for more
  std::unique_ptr<SqliteStore> store = openStore(path, error, options);
  ASSERT_TRUE(store) << error;

  // The writer holds a batch of its own until the next one is queued whole.
  std::promise<void> holding;
  std::promise<void> release;
  std::future<void> released = release.get_future();
  std::future<SubmitOutcome> held = std::async(std::launch::async, [&] {
    return submitNow(*store, "HOLD", 1, kNow, [&] {
      holding.set_value();
      released.wait();
      return true;
    });
  });
  holding.get_future().wait();
  std::vector<std::promise<SubmitOutcome>> outcomes(3);
  const std::string tooLong(20000, 'X');  // needs pages of its own
  for (const auto& [name, index] : {std::pair<std::string, int>{"COPY", 0}, {"COPY", 1}, {tooLong, 2}}) {
    store->submit({name, 7, kNow}, {}, [&outcomes, index](SubmitOutcome o) { outcomes[index].set_value(o); });
  }
  release.set_value();
  EXPECT_EQ(held.get(), SubmitOutcome::Stored);
  EXPECT_EQ(outcomes[2].get_future().get(), SubmitOutcome::Full);
  EXPECT_EQ(outcomes[0].get_future().get(), SubmitOutcome::Full);
  EXPECT_EQ(outcomes[1].get_future().get(), SubmitOutcome::Full);
  EXPECT_EQ(store->board({std::nullopt, 0, 10, true}).value.total, 1u);
}

TEST(SqliteStoreTest, ABackupIsACompleteDatabaseOfItsOwn) {
  testing_support::ScratchFolder scratch;
  std::string error;
  std::unique_ptr<SqliteStore> store = openStore(scratch.file("s.db"), error);
  ASSERT_TRUE(store) << error;
  for (std::uint32_t i = 1; i <= 50; ++i) submitNow(*store, numbered("B", i), i, kNow);
  store->setBanned("B50", true, "mod", kNow);
  ASSERT_TRUE(SqliteStore::backup(scratch.file("s.db"), scratch.file("copy.db"), error)) << error;
  EXPECT_FALSE(std::ifstream(scratch.file("copy.db.partial")).good());
  std::unique_ptr<SqliteStore> copy = openStore(scratch.file("copy.db"), error);
  ASSERT_TRUE(copy) << error;
  EXPECT_EQ(copy->board({std::nullopt, 0, 100, true}).value.total, 49u);
  EXPECT_EQ(copy->audit(10).value.size(), 1u);

  EXPECT_FALSE(SqliteStore::backup(scratch.file("none.db"), scratch.file("copy2.db"), error));
  EXPECT_FALSE(SqliteStore::backup(scratch.file("s.db"), scratch.file("no/folder/copy.db"), error));
}

}  // namespace
}  // namespace server_test
