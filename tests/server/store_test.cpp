// The store's behaviour, for every kind of store: resubmission, order and ranks, the boards'
// windows, a name's rank, moderation, verified games and the version that tells caches to
// refresh.
#include <algorithm>
#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "server/board.hpp"
#include "tests/server/store_fixture.hpp"

namespace server_test {
namespace {

using server::Board;
using server::RankedEntry;
using server::SubmitOutcome;
using server::UnixTime;

// 2024-03-06T12:00:00Z, a Wednesday.
constexpr UnixTime kNow = 1709726400;
constexpr UnixTime kDay = 86400;

std::vector<std::pair<std::string, std::uint64_t>> namesAndRanks(const std::vector<RankedEntry>& rows) {
  std::vector<std::pair<std::string, std::uint64_t>> out;
  for (const RankedEntry& row : rows) out.emplace_back(row.name, row.rank);
  return out;
}

using Ranked = std::vector<std::pair<std::string, std::uint64_t>>;

// A verified game of the pair; `id` stands for the ID of its bytes.
server::VerifiedGame game(const std::string& id, const std::string& name, std::uint32_t score, UnixTime time = kNow) {
  return {id, name, score, time, std::make_shared<const std::string>("record of " + id + std::string(3, '\0')), 1000};
}

std::string gameId(char digit) { return std::string(32, digit); }

std::vector<RankedEntry> allTime(server::ScoreStore& store, std::size_t limit = 100, std::uint64_t offset = 0) {
  const auto page = store.board({std::nullopt, offset, limit, false});
  EXPECT_TRUE(page.ok());
  return page.value.entries;
}

TEST_P(StoreTest, AResubmittedPairIsStoredOnceAndNeverAsksForAdmission) {
  int asked = 0;
  const server::AdmitNew admit = [&asked] {
    ++asked;
    return true;
  };
  EXPECT_EQ(submitNow(store(), "ANNA", 500, kNow, admit), SubmitOutcome::Stored);
  EXPECT_EQ(submitNow(store(), "ANNA", 500, kNow + 60, admit), SubmitOutcome::AlreadyStored);
  EXPECT_EQ(submitNow(store(), "ANNA", 501, kNow, admit), SubmitOutcome::Stored);
  EXPECT_EQ(asked, 2);
  const std::vector<RankedEntry> rows = allTime(store());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].time, kNow);  // the first submission's time stays
  EXPECT_EQ(submitNow(store(), "BOB", 1, kNow, [] { return false; }), SubmitOutcome::Refused);
  EXPECT_EQ(allTime(store()).size(), 2u);
}

TEST_P(StoreTest, BestFirstTiesByFirstSubmissionWithCompetitionRanks) {
  for (const auto& [name, score] : {std::pair{"B", 400}, {"A", 500}, {"C", 500}, {"D", 400}, {"E", 300}, {"F", 1}}) {
    ASSERT_EQ(submitNow(store(), name, score, kNow), SubmitOutcome::Stored);
  }
  EXPECT_EQ(namesAndRanks(allTime(store())), (Ranked{{"A", 1}, {"C", 1}, {"B", 3}, {"D", 3}, {"E", 5}, {"F", 6}}));
  // A page that starts inside a tie keeps the tie's rank.
  EXPECT_EQ(namesAndRanks(allTime(store(), 2, 3)), (Ranked{{"D", 3}, {"E", 5}}));
  EXPECT_TRUE(allTime(store(), 5, 6).empty());
  const auto page = store().board({std::nullopt, 0, 1, true});
  EXPECT_EQ(page.value.total, 6u);
}

TEST_P(StoreTest, TheListHoldsTheHundredBest) {
  for (std::uint32_t score = 1; score <= 120; ++score) {
    ASSERT_EQ(submitNow(store(), numbered("P", score), score, kNow), SubmitOutcome::Stored);
  }
  const std::vector<RankedEntry> rows = allTime(store());
  ASSERT_EQ(rows.size(), 100u);
  EXPECT_EQ(rows.front().score, 120u);
  EXPECT_EQ(rows.back().score, 21u);
  EXPECT_EQ(rows.back().rank, 100u);
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.score > b.score; }));
}

TEST_P(StoreTest, ScoresAboveTwoToTheThirtyOneCompareAsUnsigned) {
  submitNow(store(), "HIGH", 4294967295u, kNow);
  submitNow(store(), "MID", 3000000000u, kNow);
  submitNow(store(), "LOW", 2000000000u, kNow);
  const std::vector<RankedEntry> rows = allTime(store());
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].score, 4294967295u);
  EXPECT_EQ(rows[1].score, 3000000000u);
}

TEST_P(StoreTest, BoardsShowOnlyTheirWindow) {
  const struct {
    const char* name;
    UnixTime time;
  } submissions[] = {
      {"LASTYEAR", kNow - 400 * kDay}, {"LASTMONTH", kNow - 10 * kDay}, {"MONDAY", kNow - 2 * kDay + 3600},
      {"SUNDAY", kNow - 3 * kDay},     {"TODAY", kNow - 3600},          {"MIDNIGHT", kNow - 12 * 3600},
  };
  std::uint32_t score = 100;
  for (const auto& s : submissions) ASSERT_EQ(submitNow(store(), s.name, score--, s.time), SubmitOutcome::Stored);
  const auto names = [this](Board board) {
    std::vector<std::string> out;
    for (const RankedEntry& row : store().board({server::boardWindow(board, kNow).from, 0, 100, false}).value.entries) {
      out.push_back(row.name);
    }
    return out;
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(names(Board::Day), (Names{"TODAY", "MIDNIGHT"}));
  EXPECT_EQ(names(Board::Week), (Names{"MONDAY", "TODAY", "MIDNIGHT"}));
  EXPECT_EQ(names(Board::Month), (Names{"MONDAY", "SUNDAY", "TODAY", "MIDNIGHT"}));
  EXPECT_EQ(names(Board::All).size(), 6u);
  // Ranks count within the window.
  EXPECT_EQ(store().board({server::boardWindow(Board::Day, kNow).from, 0, 1, false}).value.entries.front().rank, 1u);
}

TEST_P(StoreTest, ANamesBestRankWithFiveAboveAndFiveBelow) {
  for (std::uint32_t i = 1; i <= 20; ++i) submitNow(store(), numbered("P", i), 1000 - i * 10, kNow);
  submitNow(store(), "TIE", 1000 - 5 * 10, kNow);  // ties P5 and comes after it
  submitNow(store(), "P12", 10, kNow);              // a worse score of a name changes nothing
  const auto view = store().rankOf("P12", std::nullopt, 5);
  ASSERT_TRUE(view.ok() && view.value);
  EXPECT_EQ(view.value->entry.name, "P12");
  EXPECT_EQ(view.value->entry.score, 880u);
  EXPECT_EQ(view.value->entry.rank, 13u);
  EXPECT_EQ(namesAndRanks(view.value->above), (Ranked{{"P7", 8}, {"P8", 9}, {"P9", 10}, {"P10", 11}, {"P11", 12}}));
  EXPECT_EQ(namesAndRanks(view.value->below), (Ranked{{"P13", 14}, {"P14", 15}, {"P15", 16}, {"P16", 17}, {"P17", 18}}));

  const auto top = store().rankOf("P1", std::nullopt, 5);
  ASSERT_TRUE(top.value);
  EXPECT_TRUE(top.value->above.empty());
  EXPECT_EQ(top.value->entry.rank, 1u);
  const auto tie = store().rankOf("TIE", std::nullopt, 5);
  EXPECT_EQ(tie.value->entry.rank, 5u);
  EXPECT_EQ(namesAndRanks(tie.value->above).back(), (std::pair<std::string, std::uint64_t>{"P5", 5}));

  EXPECT_FALSE(store().rankOf("NOBODY", std::nullopt, 5).value);
  EXPECT_FALSE(store().rankOf("P1", kNow + 1, 5).value);  // nothing of P1 in a later window
}

TEST_P(StoreTest, HiddenAndBannedEntriesVanishAndEveryChangeIsAudited) {
  submitNow(store(), "ANNA", 500, kNow);
  submitNow(store(), "CHEAT", 900, kNow);
  submitNow(store(), "CHEAT", 800, kNow);
  submitNow(store(), "BOB", 400, kNow);
  const auto recent = store().recent(10);
  ASSERT_TRUE(recent.ok());
  ASSERT_EQ(recent.value.size(), 4u);
  EXPECT_EQ(recent.value.front().name, "BOB");  // newest first
  const std::int64_t anna = recent.value.back().id;

  EXPECT_TRUE(store().setHidden(anna, true, "mod", kNow + 1).value);
  EXPECT_FALSE(store().setHidden(anna, true, "mod", kNow + 2).value);  // already hidden: no change, no audit
  EXPECT_EQ(store().setHidden(999999, true, "mod", kNow).status, server::StoreStatus::NotFound);
  EXPECT_EQ(namesAndRanks(allTime(store())), (Ranked{{"CHEAT", 1}, {"CHEAT", 2}, {"BOB", 3}}));
  EXPECT_FALSE(store().rankOf("ANNA", std::nullopt, 5).value);
  EXPECT_EQ(submitNow(store(), "ANNA", 500, kNow), SubmitOutcome::AlreadyStored);  // not stored again, still hidden

  EXPECT_TRUE(store().setBanned("CHEAT", true, "mod", kNow + 3).value);
  EXPECT_EQ(namesAndRanks(allTime(store())), (Ranked{{"BOB", 1}}));
  EXPECT_FALSE(store().rankOf("CHEAT", std::nullopt, 5).value);
  EXPECT_EQ(submitNow(store(), "CHEAT", 950, kNow), SubmitOutcome::Stored);  // kept, never shown
  EXPECT_EQ(namesAndRanks(allTime(store())), (Ranked{{"BOB", 1}}));
  EXPECT_EQ(store().board({std::nullopt, 0, 10, true}).value.total, 1u);
  EXPECT_TRUE(store().recent(1).value.front().banned);

  EXPECT_TRUE(store().setHidden(anna, false, "mod", kNow + 4).value);
  EXPECT_TRUE(store().setBanned("CHEAT", false, "mod", kNow + 5).value);
  EXPECT_FALSE(store().setBanned("CHEAT", false, "mod", kNow + 6).value);
  EXPECT_EQ(allTime(store()).size(), 5u);

  const auto audit = store().audit(10);
  ASSERT_TRUE(audit.ok());
  ASSERT_EQ(audit.value.size(), 4u);
  EXPECT_EQ(audit.value[3].action, "hide");
  EXPECT_EQ(audit.value[3].subject, std::to_string(anna));
  EXPECT_EQ(audit.value[3].actor, "mod");
  EXPECT_EQ(audit.value[3].time, kNow + 1);
  EXPECT_EQ(audit.value[2].action, "ban");
  EXPECT_EQ(audit.value[2].subject, "CHEAT");
  EXPECT_EQ(audit.value[1].action, "unhide");
  EXPECT_EQ(audit.value[0].action, "unban");
}

TEST_P(StoreTest, TheVersionChangesWithEveryChangeFromThisStoreOrAnother) {
  const std::uint64_t start = store().version();
  EXPECT_EQ(store().version(), start);
  submitNow(store(), "ANNA", 500, kNow);
  const std::uint64_t afterStore = store().version();
  EXPECT_NE(afterStore, start);
  submitNow(store(), "ANNA", 500, kNow);  // a duplicate changes nothing
  EXPECT_EQ(store().version(), afterStore);

  std::unique_ptr<server::ScoreStore> moderator = another();
  EXPECT_TRUE(moderator->setBanned("ANNA", true, "mod", kNow).value);
  EXPECT_TRUE(eventually([&] { return store().version() != afterStore; }));
  EXPECT_TRUE(allTime(store()).empty());
  const std::uint64_t afterBan = store().version();
  EXPECT_EQ(submitNow(*moderator, "BOB", 400, kNow), SubmitOutcome::Stored);
  EXPECT_TRUE(eventually([&] { return store().version() != afterBan; }));
  EXPECT_EQ(allTime(store()).size(), 1u);
}

// Two servers on one database given the same new pairs at the same moment: each pair is
// stored once, and each is answered Stored by exactly one of them.
TEST_P(StoreTest, TheSamePairsSentToTwoStoresAtOnceAreStoredOnce) {
  std::unique_ptr<server::ScoreStore> second = another();
  constexpr int kPairs = 200;
  std::atomic<int> stored{0};
  std::atomic<int> admissions{0};
  const server::AdmitNew admit = [&admissions] {
    ++admissions;
    return true;
  };
  std::vector<std::thread> senders;
  for (server::ScoreStore* target : {&store(), second.get(), &store(), second.get()}) {
    senders.emplace_back([&, target] {
      for (int i = 1; i <= kPairs; ++i) {
        const SubmitOutcome outcome = submitNow(*target, "SAME", static_cast<std::uint32_t>(i), kNow, admit);
        EXPECT_TRUE(outcome == SubmitOutcome::Stored || outcome == SubmitOutcome::AlreadyStored);
        if (outcome == SubmitOutcome::Stored) ++stored;
      }
    });
  }
  for (std::thread& sender : senders) sender.join();
  EXPECT_EQ(stored.load(), kPairs);
  EXPECT_GE(admissions.load(), kPairs);
  EXPECT_LE(admissions.load(), 4 * kPairs);
  EXPECT_EQ(store().board({std::nullopt, 0, 1, true}).value.total, static_cast<std::uint64_t>(kPairs));
  EXPECT_EQ(second->board({std::nullopt, 0, 1, true}).value.total, static_cast<std::uint64_t>(kPairs));
}

TEST_P(StoreTest, SubmissionsFromManyThreadsAreAllStoredAndSurviveReopening) {
  constexpr int kThreads = 8;
  constexpr int kEach = 50;
  std::atomic<int> stored{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        if (submitNow(store(), numbered("T", t), static_cast<std::uint32_t>(i + 1), kNow) ==
            SubmitOutcome::Stored) {
          ++stored;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(stored.load(), kThreads * kEach);
  reopen();
  EXPECT_EQ(store().board({std::nullopt, 0, 1, true}).value.total, static_cast<std::uint64_t>(kThreads * kEach));
}

TEST_P(StoreTest, AClosedStoreRefusesSubmissions) {
  store().close();
  EXPECT_EQ(submitNow(store(), "LATE", 5, kNow), SubmitOutcome::Unavailable);
}

TEST_P(StoreTest, AVerifiedGameIsKeptOnceWithItsEntryAndShownByIt) {
  ASSERT_EQ(submitNow(store(), "ANNA", 500, kNow), SubmitOutcome::Stored);
  const std::uint64_t before = store().version();
  const auto kept = store().keepGame(game(gameId('1'), "ANNA", 500));
  ASSERT_TRUE(kept.ok());
  EXPECT_TRUE(kept.value);
  EXPECT_NE(store().version(), before);
  EXPECT_FALSE(store().keepGame(game(gameId('1'), "ANNA", 500)).value) << "the same record twice";
  EXPECT_TRUE(store().hasGame(gameId('1')).value);
  EXPECT_FALSE(store().hasGame(gameId('9')).value);
  const auto record = store().game(gameId('1'));
  ASSERT_TRUE(record.ok() && record.value);
  EXPECT_EQ(record.value->file, *game(gameId('1'), "ANNA", 500).file) << "bytes with a NUL among them";
  EXPECT_EQ(record.value->name, "ANNA");
  EXPECT_EQ(record.value->score, 500u);
  // The same score played again: both records are kept, the entry shows its first.
  EXPECT_TRUE(store().keepGame(game(gameId('2'), "ANNA", 500)).value);
  EXPECT_TRUE(store().game(gameId('2')).value);
  ASSERT_EQ(allTime(store()).size(), 1u);
  EXPECT_EQ(allTime(store()).front().game, gameId('1'));
  EXPECT_TRUE(store().recent(1).value.front().verified);
}

TEST_P(StoreTest, AVerifiedGameWithoutAnEntryBringsItsEntryAndTheVerifiedViewRanksItsOwn) {
  submitNow(store(), "BOB", 900, kNow);
  submitNow(store(), "ANNA", 500, kNow);
  EXPECT_TRUE(store().keepGame(game(gameId('a'), "ANNA", 500)).value);
  EXPECT_TRUE(store().keepGame(game(gameId('c'), "CAT", 700, kNow + 60)).value);
  const std::vector<RankedEntry> all = allTime(store());
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(namesAndRanks(all), (Ranked{{"BOB", 1}, {"CAT", 2}, {"ANNA", 3}}));
  EXPECT_EQ(all[1].time, kNow + 60) << "the entry a game brings has the time of its verification";
  EXPECT_TRUE(all[0].game.empty());
  EXPECT_EQ(all[1].game, gameId('c'));
  const auto verified = store().board({std::nullopt, 0, 100, true, true});
  ASSERT_TRUE(verified.ok());
  EXPECT_EQ(namesAndRanks(verified.value.entries), (Ranked{{"CAT", 1}, {"ANNA", 2}}));
  EXPECT_EQ(verified.value.total, 2u);
  EXPECT_EQ(namesAndRanks(store().board({std::nullopt, 1, 1, false, true}).value.entries), (Ranked{{"ANNA", 2}}));
  EXPECT_EQ(submitNow(store(), "CAT", 700, kNow), SubmitOutcome::AlreadyStored);
  const auto rank = store().rankOf("CAT", std::nullopt, 5);
  ASSERT_TRUE(rank.value);
  EXPECT_EQ(rank.value->entry.game, gameId('c'));
  EXPECT_EQ(rank.value->above.front().name, "BOB");
}

TEST_P(StoreTest, HiddenAndBannedEntriesKeepTheirGamesButGiveNoneOut) {
  store().keepGame(game(gameId('a'), "ANNA", 500));
  store().keepGame(game(gameId('b'), "BOB", 400));
  const std::int64_t anna = store().recent(10).value.back().id;
  ASSERT_TRUE(store().setHidden(anna, true, "mod", kNow).value);
  ASSERT_TRUE(store().setBanned("BOB", true, "mod", kNow).value);
  EXPECT_FALSE(store().game(gameId('a')).value);
  EXPECT_FALSE(store().game(gameId('b')).value);
  EXPECT_TRUE(store().hasGame(gameId('a')).value) << "kept: sent again, it is known";
  EXPECT_TRUE(store().board({std::nullopt, 0, 10, true, true}).value.entries.empty());
  ASSERT_TRUE(store().setHidden(anna, false, "mod", kNow).value);
  EXPECT_TRUE(store().game(gameId('a')).value);
}

// Two servers given the same game at the same moment, with no entry yet: one entry, one
// record, and exactly one of them says it kept it.
TEST_P(StoreTest, TheSameGameKeptByTwoStoresAtOnceIsKeptOnce) {
  std::unique_ptr<server::ScoreStore> second = another();
  ASSERT_TRUE(second);
  for (char digit : {'1', '2', '3', '4', '5'}) {
    const server::VerifiedGame same = game(gameId(digit), std::string("P") + digit, 100);
    std::promise<void> go;
    std::shared_future<void> start = go.get_future().share();
    auto one = std::async(std::launch::async, [&] {
      start.wait();
      return store().keepGame(same);
    });
    auto other = std::async(std::launch::async, [&] {
      start.wait();
      return second->keepGame(same);
    });
    go.set_value();
    const auto a = one.get();
    const auto b = other.get();
    ASSERT_TRUE(a.ok() && b.ok()) << digit;
    EXPECT_NE(a.value, b.value) << digit;
  }
  EXPECT_EQ(store().board({std::nullopt, 0, 10, true, true}).value.total, 5u);
  EXPECT_TRUE(eventually([&] { return second->board({std::nullopt, 0, 10, true, true}).value.total == 5u; }));
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreTest, everyStore(), storeTestName);

}  // namespace
}  // namespace server_test
