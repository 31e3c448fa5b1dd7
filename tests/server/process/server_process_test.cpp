// zebrolite-scored as its users meet it: the command line, the start-up checks, the HTTP
// limits, moderation and backup beside a running server, signals, and the access log.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/server/process/http_client.hpp"
#include "tests/server/process/server_process.hpp"
#include "tests/server/process/server_test.hpp"
#include "tests/support/scratch_folder.hpp"

namespace server_test {
namespace {

const std::string kGame = "/Zebrolite2/updateScore_ppc.php";

std::string submission(const std::string& name, std::uint32_t score) {
  return kGame + "?myname=" + name + "&myscore=" + std::to_string(score);
}

class ServerHttpTest : public ServerTest {};
class ServerModerationTest : public ServerTest {};
class ServerDurabilityTest : public ServerTest {};

// Polls the list until it is `expected` (moderation of another process is noticed within
// about a second); the last list seen.
std::string waitForList(std::uint16_t port, const std::string& expected) {
  std::string list;
  for (int i = 0; i < 100; ++i) {
    list = httpGet(port, kGame).body;
    if (list == expected) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return list;
}

TEST(ServerCommandLineTest, HelpVersionAndBadOptions) {
  const ProcessResult help = runProgram(serverBinary(), {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--submit-rate N"), std::string::npos);
  const ProcessResult version = runProgram(serverBinary(), {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("zebrolite-scored ", 0), 0u);
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--port", "99999"}, {"--frobnicate"}, {"--db"}, {"restart"}}) {
    const ProcessResult result = runProgram(serverBinary(), bad);
    EXPECT_EQ(result.status, 2) << bad[0];
    EXPECT_EQ(result.err.rfind("zebrolite-scored: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find("--help"), std::string::npos);
  }
}

TEST(ServerStartTest, FilesThatCannotServeStopTheStartWithAMessage) {
  testing_support::ScratchFolder scratch;
  std::ofstream(scratch.file("text.db")) << std::string(4096, 'x');
  ServerProcess text(scratch.path(), {"--db", scratch.file("text.db")});
  EXPECT_FALSE(text.started());
  EXPECT_NE(text.stderrText().find("text.db: not an SQLite database"), std::string::npos) << text.stderrText();

  ServerProcess folder(scratch.path(), {"--db", scratch.file("missing/scores.db")});
  EXPECT_FALSE(folder.started());
  EXPECT_NE(folder.stderrText().find("cannot open"), std::string::npos) << folder.stderrText();

  ServerProcess address(scratch.path(), {"--listen", "not-an-address"});
  EXPECT_FALSE(address.started());
  EXPECT_NE(address.stderrText().find("not an IP address"), std::string::npos);

  // Not writable: a read-only file system (root writes through permission bits).
  const std::string readOnly = scratch.file("ro");
  std::filesystem::create_directory(readOnly);
  if (mount("tmpfs", readOnly.c_str(), "tmpfs", MS_RDONLY, "size=1m") != 0) {
    GTEST_SKIP() << "cannot mount a read-only file system here";
  }
  ServerProcess unwritable(scratch.path(), {"--db", readOnly + "/scores.db"});
  EXPECT_FALSE(unwritable.started());
  EXPECT_NE(unwritable.stderrText().find("zebrolite-scored: " + readOnly + "/scores.db"), std::string::npos)
      << unwritable.stderrText();
  umount(readOnly.c_str());
}

TEST(ServerStartTest, TheDefaultDatabaseIsMadeInTheUsersDataFolder) {
  testing_support::ScratchFolder scratch;
  const ProcessResult result = runProgram(serverBinary(), {"list"}, {{"XDG_DATA_HOME", scratch.file("data")}});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(std::filesystem::exists(scratch.file("data/zebrolite/scores.db")));
}

TEST_P(ServerHttpTest, AnswersTheGameAndKeepsItsLimits) {
  ServerProcess server(scratch_.path(), onDatabase());
  ASSERT_TRUE(server.started()) << server.stderrText();
  EXPECT_EQ(httpGet(server.port(), submission("ANNA", 500)).body, "OK");
  const HttpResponse list = httpGet(server.port(), kGame);
  EXPECT_EQ(list.status, 200);
  EXPECT_EQ(list.body, ";ANNA,500");
  EXPECT_EQ(list.headers.at("content-type"), "text/plain; charset=utf-8");
  EXPECT_EQ(httpGet(server.port(), kGame, "If-None-Match: " + list.headers.at("etag") + "\r\n").status, 304);

  const HttpResponse refused = httpGet(server.port(), submission("A%3BB", 5));
  EXPECT_EQ(refused.status, 400);
  EXPECT_EQ(refused.body, "name holds ',' or ';'\n");

  // Two requests on one connection, the second closing it: both answered, in order.
  const std::vector<HttpResponse> both = httpExchange(
      server.port(), "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\nGET " + kGame + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0].body, "ok\n");
  EXPECT_EQ(both[1].body, ";ANNA,500");

  const std::vector<HttpResponse> body =
      httpExchange(server.port(), "GET " + kGame + " HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello");
  ASSERT_EQ(body.size(), 1u);
  EXPECT_EQ(body[0].status, 413);
  const std::vector<HttpResponse> chunked = httpExchange(
      server.port(), "GET " + kGame + " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n");
  ASSERT_EQ(chunked.size(), 1u);
  EXPECT_EQ(chunked[0].status, 413);

  const HttpResponse longQuery = httpGet(server.port(), submission(std::string(100 * 1024, 'A'), 1));
  EXPECT_EQ(longQuery.status, 431);
  const HttpResponse longHeader = httpGet(server.port(), kGame, "X-Filler: " + std::string(9000, 'y') + "\r\n");
  EXPECT_EQ(longHeader.status, 431);
  const std::vector<HttpResponse> garbage = httpExchange(server.port(), "HELLO THERE\r\n\r\n");
  ASSERT_EQ(garbage.size(), 1u);
  EXPECT_EQ(garbage[0].status, 400);
  const std::vector<HttpResponse> post =
      httpExchange(server.port(), "POST " + kGame + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  ASSERT_EQ(post.size(), 1u);
  EXPECT_EQ(post[0].status, 405);
  EXPECT_EQ(post[0].headers.at("allow"), "GET, HEAD");

  // Still serving after all that.
  EXPECT_EQ(httpGet(server.port(), kGame).body, ";ANNA,500");
  const std::string metrics = httpGet(server.port(), "/metrics").body;
  EXPECT_NE(metrics.find("zebrolite_http_requests_total{route=\"game_submit\",status=\"400\"} 1"), std::string::npos)
      << metrics;
  EXPECT_EQ(server.stop(SIGTERM), 0);
  const std::string log = server.stderrText();
  EXPECT_NE(log.find("127.0.0.1 \"GET /healthz\" 200 3 "), std::string::npos) << log;
  EXPECT_NE(log.find("stopped"), std::string::npos);
}

TEST_P(ServerHttpTest, TheSubmitRateTurnsNewScoresAwayWith429) {
  ServerProcess server(scratch_.path(), onDatabase({"--submit-rate", "2"}));
  ASSERT_TRUE(server.started()) << server.stderrText();
  EXPECT_EQ(httpGet(server.port(), submission("A", 1)).status, 200);
  EXPECT_EQ(httpGet(server.port(), submission("A", 2)).status, 200);
  EXPECT_EQ(httpGet(server.port(), submission("A", 3)).status, 429);
  EXPECT_EQ(httpGet(server.port(), submission("A", 1)).status, 200);  // already stored
}

TEST_P(ServerModerationTest, CommandsOnTheSameDatabaseReachTheRunningServer) {
  ServerProcess server(scratch_.path(), onDatabase());
  ASSERT_TRUE(server.started()) << server.stderrText();
  for (const auto& [name, score] : {std::pair{"ANNA", 500}, {"CHEAT", 999}, {"BOB", 400}}) {
    ASSERT_EQ(httpGet(server.port(), submission(name, score)).body, "OK");
  }
  ASSERT_EQ(waitForList(server.port(), ";CHEAT,999;ANNA,500;BOB,400"), ";CHEAT,999;ANNA,500;BOB,400");

  const ProcessResult list = runProgram(serverBinary(), {"--db", db(), "list"});
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find("CHEAT"), std::string::npos) << list.out;

  const ProcessResult ban = runProgram(serverBinary(), {"--db", db(), "ban", "CHEAT"});
  EXPECT_EQ(ban.status, 0) << ban.err;
  EXPECT_EQ(ban.out, "the name CHEAT is now banned\n");
  EXPECT_EQ(waitForList(server.port(), ";ANNA,500;BOB,400"), ";ANNA,500;BOB,400");
  EXPECT_EQ(httpGet(server.port(), submission("CHEAT", 1000)).body, "OK");  // taken, never shown
  EXPECT_EQ(httpGet(server.port(), kGame).body, ";ANNA,500;BOB,400");

  const ProcessResult hide = runProgram(serverBinary(), {"--db", db(), "hide", "1"});
  EXPECT_EQ(hide.status, 0) << hide.err;
  EXPECT_EQ(waitForList(server.port(), ";BOB,400"), ";BOB,400");
  EXPECT_EQ(httpGet(server.port(), "/api/v1/rank?name=ANNA").status, 404);
  const ProcessResult again = runProgram(serverBinary(), {"--db", db(), "hide", "1"});
  EXPECT_EQ(again.out, "submission 1 was already hidden\n");
  const ProcessResult missing = runProgram(serverBinary(), {"--db", db(), "unhide", "77"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no submission has the id 77"), std::string::npos);

  const ProcessResult audit = runProgram(serverBinary(), {"--db", db(), "audit"});
  EXPECT_EQ(audit.status, 0);
  EXPECT_NE(audit.out.find("ban     CHEAT"), std::string::npos) << audit.out;
  EXPECT_NE(audit.out.find("hide    1"), std::string::npos) << audit.out;

  const ProcessResult backup = runProgram(serverBinary(), {"--db", db(), "backup", scratch_.file("copy.db")});
  if (GetParam() == DatabaseKind::Postgres) {
    EXPECT_EQ(backup.status, 2);
    EXPECT_NE(backup.err.find("pg_dump"), std::string::npos) << backup.err;
    return;
  }
  EXPECT_EQ(backup.status, 0) << backup.err;
  const ProcessResult copied = runProgram(serverBinary(), {"--db", scratch_.file("copy.db"), "list"});
  EXPECT_NE(copied.out.find("CHEAT"), std::string::npos) << copied.out;
}

// Every submission answered OK survives a SIGKILL in the middle of the stream.
TEST_P(ServerDurabilityTest, NothingAnsweredOkIsLostToSigkill) {
  std::vector<std::string> answered;
  {
    ServerProcess server(scratch_.path(), onDatabase({"--submit-rate", "0"}));
    ASSERT_TRUE(server.started()) << server.stderrText();
    constexpr int kClients = 4;
    std::vector<std::vector<std::string>> okByClient(kClients);
    std::atomic<bool> killed{false};
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
      clients.emplace_back([&, c] {
        for (std::uint32_t i = 1; i <= 100000 && !killed; ++i) {
          std::string name = "K";
          name += std::to_string(c);
          const HttpResponse reply = httpGet(server.port(), submission(name, i));
          if (reply.status == 200 && reply.body == "OK") okByClient[static_cast<std::size_t>(c)].push_back(name + "," + std::to_string(i));
          if (reply.status == 0) break;
        }
      });
    }
    for (int waited = 0; waited < 1000; ++waited) {
      std::size_t total = 0;
      for (int c = 0; c < kClients; ++c) total += okByClient[static_cast<std::size_t>(c)].size();
      if (total >= 400) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    server.stop(SIGKILL);
    killed = true;
    for (std::thread& client : clients) client.join();
    for (const auto& ok : okByClient) answered.insert(answered.end(), ok.begin(), ok.end());
  }
  ASSERT_GE(answered.size(), 100u);
  ServerProcess restarted(scratch_.path(), onDatabase());
  ASSERT_TRUE(restarted.started()) << restarted.stderrText();
  std::string all;
  for (std::uint64_t offset = 0;; offset += 100) {
    const HttpResponse page =
        httpGet(restarted.port(), "/api/v1/scores?limit=100&offset=" + std::to_string(offset));
    ASSERT_EQ(page.status, 200) << offset << " " << restarted.stderrText();
    if (page.body.find("\"entries\":[]") != std::string::npos) break;
    all += page.body;
  }
  for (const std::string& pair : answered) {
    const std::size_t comma = pair.find(',');
    const std::string entry = "\"name\":\"" + pair.substr(0, comma) + "\",\"score\":" + pair.substr(comma + 1) + ",";
    ASSERT_NE(all.find(entry), std::string::npos) << pair << " was answered OK and is gone";
  }
}

TEST(ServerDurabilityTest, AFullDiskGives503AndKeepsEverythingStored) {
  testing_support::ScratchFolder scratch;
  const std::string disk = scratch.file("disk");
  std::filesystem::create_directory(disk);
  if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0) GTEST_SKIP() << "cannot mount a small disk here";
  struct Unmount {
    std::string path;
    ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
  } unmount{disk};
  std::vector<std::string> answered;
  int full = 0;
  {
    ServerProcess server(scratch.path(), {"--db", disk + "/scores.db", "--submit-rate", "0"});
    ASSERT_TRUE(server.started()) << server.stderrText();
    for (std::uint32_t i = 1; i <= 20000 && full < 3; ++i) {
      std::string name = "FULL";
      const HttpResponse reply = httpGet(server.port(), submission(name, i));
      if (reply.status == 200) answered.push_back(std::to_string(i));
      if (reply.status == 503) ++full;
      ASSERT_TRUE(reply.status == 200 || reply.status == 503) << reply.status << " " << reply.body;
    }
    EXPECT_EQ(full, 3);
    EXPECT_EQ(httpGet(server.port(), submission("FULL", 1)).status, 200);  // stored before: still OK
    server.stop(SIGTERM);
  }
  // Read the files elsewhere, where there is room.
  std::filesystem::create_directory(scratch.file("copy"));
  for (const char* suffix : {"", "-wal", "-shm"}) {
    const std::string from = disk + "/scores.db" + suffix;
    if (std::filesystem::exists(from)) std::filesystem::copy_file(from, scratch.file("copy/scores.db") + suffix);
  }
  ServerProcess reader(scratch.file("copy/"));
  ASSERT_TRUE(reader.started()) << reader.stderrText();
  const HttpResponse page = httpGet(reader.port(), "/api/v1/scores?limit=1");
  EXPECT_NE(page.body.find("\"total\":" + std::to_string(answered.size()) + ","), std::string::npos)
      << page.body << " after " << answered.size() << " OKs";
}

INSTANTIATE_TEST_SUITE_P(Stores, ServerHttpTest, everyStore(), storeTestName);
INSTANTIATE_TEST_SUITE_P(Stores, ServerModerationTest, everyStore(), storeTestName);
INSTANTIATE_TEST_SUITE_P(Stores, ServerDurabilityTest, everyStore(), storeTestName);

}  // namespace
}  // namespace server_test
