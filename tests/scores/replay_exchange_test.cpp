// The replays of entered scores: kept beside the score table while their entries wait, sent
// after the specified requests of an exchange, dropped or kept by the server's answer, and
// dropped with an entry that leaves the table.
#include <gtest/gtest.h>

#include "platform/files.hpp"
#include "replay/replay_file.hpp"
#include "scores/replay_store.hpp"
#include "scores/score_upload.hpp"
#include "tests/scores/scores_fixture.hpp"
#include "tests/support/loopback_http_server.hpp"

namespace scores_test {
namespace {

using scores::ScoreTable;
using scores::UploadResult;
using testing_support::LoopbackHttpServer;
using Reply = LoopbackHttpServer::Reply;

std::vector<std::uint8_t> replayOf(const std::string& name, std::uint32_t score) {
  replay::Replay r;
  r.rulesVersion = 1;
  r.name = name;
  r.score = score;
  replay::Segment part;
  part.events = {{replay::Event::Kind::Frames, 100}};
  part.finished = true;
  r.segments = {part};
  return replay::encode(r);
}

class ReplayExchangeTest : public ScoresTest {
 protected:
  std::vector<std::string> kept(const std::string& prefix) const {
    return platform::filesInFolder(saveFolder.path(), prefix, ".zebreplay");
  }

  // One exchange with a server that takes the scores, sends `list` and answers each replay
  // with `status` and `body`.
  scores::UploadOutcome exchange(ScoreTable& table, int status, const std::string& body, const std::string& list = ";ANNA,500") {
    server_ = std::make_unique<LoopbackHttpServer>([=](const LoopbackHttpServer::Request& request) {
      if (request.method == "POST") return Reply{status, body, 0, ""};
      return Reply{200, request.target.find('?') == std::string::npos ? list : "", 0, ""};
    });
    scores::setScoreServer(server_->address());
    return scores::uploadScores(table);
  }

  std::unique_ptr<LoopbackHttpServer> server_;
};

TEST_F(ReplayExchangeTest, TheReplaysGoAfterTheListInTheSameSessionAndAVerifiedOneIsDropped) {
  ScoreTable table;
  ASSERT_TRUE(table.insertScore(u"ANNA", 500));
  const std::vector<std::uint8_t> bytes = replayOf("ANNA", 500);
  ASSERT_TRUE(scores::keepReplay(bytes, table));
  ASSERT_EQ(kept("ScoreList-").size(), 1u);

  const scores::UploadOutcome outcome = exchange(table, 200, "verified 17\n");
  EXPECT_EQ(outcome.result, UploadResult::Exchanged);
  EXPECT_EQ(outcome.gamesSent, 1u);
  EXPECT_EQ(outcome.gamesVerified, 1u);
  const auto requests = server_->requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].target, "/Zebrolite2/updateScore_ppc.php?myname=ANNA&myscore=500");
  EXPECT_EQ(requests[1].target, "/Zebrolite2/updateScore_ppc.php");
  EXPECT_EQ(requests[2].method, "POST");
  EXPECT_EQ(requests[2].path, "/api/v1/games");
  EXPECT_EQ(requests[2].contentType, "application/x-zebrolite-replay");
  EXPECT_EQ(requests[2].body, std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(server_->connections(), 1u);
  EXPECT_TRUE(kept("").empty());
  EXPECT_EQ(table.entry(0).pendingUpload, 0);
}

TEST_F(ReplayExchangeTest, TheServersAnswerDecidesWhetherAReplayIsKeptForNextTime) {
  struct Case {
    int status;
    const char* body;
    bool keptUnsent;
    std::size_t verified;
  };
  const Case cases[] = {
      {200, "verified", false, 1},  {202, "queued", false, 0},   {422, "refused: score differs", false, 0},
      {404, "not found", true, 0},  {405, "", true, 0},          {503, "busy", true, 0},
      {429, "slow down", true, 0},
  };
  for (const Case& c : cases) {
    for (const std::string& name : kept("")) platform::removeFile(saveFolder.file(name));
    ScoreTable table;
    ASSERT_TRUE(table.insertScore(u"ANNA", 500));
    scores::keepReplay(replayOf("ANNA", 500), table);
    const scores::UploadOutcome outcome = exchange(table, c.status, c.body);
    // The answer to a replay never changes the exchange or the table.
    EXPECT_EQ(outcome.result, UploadResult::Exchanged) << c.status;
    EXPECT_EQ(outcome.gamesVerified, c.verified) << c.status;
    EXPECT_EQ(table.entry(0).pendingUpload, 0) << c.status;
    EXPECT_EQ(kept("Unsent-").size(), c.keptUnsent ? 1u : 0u) << c.status;
    EXPECT_TRUE(kept("ScoreList-").empty()) << c.status;
  }
  // What was kept goes out at the next exchange, with nothing pending.
  ScoreTable table;
  const scores::UploadOutcome later = exchange(table, 200, "verified");
  EXPECT_EQ(later.gamesVerified, 1u);
  EXPECT_TRUE(kept("").empty());
}

TEST_F(ReplayExchangeTest, AFailedExchangeKeepsTheReplaysWithTheirPendingEntries) {
  ScoreTable table;
  ASSERT_TRUE(table.insertScore(u"ANNA", 500));
  scores::keepReplay(replayOf("ANNA", 500), table);
  scores::setScoreServer(LoopbackHttpServer::closedAddress());
  EXPECT_EQ(scores::uploadScores(table).result, UploadResult::NotReached);
  EXPECT_EQ(kept("ScoreList-").size(), 1u);
  EXPECT_EQ(table.entry(0).pendingUpload, 1);
}

TEST_F(ReplayExchangeTest, AReplayGoesWithItsEntryAndADamagedOneIsRemoved) {
  ScoreTable table;
  ASSERT_TRUE(table.insertScore(u"ANNA", 150));
  scores::keepReplay(replayOf("ANNA", 150), table);
  // A replay no entry claims goes at once.
  scores::keepReplay(replayOf("BOB", 999), table);
  EXPECT_EQ(kept("ScoreList-").size(), 1u);
  testing_support::writeBytes(saveFolder.file("ScoreList-0000000000000000.zebreplay"), {1, 2, 3});
  // Better scores push ANNA out of the table; her replay goes with her.
  for (std::uint32_t i = 0; i < ScoreTable::kEntries; ++i) ASSERT_TRUE(table.insertScore(u"X", 200 + i));
  scores::dropReplaysOfLeftEntries(table);
  EXPECT_TRUE(kept("").empty());
}

// A kill while a replay was written leaves its temporary file: the names the store gives
// for the start's clean-up cover every file it writes, waiting and unsent.
TEST_F(ReplayExchangeTest, TheStoresNamesCoverEveryReplayItKeeps) {
  ScoreTable table;
  ASSERT_TRUE(table.insertScore(u"ANNA", 500));
  scores::keepReplay(replayOf("ANNA", 500), table);
  exchange(table, 503, "busy");
  ASSERT_TRUE(table.insertScore(u"BOB", 600));
  scores::keepReplay(replayOf("BOB", 600), table);
  const std::vector<std::string> replays = kept("");
  ASSERT_EQ(replays.size(), 2u);
  EXPECT_EQ(kept("Unsent-").size(), 1u);
  for (const std::string& name : replays) testing_support::writeBytes(saveFolder.file(name + ".Ab12Cd"), {1});

  const std::vector<std::string> names = scores::storedReplayNames();
  const std::vector<std::string_view> patterns(names.begin(), names.end());
  EXPECT_EQ(platform::removeLeftoverTemporaries(saveFolder.path(), patterns), 2);
  EXPECT_EQ(platform::filesInFolder(saveFolder.path(), "", ""), replays);
}

}  // namespace
}  // namespace scores_test
