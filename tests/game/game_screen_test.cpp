// The game screen: the level file, setting up a level, lives and levels, the controls, the
// saved game, and a long run of play.
#include "game/game_screen.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "platform/files.hpp"
#include "platform/random.hpp"
#include "shell/process_state.hpp"
#include "tests/game/game_fixture.hpp"
#include "tests/support/test_files.hpp"

namespace {

using game::Attachment;
using game::BallKind;
using game::BrickKind;
using game_testing::levelFile;
using game_testing::px;

class GameScreenTest : public game_testing::GameFixture {
 protected:
  int hiddenItems() const {
    int n = 0;
    for (int cell = 0; cell < 192; ++cell) {
      if (rig().cell(cell % 12, cell / 12).hiddenItem == 0) continue;
      EXPECT_NE(rig().cell(cell % 12, cell / 12).hitPoints, 0);
      ++n;
    }
    return n;
  }
};

TEST_F(GameScreenTest, TheLevelFileIsReportedWhenMissingShortOrUnreadableAndPlayGoesOn) {
  // Sizes: -1 no file, -2 a file that opens but fails to read, -3 no data folder at all.
  const std::pair<int, const char*> cases[] = {{-1, "READ FILE ERROR|"}, {38399, "READ FILE ERROR|"}, {38400, nullptr},
                                               {38401, nullptr},         {-2, "CAN'T READ FILE|"},    {-3, "Open file error|"}};
  for (const auto& [size, message] : cases) {
    testing_support::ScratchFolder folder;
    platform::setDataFolder(size == -3 ? folder.path() + "nowhere/" : folder.path());
    // Reading the process's own memory from address 0 fails with an I/O error.
    if (size == -2) std::filesystem::create_symlink("/proc/self/mem", folder.file("BrickMap.dat"));
    std::vector<std::uint8_t> bytes = levelFile({13});
    bytes.resize(static_cast<std::size_t>(std::max(size, 0)), 0);
    if (size >= 0) game_testing::writeBytes(folder.file("BrickMap.dat"), bytes);
    messages_.clear();
    game::GameScreen game;
    EXPECT_EQ(messages_, message ? std::vector<std::string>{message} : std::vector<std::string>{}) << size;
    game.setUpLevel();
    EXPECT_EQ(game::GameRig(game).cell(0, 0).kind, size >= 0 ? BrickKind::Stone : BrickKind::Empty) << size;
    if (size == -1) {
      EXPECT_EQ(std::filesystem::file_size(folder.file("BrickMap.dat")), 0u);
    }
  }
}

TEST_F(GameScreenTest, EachLevelTakesItsOwnSevenHundredAndSixtyEightBytes) {
  std::vector<std::uint8_t> bytes = levelFile();
  bytes[768 + 5 * 48 + 7 * 4] = 63;  // level 2, row 5, column 7
  bytes[38396] = 41;                 // level 50, row 15, column 11
  game::GameScreen& game = makeGame(bytes);
  for (auto [level, col, row, kind] :
       {std::tuple{2, 7, 5, BrickKind::Fire}, {50, 11, 15, BrickKind::Hide}, {51, 11, 15, BrickKind::Empty}}) {
    rig().setLevel(level);  // 51 is not in the map: an empty field
    game.setUpLevel();
    EXPECT_EQ(rig().cell(col, row).kind, kind) << level;
  }
  rig().setLevel(2);
  game.setUpLevel();
  EXPECT_EQ(rig().cell(7, 5).variant, 3);
  EXPECT_EQ(rig().brickAt(7, 5)->x(), px(140));
  EXPECT_EQ(rig().brickAt(7, 5)->y(), px(60));
}

TEST_F(GameScreenTest, SetUpLevelHidesItemsByColumnRowAndKindDrawsAndPutsOneBallOnTheResetPaddle) {
  game::GameScreen& game = makeGame(levelFile(std::vector<std::int32_t>(192, 10)));
  game.startNewGame();
  game.setUpLevel();
  game.setAttachment(Attachment::Guns);
  game.moveRight();
  game.update(10);
  game.passLevel();
  rig().setLevel(1);
  platform::seedRandom(777);
  game.setUpLevel();

  platform::seedRandom(777);
  const int wanted = platform::nextRandom() % 3 - 1 + 5;
  std::vector<std::int32_t> expected(192, 0);
  for (int i = 0; i < wanted; ++i) {
    std::size_t cell = 0;
    do {
      const int col = platform::nextRandom() % 12;
      cell = static_cast<std::size_t>(platform::nextRandom() % 16 * 12 + col);
    } while (expected[cell] != 0);
    expected[cell] = platform::nextRandom() % 14 + 1;
  }
  for (int i = 0; i < 192; ++i) EXPECT_EQ(rig().cell(i % 12, i / 12).hiddenItem, expected[static_cast<std::size_t>(i)]) << i;
  EXPECT_EQ(std::tuple(rig().paddle().x(), rig().paddle().velocity(), rig().paddle().attachment(), game.isLevelPassed()),
            std::tuple(px(90), 0, Attachment::None, false));
  ASSERT_EQ(rig().paddle().restingBalls().size(), 1);
  EXPECT_EQ(std::pair(balls().at(0)->x(), balls().at(0)->y()), std::pair(px(120), px(274)));
}

TEST_F(GameScreenTest, ItemsHideOnlyInAliveBricksStableOnesIncluded) {
  std::vector<std::int32_t> cells(192, 0);
  cells[5] = 10;
  cells[100] = 62;
  makeGame(levelFile(cells)).setUpLevel();
  EXPECT_EQ(hiddenItems(), 2);  // fewer bricks than items: one in each

  cells.assign(192, 0);
  for (int i = 0; i < 10; ++i) cells[static_cast<std::size_t>(i * 7)] = 50;
  game::GameScreen& game = makeGame(levelFile(cells));
  game.startNewGame();
  game.setUpLevel();
  EXPECT_TRUE(hiddenItems() >= 4 && hiddenItems() <= 6);
  game.update(10);  // only Stable bricks: passed at once
  EXPECT_EQ(std::pair(game.isLevelPassed(), game.levelNumber()), std::pair(true, 2));
}

TEST_F(GameScreenTest, LivesAndLevelsEndTheGameAndANewGameStartsAfresh) {
  game::GameScreen& game = emptyField();
  rig().addFlyingBall(px(50), px(50), 0x100, 0x100, 0x4000, BallKind::Fire);
  rig().addItem(game::ItemKind::Guns, px(10), px(10), 0, 0);
  rig().setPaddleAttachment(Attachment::Guns);
  game.fire();
  game.loseLife();
  // A reset paddle with one new resting ball; shots and items stay.
  EXPECT_EQ(std::tuple(rig().lives(), rig().paddle().attachment(), rig().paddle().restingBalls().size(), rig().shots().size(),
                       rig().items().size()),
            std::tuple(2, Attachment::None, 1, 2, 1));
  EXPECT_EQ(std::pair(balls().size(), balls()[0]->kind()), std::pair(std::size_t{1}, BallKind::Normal));

  rig().setLives(1);
  game.addTenLives();
  game.loseLife();
  EXPECT_EQ(rig().livesDisplay().value(), 10);
  rig().setLives(1);
  rig().addFlyingBall(px(60), px(50), 0x100, 0x100, 0x4000, BallKind::Normal);
  rig().setPaddleX(px(20));
  game.loseLife();  // the last frame stays as it was
  EXPECT_EQ(std::tuple(game.isGameEnded(), rig().lives(), balls().size(), rig().paddle().x()),
            std::tuple(true, 0, std::size_t{2}, px(20)));

  game.startNewGame();
  rig().setLevel(3);
  game.passLevel();
  EXPECT_EQ(std::tuple(game.isLevelPassed(), game.isGameEnded(), game.levelNumber()), std::tuple(true, true, 4));
  shell::addScore(500);
  game.startNewGame();
  EXPECT_EQ(std::tuple(game.isGameEnded(), game.levelNumber(), rig().lives(), score()), std::tuple(false, 1, 3, 0u));

  // Counts set from outside stop at the ends of the range.
  rig().setLives(INT_MAX);
  game.addTenLives();
  game.extraLife();
  EXPECT_EQ(rig().lives(), INT_MAX);
  rig().setLives(INT_MIN);
  game.loseLife();
  EXPECT_EQ(std::tuple(game.isGameEnded(), rig().lives()), std::tuple(true, INT_MIN));
}

TEST_F(GameScreenTest, TheLastBallLostBreaksThePaddleAndTheLifeGoesWhenTheBreakUpEnds) {
  game::GameScreen& game = emptyField();
  rig().setCell(10, 0, 60);  // its explosion ends in the 64th update and takes the brick at (11, 0)
  const game::Ball normal(0, 0, 0, 0, 0x4000, BallKind::Normal);
  game.hitBrick(10, 0, &normal);
  rig().addFlyingBall(px(20), px(239), 0, 0x4000, 0x4000, BallKind::Normal);  // below y = 320 in the 33rd
  run(32);
  EXPECT_FALSE(rig().paddle().breaking());
  run(1);
  EXPECT_EQ(std::pair(balls().empty(), rig().paddle().breaking()), std::pair(true, true));
  run(30);
  EXPECT_EQ(std::tuple(rig().lives(), game.isLevelPassed()), std::tuple(3, false));
  run(1);  // the life is lost, then the level passed, in the same step
  EXPECT_EQ(std::tuple(rig().lives(), game.isLevelPassed()), std::tuple(2, true));
  EXPECT_EQ(balls().size(), 1u);
}

TEST_F(GameScreenTest, FallingBallsBounceOffThePaddleOrStickToItsPadsAndThePenHoldsIt) {
  game::GameScreen& game = emptyField();
  // The paddle spans 90 .. 150; the ball's centre counts, both ends included.
  for (int x : {84, 144, 145}) rig().addFlyingBall(px(x), px(272), 0, 0x4000, 0x4000, BallKind::Normal);
  run(1);
  EXPECT_TRUE(balls()[0]->vy() < 0 && balls()[1]->vy() < 0 && balls()[2]->vy() > 0);

  rig().clearBalls();
  rig().setPaddleAttachment(Attachment::StickyPads);
  rig().addFlyingBall(px(100), px(272), 0, 0x4000, 0x4000, BallKind::Normal);
  run(1);
  EXPECT_EQ(std::pair(balls()[0]->stuck(), balls()[0]->y()), std::pair(true, px(274)));
  game.fire();
  EXPECT_TRUE(!balls()[0]->stuck() && balls()[0]->vy() < 0 && rig().shots().empty());

  shell::process().penDown = true;
  shell::process().penX = px(90) + 0x5000;  // on the left end after one update: not strictly inside
  game.moveRight();
  run(1);
  EXPECT_EQ(rig().paddle().moveState(), game::MoveState::Right);
  shell::process().penX = rig().paddle().x() + px(1);
  run(1);
  EXPECT_EQ(rig().paddle().moveState(), game::MoveState::Stopped);
}

TEST_F(GameScreenTest, GunsFireInPairsUpToEightShotsThatLeaveTheTopAfter115Updates) {
  game::GameScreen& game = emptyField();
  rig().addRestingBall(px(138));  // leaves flat to the right, away from the shots
  rig().setPaddleAttachment(Attachment::Guns);
  game.fire();
  const auto shots = game_testing::listed(rig().shots());
  ASSERT_EQ(shots.size(), 2u);
  EXPECT_EQ(std::tuple(shots[0]->x(), shots[1]->x(), shots[1]->y()), std::tuple(px(90), px(145), px(276)));
  for (int i = 0; i < 3; ++i) game.fire();  // the third finds 6 in flight: two more
  EXPECT_EQ(rig().shots().size(), 8);
  game.fire();
  EXPECT_EQ(rig().shots().size(), 8);
  run(1);
  EXPECT_EQ(shots[0]->y(), px(273) + 0x8000);
  run(113);
  EXPECT_EQ(rig().shots().size(), 8);
  run(1);
  EXPECT_TRUE(rig().shots().empty());  // y + 10 below 0 after 115 updates

  rig().setPaddleX(0x7FC80000);  // its right end wraps past the largest Fixed
  game.fire();
  EXPECT_EQ(game_testing::listed(rig().shots())[1]->x(), 0x7FFF0000);

  emptyField();
  rig().setCell(4, 15, 10);  // over the left guns: the first left shot breaks it
  rig().addRestingBall(px(138));
  rig().setPaddleAttachment(Attachment::Guns);
  for (int i = 0; i < 4; ++i) game_->fire();
  for (int i = 0; i < 60 && rig().shots().size() == 8; ++i) run(1);
  EXPECT_EQ(std::pair(rig().shots().size(), rig().cell(4, 15).hitPoints), std::pair(7, 0));
  game_->fire();
  EXPECT_EQ(rig().shots().size(), 7);
}

TEST_F(GameScreenTest, ContinuingRestoresLevelLivesAndScoreOrStartsANewGame) {
  game::GameScreen& game = makeGame(levelFile());
  const std::string path = save_.file("AutoSave.dat");
  const auto load = [&] {
    game.loadSavedGame();
    EXPECT_EQ(rig().levelDisplay().value(), game.levelNumber());
    EXPECT_EQ(rig().livesDisplay().value(), rig().lives());
    return std::tuple(game.levelNumber(), rig().lives(), score());
  };
  const auto saved = [&] {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  EXPECT_EQ(load(), std::tuple(1, 3, 0u));  // no file: an empty one is left
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  rig().setLevel(2);
  rig().setLives(1);
  shell::process().scoreDisplay->setValue(840);
  game.saveGame();
  EXPECT_EQ(saved(), (std::vector<std::uint8_t>{2, 0, 0, 0, 1, 0, 0, 0, 0x48, 3, 0, 0}));
  EXPECT_EQ(load(), std::tuple(2, 1, 840u));
  game.resetSavedGame();
  EXPECT_EQ(saved(), (std::vector<std::uint8_t>{1, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(load(), std::tuple(1, 3, 0u));

  // A short file keeps the new-game values for what it lacks; a level the map does not hold
  // or a game without lives counts as none.
  // The score is unsigned: bytes that read as a negative number are a score past 2^31.
  const std::pair<std::vector<std::uint8_t>, std::tuple<int, int, std::uint32_t>> cases[] = {
      {{2, 0, 0, 0, 2, 0, 0, 0}, {2, 2, 0}},   {{2, 0, 0, 0, 2}, {2, 3, 0}},         {{0, 0, 0, 0, 3, 0, 0, 0}, {1, 3, 0}},
      {{51, 0, 0, 0, 3, 0, 0, 0}, {1, 3, 0}},  {{2, 0, 0, 0, 0, 0, 0, 0}, {1, 3, 0}}, {{2, 0, 0, 0, 0xFC, 0xFF, 0xFF, 0xFF}, {1, 3, 0}},
      {{2, 0, 0, 0, 2, 0, 0, 0, 0xF0, 0xFF, 0xFF, 0xFF}, {2, 2, 4294967280u}},
      {{2, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0x80}, {2, 2, 2147483648u}}};
  for (const auto& [bytes, expected] : cases) {
    game_testing::writeBytes(path, bytes);
    EXPECT_EQ(load(), expected) << bytes.size();
  }
}

// A continued game whose score is near the top of the 32-bit range once wrapped to a negative
// score at the next brick; now it stops at the top, and is saved so.
TEST_F(GameScreenTest, AScoreNearTheTopStopsThereInsteadOfWrapping) {
  game::GameScreen& game = makeGame(levelFile(std::vector<std::int32_t>(192, 10)));
  game_testing::writeBytes(save_.file("AutoSave.dat"), {1, 0, 0, 0, 3, 0, 0, 0, 0xF0, 0xFF, 0xFF, 0xFF});
  game.loadSavedGame();
  game.setUpLevel();
  EXPECT_EQ(score(), 4294967280u);
  rig().strikeCell(0, 0);
  EXPECT_EQ(score(), 4294967295u);
  rig().strikeCell(1, 0);
  EXPECT_EQ(score(), 4294967295u);
  game.saveGame();
  EXPECT_EQ(testing_support::readBytes(save_.file("AutoSave.dat")),
            (std::vector<std::uint8_t>{1, 0, 0, 0, 3, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
}

// Three crowded levels of every brick kind played for a long while by a simple autopilot that
// also presses every test key: the state must stay sound (run it under the sanitizers too).
TEST_F(GameScreenTest, LongPlayKeepsTheStateSound) {
  std::vector<std::int32_t> cells(3 * 192);
  std::uint32_t seed = 7;
  for (std::int32_t& cell : cells) {
    seed = seed * 1103515245u + 12345u;
    cell = (seed >> 16) % 100 < 30 ? 0 : static_cast<std::int32_t>(10 + (seed >> 16) % 100 % 60);
  }
  game::GameScreen& game = makeGame(levelFile(cells));
  gfx::Canvas canvas;
  platform::seedRandom(31337);
  game.startNewGame();
  game.setUpLevel();
  for (int step = 0; step < 30000; ++step) {
    const auto all = balls();
    const auto lowest = std::max_element(all.begin(), all.end(), [](auto* a, auto* b) { return a->y() < b->y(); });
    shell::process().penX = lowest != all.end() && step % 4000 < 3000 ? (*lowest)->centreX() : shell::process().penX;
    game.steerToPen();
    if (step % 40 == 0) game.fire();
    if (step % 997 == 0) game.setAllBallKinds(static_cast<BallKind>(step / 997 % 3));
    if (step % 1231 == 0) game.setAttachment(static_cast<Attachment>(step / 1231 % 3));
    if (step % 499 == 0) game.applyItem(game::Item(0, 0, 0, 0, static_cast<game::ItemKind>(step / 499 % 14 + 1)));
    game.update(10);
    game.draw(canvas);
    ASSERT_TRUE(rig().paddle().x() >= 0 && rig().paddle().right() <= px(240) && rig().shots().size() <= 8);
    if (game.isGameEnded() || game.isLevelPassed()) {
      if (game.isGameEnded()) game.startNewGame();
      game.setUpLevel();
    }
  }
}

}  // namespace
