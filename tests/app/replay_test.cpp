// Games played through real messages by the headless driver, recorded as they are played,
// then judged by the verifier and watched by the replay player: what is played honestly
// verifies, and everything else is refused as what it is, with bounded work.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "app/replay_verifier.hpp"
#include "platform/files.hpp"
#include "replay/replay_file.hpp"
#include "tests/support/recorded_games.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/test_files.hpp"

namespace {

using app::Verdict;
using Kind = replay::Event::Kind;

using testing_support::kPlayLong;
using testing_support::kToNewGame;
using testing_support::recordWonGame;
using testing_support::runGameScript;
using testing_support::tableReplays;

std::string readAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The verdict of a verifier on a thread of its own, as the server's workers run them.
Verdict verifyOnAThread(const std::vector<std::uint8_t>& bytes, std::uint64_t maxUpdates = app::ReplayVerifier::kDefaultMaxUpdates) {
  Verdict verdict;
  std::thread worker([&] {
    app::ReplayVerifier verifier(maxUpdates);
    verdict = verifier.verify(bytes);
  });
  worker.join();
  return verdict;
}

class ReplayTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::setDataFolder(testing_support::gameFolder()); }

  static replay::Replay decoded(const std::vector<std::uint8_t>& bytes) {
    const replay::Decoded d = replay::decode(bytes);
    EXPECT_TRUE(d.replay) << d.error;
    return d.replay.value_or(replay::Replay{});
  }

  testing_support::ScratchFolder scratch_;
};

TEST_F(ReplayTest, AGamePlayedThroughMessagesVerifiesAndATestKeyOrAPointMoreIsRefused) {
  const std::vector<std::uint8_t> bytes = recordWonGame();
  EXPECT_LT(bytes.size(), 4096u) << "a whole game in a few kilobytes";
  const Verdict verdict = verifyOnAThread(bytes);
  EXPECT_TRUE(verdict.verified()) << verdict.reason;
  EXPECT_EQ(verdict.name, "AB");
  EXPECT_GT(verdict.score, 1000u);
  EXPECT_GT(verdict.updates, 15000u);

  replay::Replay more = decoded(bytes);
  ++more.score;
  const Verdict claimed = verifyOnAThread(replay::encode(more));
  EXPECT_EQ(claimed.kind, Verdict::Kind::ScoreDiffers) << claimed.reason;

  // '4' takes the attachments off a paddle that has none yet: it changes nothing, and is
  // refused all the same.
  const Verdict testKey = verifyOnAThread(testing_support::recordGameWithTestKey());
  EXPECT_EQ(testKey.kind, Verdict::Kind::TestKey) << testKey.reason;
  EXPECT_EQ(testKey.reason, "the test key 4 was used");
}

TEST_F(ReplayTest, AContinuedGameVerifiesWithItsBeginningAndASecondGameOfARunToo) {
  testing_support::ScratchFolder save;
  // Quit while playing: the game and its replay so far are saved.
  runGameScript(testing_support::kQuitWhilePlaying, save.path());
  ASSERT_TRUE(platform::readFile(save.file("AutoSave.zebreplay"), 1 << 20).opened);
  // Continue, play to the end, then a second game in the same run.
  runGameScript(testing_support::kContinueToTheEnd + "key RETURN\ntick 60\nkey UP\nkey RETURN\n" + kPlayLong +
                    "key RETURN\ntick 60\nkey 0x43\nkey RETURN\ntick 60\n",
                save.path());
  EXPECT_FALSE(platform::readFile(save.file("AutoSave.zebreplay"), 1 << 20).opened) << "the saved game ended";
  const std::vector<std::vector<std::uint8_t>> replays = tableReplays(save.path());
  ASSERT_EQ(replays.size(), 2u);
  std::size_t continued = 0;
  for (const std::vector<std::uint8_t>& bytes : replays) {
    continued += decoded(bytes).segments.size() == 2 ? 1 : 0;
    const Verdict verdict = verifyOnAThread(bytes);
    EXPECT_TRUE(verdict.verified()) << verdict.reason;
  }
  EXPECT_EQ(continued, 1u);

  // The beginning must fit the continuation.
  for (const std::vector<std::uint8_t>& bytes : replays) {
    replay::Replay r = decoded(bytes);
    if (r.segments.size() != 2) continue;
    ++r.segments[0].saved.score;
    EXPECT_EQ(verifyOnAThread(replay::encode(r)).kind, Verdict::Kind::SavedDiffers);
    r.segments.erase(r.segments.begin());
    EXPECT_EQ(verifyOnAThread(replay::encode(r)).kind, Verdict::Kind::Malformed) << "a continuation alone";
  }
}

TEST_F(ReplayTest, DamagedCutOversizedAndEndlessReplaysAreRefusedWithBoundedWork) {
  const std::vector<std::uint8_t> bytes = recordWonGame();
  const replay::Replay game = decoded(bytes);

  std::vector<std::uint8_t> tampered = bytes;
  tampered[tampered.size() / 2] ^= 0x01;
  std::vector<std::uint8_t> big = bytes;
  big.resize(replay::kMaxFileBytes + 1);
  replay::Replay unfinished = game;
  unfinished.segments.back().events.pop_back();
  replay::Replay endless = game;
  endless.segments.back().events.push_back({Kind::Updates, 1'000'000});
  replay::Replay otherRules = game;
  ++otherRules.rulesVersion;
  replay::Replay noName = game;
  noName.name = "NINECHARS";

  const std::pair<std::vector<std::uint8_t>, Verdict::Kind> cases[] = {
      {tampered, Verdict::Kind::Malformed},
      {std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 7), Verdict::Kind::Malformed},
      {big, Verdict::Kind::TooLarge},
      {replay::encode(unfinished), Verdict::Kind::NoEnd},
      {replay::encode(endless), Verdict::Kind::TooLong},
      {replay::encode(otherRules), Verdict::Kind::OtherRules},
      {replay::encode(noName), Verdict::Kind::Malformed},
  };
  for (const auto& [file, kind] : cases) {
    const Verdict verdict = verifyOnAThread(file);
    EXPECT_EQ(verdict.kind, kind) << verdict.reason;
    EXPECT_EQ(verdict.reason.find('\n'), std::string::npos);
    EXPECT_LE(verdict.updates, 30000u) << verdict.reason;
  }
  // Past its end the game plays no further: updates beyond it are refused unplayed.
  const Verdict pastEnd = verifyOnAThread(replay::encode(endless), 2'000'000);
  EXPECT_EQ(pastEnd.kind, Verdict::Kind::NoEnd) << pastEnd.reason;
  EXPECT_EQ(pastEnd.updates, verifyOnAThread(bytes).updates);
}

TEST_F(ReplayTest, OneVerifierJudgesManyGamesAndVerifiersOnTwoThreadsAgree) {
  const std::vector<std::uint8_t> bytes = recordWonGame();
  replay::Replay more = decoded(bytes);
  ++more.score;
  const std::vector<std::uint8_t> wrong = replay::encode(more);
  const auto judgeAll = [&](std::vector<Verdict::Kind>& kinds) {
    app::ReplayVerifier verifier;
    for (int i = 0; i < 3; ++i) {
      kinds.push_back(verifier.verify(bytes).kind);
      kinds.push_back(verifier.verify(wrong).kind);
    }
  };
  std::vector<Verdict::Kind> a;
  std::vector<Verdict::Kind> b;
  std::thread first([&] { judgeAll(a); });
  std::thread second([&] { judgeAll(b); });
  first.join();
  second.join();
  const std::vector<Verdict::Kind> expected = {Verdict::Kind::Verified, Verdict::Kind::ScoreDiffers, Verdict::Kind::Verified,
                                               Verdict::Kind::ScoreDiffers, Verdict::Kind::Verified, Verdict::Kind::ScoreDiffers};
  EXPECT_EQ(a, expected);
  EXPECT_EQ(b, expected);
}

TEST_F(ReplayTest, TheWatchedReplayEndsOnTheFrameOfTheRecordedGame) {
  const std::vector<std::uint8_t> bytes = recordWonGame();
  const replay::Totals totals = replay::totals(decoded(bytes));
  testing_support::writeBytes(scratch_.file("game.zebreplay"), bytes);
  const std::string watched = testing_support::runGame("--replay " + scratch_.file("game.zebreplay"));
  // The same game driven again, stopped at the pass that ended it.
  testing_support::ScratchFolder again;
  const std::string driven = runGameScript(
      kToNewGame + "tick 60\nautopilot on\ntick " + std::to_string(totals.updates - 60) + "\nhash\n", again.path());
  ASSERT_EQ(driven.size(), 17u);
  EXPECT_EQ(watched.substr(0, 17), driven);
  EXPECT_EQ(watched.substr(17), "score " + std::to_string(decoded(bytes).score) + "\n");
}

TEST_F(ReplayTest, ABadReplayFileIsAClearMessageAndStatusTwo) {
  testing_support::writeBytes(scratch_.file("bad.zebreplay"), {'Z', 'E', 'B', 'R', 'A'});
  const std::string command = testing_support::gameFolder() + "zebrolite --headless --replay " + scratch_.file("bad.zebreplay") +
                              " 2> " + scratch_.file("err.txt");
  const int raw = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(raw), 2);
  EXPECT_EQ(readAll(scratch_.file("err.txt")), "zebrolite: " + scratch_.file("bad.zebreplay") +
                                                   " is no replay that can be played: it is not a replay file\n");
}

}  // namespace
