// Verified games on a running zebrolite-scored, for every kind of store: a game played
// through real messages goes to the server through the game's own exchange and comes back
// verified, on the page, in the JSON and as a download of its very bytes; what is not an
// honest finished game is refused as what it is, and the server goes on answering.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdint>
#include <string>
#include <vector>

#include "replay/replay_file.hpp"
#include "server/game_id.hpp"
#include "tests/server/process/game_client.hpp"
#include "tests/server/process/http_client.hpp"
#include "tests/server/process/server_process.hpp"
#include "tests/server/process/server_test.hpp"
#include "tests/support/recorded_games.hpp"
#include "tests/support/scratch_folder.hpp"

namespace server_test {
namespace {

const std::string kList = "/Zebrolite2/updateScore_ppc.php";
const std::string kGames(server::kGamesPath);

std::string asText(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::string idOf(const std::string& file) {
  return server::gameIdOf(std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
}

class VerifiedGamesTest : public ServerTest {
 protected:
  // The verifiers play the built game's level map; a verdict may take its time under the
  // sanitizers, and the game's exchange waits for it.
  std::vector<std::string> serverArguments() const {
    return onDatabase({"--data", testing_support::gameFolder(), "--verdict-wait", "9000"});
  }
};

TEST_P(VerifiedGamesTest, AGamePlayedThroughMessagesIsVerifiedThroughTheGamesOwnExchange) {
  ServerProcess server(scratch_.path(), serverArguments());
  ASSERT_TRUE(server.started()) << server.stderrText();
  const testing_support::ScratchFolder save;
  testing_support::runGameScript(testing_support::kToNewGame + testing_support::kPlayToTheEnd + testing_support::kEnterName,
                                 save.path());
  const std::vector<std::vector<std::uint8_t>> kept = testing_support::tableReplays(save.path());
  ASSERT_EQ(kept.size(), 1u);
  const std::string record = asText(kept.front());
  const std::optional<replay::Header> header = replay::peekHeader(kept.front());
  ASSERT_TRUE(header);
  const std::string score = std::to_string(header->score);
  const std::string id = idOf(record);
  const std::string download = server::replayPath(id);

  const ProcessResult game = exchangeFrom(scratch_.path(), save.path(), server.url());
  ASSERT_EQ(game.status, 0) << game.err;
  EXPECT_NE(game.out.find("\"exchange\":\"1 game verified\""), std::string::npos) << game.out << server.stderrText();
  EXPECT_TRUE(testing_support::tableReplays(save.path()).empty()) << "the server has it: the game drops its copy";

  // The game's list is the plain board; the JSON and the page mark the game verified.
  EXPECT_EQ(httpGet(server.port(), kList).body, ";AB," + score);
  const HttpResponse json = httpGet(server.port(), "/api/v1/scores?verified=1");
  EXPECT_NE(json.body.find("\"total\":1,\"entries\":[{\"rank\":1,\"name\":\"AB\",\"score\":" + score),
            std::string::npos)
      << json.body;
  EXPECT_NE(json.body.find("\"verified\":true,\"replay\":\"" + download + "\"}"), std::string::npos) << json.body;
  const HttpResponse page = httpGet(server.port(), "/?verified=1&fbclid=shared");
  EXPECT_EQ(page.status, 200);
  EXPECT_NE(page.body.find("<a class=\"replay\" href=\"" + download + "\""), std::string::npos) << page.body;

  const HttpResponse file = httpGet(server.port(), download);
  EXPECT_EQ(file.status, 200);
  EXPECT_EQ(file.body, record) << "the download is the game's own record";
  EXPECT_EQ(file.headers.at("content-type"), "application/x-zebrolite-replay");
  EXPECT_EQ(file.headers.at("content-disposition"), "attachment; filename=\"zebrolite-AB-" + score + ".zebreplay\"");
  EXPECT_EQ(file.headers.at("etag"), "\"" + id + "\"");
  EXPECT_EQ(file.headers.at("cache-control"), "public, max-age=31536000, immutable");
  EXPECT_EQ(httpGet(server.port(), download, "If-None-Match: \"" + id + "\"\r\n").status, 304);

  const HttpResponse again = httpPost(server.port(), kGames, record);
  EXPECT_EQ(again.status, 409);
  EXPECT_EQ(again.body, "known " + id + "\n");

  // A banned name's games are kept, and not given out.
  ASSERT_EQ(runProgram(serverBinary(), onDatabase({"ban", "AB"})).status, 0);
  EXPECT_TRUE(waitUntil([&] { return httpGet(server.port(), download).status == 404; }));
  EXPECT_EQ(httpGet(server.port(), "/api/v1/scores?verified=1").body.find("\"AB\""), std::string::npos);
  ASSERT_EQ(runProgram(serverBinary(), onDatabase({"unban", "AB"})).status, 0);
  EXPECT_TRUE(waitUntil([&] { return httpGet(server.port(), download).status == 200; }));

  const std::string metrics = httpGet(server.port(), "/metrics").body;
  EXPECT_NE(metrics.find("zebrolite_verifications_total{outcome=\"verified\"} 1\n"), std::string::npos) << metrics;
  EXPECT_NE(metrics.find("zebrolite_verifications_total{outcome=\"known\"} 1\n"), std::string::npos);
  EXPECT_NE(metrics.find("zebrolite_http_requests_total{route=\"game_post\",status=\"200\"} 1\n"), std::string::npos);
  EXPECT_NE(metrics.find("zebrolite_verification_queue_depth 0\n"), std::string::npos);
  EXPECT_NE(metrics.find("zebrolite_verification_duration_seconds_count 1\n"), std::string::npos);
  EXPECT_EQ(server.stop(SIGTERM), 0);
}

TEST_P(VerifiedGamesTest, WhatIsNoHonestFinishedGameIsRefusedAsSuchAndTheServerGoesOnAnswering) {
  ServerProcess server(scratch_.path(), serverArguments());
  ASSERT_TRUE(server.started()) << server.stderrText();
  const std::vector<std::uint8_t> won = testing_support::recordWonGame();
  const replay::Replay game = replay::decode(won).replay.value();
  replay::Replay pointMore = game;
  ++pointMore.score;
  replay::Replay unfinished = game;
  unfinished.segments.back().finished = false;
  replay::Replay endless = game;
  endless.segments.back().events.push_back({replay::Event::Kind::Updates, 1'000'000});
  replay::Replay pastItsEnd = game;
  pastItsEnd.segments.back().events.push_back({replay::Event::Kind::Frames, 400'000});
  std::string tampered = asText(won);
  tampered[tampered.size() / 2] ^= 0x04;

  const struct {
    const char* what;
    std::string file;
    int status;
    std::string answer;  // the start of the body
  } cases[] = {
      {"a test key", asText(testing_support::recordGameWithTestKey()), 422, "refused: the test key 4 was used\n"},
      {"a point more", asText(replay::encode(pointMore)), 422,
       "refused: the game ends with " + std::to_string(game.score) + " points, not the " + std::to_string(pointMore.score)},
      {"tampered", tampered, 400, "refused: the replay is "},
      {"truncated", asText(won).substr(0, won.size() - 9), 400, "refused: the replay is "},
      {"unfinished", asText(replay::encode(unfinished)), 400, "refused: the game was not finished\n"},
      {"endless", asText(replay::encode(endless)), 422, "refused: the replay has "},
      {"past its end", asText(replay::encode(pastItsEnd)), 422, "refused: the game ends before its replay does\n"},
      {"a continued game", asText(testing_support::recordContinuedGame()), 200, "verified "},
  };
  for (const auto& c : cases) {
    const HttpResponse reply = httpPost(server.port(), kGames, c.file);
    EXPECT_EQ(reply.status, c.status) << c.what << ": " << reply.body;
    EXPECT_EQ(reply.body.rfind(c.answer, 0), 0u) << c.what << ": " << reply.body;
    EXPECT_EQ(reply.body.find('\n'), reply.body.size() - 1) << c.what;
    EXPECT_EQ(httpGet(server.port(), kList).status, 200) << "after " << c.what;
  }

  // Beyond the limit nothing is read: the header alone is refused.
  const std::vector<HttpResponse> oversized = httpExchange(
      server.port(), "POST " + kGames + " HTTP/1.1\r\nHost: x\r\nContent-Length: " +
                         std::to_string(replay::kMaxFileBytes + 1) + "\r\n\r\n" + asText(won));
  ASSERT_EQ(oversized.size(), 1u);
  EXPECT_EQ(oversized[0].status, 413);
  EXPECT_EQ(oversized[0].body, "refused: the replay is larger than 1048576 bytes\n");
  const std::vector<HttpResponse> chunked = httpExchange(
      server.port(), "POST " + kGames + " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nZEBRP\r\n0\r\n\r\n");
  ASSERT_EQ(chunked.size(), 1u);
  EXPECT_EQ(chunked[0].status, 411);
  EXPECT_EQ(httpPost(server.port(), kList, asText(won)).status, 413) << "no other path takes a body";

  // Only the continued game was kept, with the entry it brought.
  const HttpResponse verified = httpGet(server.port(), "/api/v1/scores?verified=1");
  EXPECT_NE(verified.body.find("\"total\":1,"), std::string::npos) << verified.body;
  EXPECT_EQ(httpGet(server.port(), "/healthz").body, "ok\n");
  EXPECT_EQ(server.stop(SIGTERM), 0);
}

INSTANTIATE_TEST_SUITE_P(Stores, VerifiedGamesTest, everyStore(), storeTestName);

}  // namespace
}  // namespace server_test
