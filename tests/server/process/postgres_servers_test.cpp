// Several zebrolite-scored processes on one PostgreSQL database: they agree within a
// notification, a pair sent to both is stored once, and a database that stops under load
// turns requests into quick 503s, loses no submission answered OK and is used again by
// itself when it returns.
#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

#include "tests/server/process/http_client.hpp"
#include "tests/server/process/server_process.hpp"
#include "tests/server/support/test_database.hpp"
#include "tests/support/scratch_folder.hpp"

namespace server_test {
namespace {

const std::string kGame = "/Zebrolite2/updateScore_ppc.php";

std::string submission(const std::string& name, std::uint32_t score) {
  return kGame + "?myname=" + name + "&myscore=" + std::to_string(score);
}

// Every visible entry of the all-time board as "NAME,SCORE".
std::set<std::string> everyEntry(std::uint16_t port) {
  std::set<std::string> entries;
  for (std::uint64_t offset = 0;; offset += 100) {
    const HttpResponse page = httpGet(port, "/api/v1/scores?limit=100&offset=" + std::to_string(offset));
    EXPECT_EQ(page.status, 200) << page.body;
    std::size_t found = 0;
    for (std::size_t at = page.body.find("\"name\":\""); at != std::string::npos;
         at = page.body.find("\"name\":\"", at + 1)) {
      const std::size_t nameEnd = page.body.find('"', at + 8);
      const std::size_t scoreAt = page.body.find("\"score\":", nameEnd) + 8;
      const std::size_t scoreEnd = page.body.find(',', scoreAt);
      entries.insert(page.body.substr(at + 8, nameEnd - at - 8) + "," + page.body.substr(scoreAt, scoreEnd - scoreAt));
      ++found;
    }
    if (page.status != 200 || found == 0) return entries;
  }
}

class PostgresServersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!database_.available()) GTEST_SKIP() << database_.skipReason();
  }
  std::vector<std::string> onDatabase(std::vector<std::string> arguments = {}) const {
    arguments.insert(arguments.begin(), {"--db", database_.location()});
    return arguments;
  }
  testing_support::ScratchFolder scratch_;
  TestDatabase database_{DatabaseKind::Postgres, scratch_.path()};
};

TEST_F(PostgresServersTest, TwoServersOnOneDatabaseAgreeWithinANotification) {
  ServerProcess first(scratch_.path(), onDatabase({"--submit-rate", "0"}));
  ServerProcess second(scratch_.path(), onDatabase({"--submit-rate", "0"}));
  ASSERT_TRUE(first.started()) << first.stderrText();
  ASSERT_TRUE(second.started()) << second.stderrText();
  // Each keeps its rendered list; a submission to one reaches the other's copy.
  EXPECT_EQ(httpGet(second.port(), kGame).body, "");
  EXPECT_EQ(httpGet(first.port(), submission("ANNA", 500)).body, "OK");
  EXPECT_TRUE(waitUntil([&] { return httpGet(second.port(), kGame).body == ";ANNA,500"; }));
  EXPECT_EQ(httpGet(second.port(), submission("BOB", 600)).body, "OK");
  EXPECT_TRUE(waitUntil([&] { return httpGet(first.port(), kGame).body == ";BOB,600;ANNA,500"; }));

  // The same new pair sent to both at once is stored once.
  std::vector<std::thread> senders;
  for (const std::uint16_t port : {first.port(), second.port(), first.port(), second.port()}) {
    senders.emplace_back([port] {
      for (std::uint32_t i = 1; i <= 50; ++i) EXPECT_EQ(httpGet(port, submission("SAME", i)).body, "OK");
    });
  }
  for (std::thread& sender : senders) sender.join();
  const HttpResponse total = httpGet(first.port(), "/api/v1/scores?limit=1");
  EXPECT_NE(total.body.find("\"total\":52,"), std::string::npos) << total.body;

  // A moderation command reaches both.
  const ProcessResult ban = runProgram(serverBinary(), onDatabase({"ban", "SAME"}));
  EXPECT_EQ(ban.status, 0) << ban.err;
  for (const std::uint16_t port : {first.port(), second.port()}) {
    EXPECT_TRUE(waitUntil([&] { return httpGet(port, kGame).body == ";BOB,600;ANNA,500"; })) << port;
  }
}

TEST_F(PostgresServersTest, ADatabaseThatCannotBeReachedStopsTheStartWithAMessage) {
  ServerProcess server(scratch_.path(), {"--db", "postgresql:///none?host=" + scratch_.path() + "nowhere"});
  EXPECT_FALSE(server.started());
  EXPECT_NE(server.stderrText().find("cannot connect"), std::string::npos) << server.stderrText();
  const ProcessResult list = runProgram(serverBinary(), {"--db", "postgres:///none?host=/nonexistent", "list"});
  EXPECT_EQ(list.status, 1);
  EXPECT_NE(list.err.find("zebrolite-scored: postgres:///none?host=/nonexistent: cannot connect"), std::string::npos)
      << list.err;
}

// Submissions stream into two servers while the database stops and starts again.
TEST(PostgresRestartTest, EveryOkSurvivesADatabaseRestartUnderLoad) {
  testing_support::ScratchFolder scratch;
  OwnCluster cluster(scratch.path());
  if (!cluster.started()) GTEST_SKIP() << cluster.skipReason();
  const std::vector<std::string> arguments = {"--db", cluster.url(), "--submit-rate", "0"};
  ServerProcess first(scratch.path(), arguments);
  ServerProcess second(scratch.path(), arguments);
  ASSERT_TRUE(first.started()) << first.stderrText();
  ASSERT_TRUE(second.started()) << second.stderrText();
  const std::uint16_t ports[] = {first.port(), second.port()};

  std::mutex mutex;
  std::set<std::string> answeredOk;
  std::atomic<int> refused{0};
  std::vector<std::string> unanswered;  // any other reply, with its status
  std::atomic<bool> stop{false};
  std::vector<std::thread> clients;
  for (int c = 0; c < 4; ++c) {
    clients.emplace_back([&, c] {
      std::string name = "R";
      name += std::to_string(c);
      for (std::uint32_t i = 1; i <= 1000000 && !stop; ++i) {
        const HttpResponse reply = httpGet(ports[(c + i) % 2], submission(name, i));
        if (reply.status == 200 && reply.body == "OK") {
          std::lock_guard lock(mutex);
          answeredOk.insert(name + "," + std::to_string(i));
        } else if (reply.status == 503) {
          ++refused;
          // Quick refusals would otherwise spend the client's ephemeral ports in a second.
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } else {
          std::lock_guard lock(mutex);
          unanswered.push_back(std::to_string(reply.status) + " " + reply.body);
        }
      }
    });
  }
  const auto okCount = [&] {
    std::lock_guard lock(mutex);
    return answeredOk.size();
  };
  ASSERT_TRUE(waitUntil([&] { return okCount() >= 200; }));
  ASSERT_TRUE(cluster.halt());
  // Answered, and answered 503: never a hang.
  for (const std::uint16_t port : ports) {
    EXPECT_TRUE(waitUntil([&] { return httpGet(port, "/healthz").status == 503; })) << port;
    EXPECT_EQ(httpGet(port, submission("DOWN", 1)).status, 503);
    EXPECT_EQ(httpGet(port, kGame).status, 503);
  }
  const int refusedWhileDown = refused.load();
  ASSERT_TRUE(cluster.resume());
  for (const std::uint16_t port : ports) {
    EXPECT_TRUE(waitUntil([&] { return httpGet(port, "/healthz").status == 200; })) << port;
  }
  const std::size_t okAtReturn = okCount();
  EXPECT_TRUE(waitUntil([&] { return okCount() >= okAtReturn + 200; }));
  stop = true;
  for (std::thread& client : clients) client.join();
  EXPECT_GT(refusedWhileDown, 0);
  EXPECT_TRUE(unanswered.empty()) << unanswered.size() << " replies such as " << unanswered.front();

  for (const std::uint16_t port : ports) {
    const std::set<std::string> stored = everyEntry(port);
    for (const std::string& pair : answeredOk) ASSERT_TRUE(stored.count(pair)) << pair << " was answered OK and is gone";
    EXPECT_EQ(httpGet(port, submission("BACK", port)).body, "OK");
  }
  EXPECT_EQ(first.stop(SIGTERM), 0);
  EXPECT_EQ(second.stop(SIGTERM), 0);
}

// A server on a streaming read replica, as docs/server.md lays it out: it serves the boards
// and follows the primary's changes; submissions and moderation are not for it.
TEST(PostgresReplicaTest, AServerOnAReadReplicaServesTheBoardsAndFollowsThePrimary) {
  testing_support::ScratchFolder scratch;
  OwnCluster primary(scratch.path());
  if (!primary.started()) GTEST_SKIP() << primary.skipReason();
  ServerProcess writer(scratch.path(), {"--db", primary.url(), "--submit-rate", "0"});
  ASSERT_TRUE(writer.started()) << writer.stderrText();
  ASSERT_EQ(httpGet(writer.port(), submission("ANNA", 500)).body, "OK");
  OwnCluster replica(scratch.path(), primary);
  ASSERT_TRUE(replica.started()) << replica.skipReason();
  ServerProcess reader(scratch.path(), {"--db", replica.url()});
  ASSERT_TRUE(reader.started()) << reader.stderrText();

  EXPECT_EQ(httpGet(reader.port(), kGame).body, ";ANNA,500");
  EXPECT_EQ(httpGet(writer.port(), submission("BOB", 600)).body, "OK");
  EXPECT_TRUE(waitUntil([&] { return httpGet(reader.port(), kGame).body == ";BOB,600;ANNA,500"; }));
  const ProcessResult ban = runProgram(serverBinary(), {"--db", primary.url(), "ban", "BOB"});
  EXPECT_EQ(ban.status, 0) << ban.err;
  EXPECT_TRUE(waitUntil([&] { return httpGet(reader.port(), kGame).body == ";ANNA,500"; }));
  EXPECT_EQ(httpGet(reader.port(), "/api/v1/rank?name=ANNA").status, 200);
  EXPECT_EQ(httpGet(reader.port(), "/healthz").status, 200);

  EXPECT_EQ(httpGet(reader.port(), submission("CAT", 1)).status, 503);
  const ProcessResult hide = runProgram(serverBinary(), {"--db", replica.url(), "hide", "1"});
  EXPECT_EQ(hide.status, 1);
  EXPECT_NE(hide.err.find("unavailable"), std::string::npos) << hide.err;
}

}  // namespace
}  // namespace server_test
