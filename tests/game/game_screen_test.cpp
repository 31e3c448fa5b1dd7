// The game screen: the level file, setting up a level, lives and levels, the saved game,
// firing, and the order in which a frame is drawn.
#include "game/game_screen.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <climits>
#include <iterator>

#include "app/process_state.hpp"
#include "platform/files.hpp"
#include "platform/random.hpp"
#include "tests/game/game_fixture.hpp"

namespace {

using game::Attachment;
using game::BallKind;
using game::BrickKind;
using game_testing::levelFile;
using game_testing::px;
using game_testing::writeBytes;

std::vector<std::uint8_t> readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class LevelFileTest : public game_testing::GameFixture {};

TEST_F(LevelFileTest, ReportsAMissingShortOrUnreadableFileAndPlaysOn) {
  struct Case {
    const char* name;
    int bytes;  // -1: no file, -2: a file that opens but fails to read, -3: no data folder at all
    std::vector<std::string> messages;
  };
  const Case cases[] = {{"missing", -1, {"READ FILE ERROR|"}},
                        {"one byte short", 38399, {"READ FILE ERROR|"}},
                        {"exact", 38400, {}},
                        {"one byte long", 38401, {}},
                        {"unreadable", -2, {"CAN'T READ FILE|"}},
                        {"cannot open", -3, {"Open file error|"}}};
  for (const Case& c : cases) {
    testing_support::ScratchFolder folder;
    platform::setDataFolder(c.bytes == -3 ? folder.path() + "nowhere/" : folder.path());
    // Reading the process's own memory from address 0 fails with an I/O error.
    if (c.bytes == -2) std::filesystem::create_symlink("/proc/self/mem", folder.file("BrickMap.dat"));
    if (c.bytes >= 0) {
      std::vector<std::uint8_t> bytes = levelFile({13});
      bytes.resize(static_cast<std::size_t>(c.bytes), 0);
      writeBytes(folder.file("BrickMap.dat"), bytes);
    }
    messages_.clear();
    game::GameScreen game;
    EXPECT_EQ(messages_, c.messages) << c.name;
    game.setUpLevel();
    EXPECT_EQ(game.cell(0, 0).kind, c.bytes >= 0 ? BrickKind::Stone : BrickKind::Empty) << c.name;
    if (c.bytes == -1) {
      EXPECT_TRUE(std::filesystem::exists(folder.file("BrickMap.dat")));
      EXPECT_EQ(std::filesystem::file_size(folder.file("BrickMap.dat")), 0u);
    }
  }
}

TEST_F(LevelFileTest, EachLevelHasItsOwnSevenHundredAndSixtyEightBytes) {
  std::vector<std::uint8_t> bytes = levelFile();
  const std::size_t at = 768 + 5 * 48 + 7 * 4;  // level 2, row 5, column 7
  bytes[at] = 63;
  bytes[38396] = 0x29;  // level 50, row 15, column 11: 41 is a Hide brick
  game::GameScreen& game = makeGame(&bytes);
  game.setLevel(2);
  game.setUpLevel();
  EXPECT_EQ(game.cell(7, 5).kind, BrickKind::Fire);
  EXPECT_EQ(game.cell(7, 5).variant, 3);
  EXPECT_EQ(game.brickAt(7, 5)->x(), px(140));
  EXPECT_EQ(game.brickAt(7, 5)->y(), px(60));
  game.setLevel(50);
  game.setUpLevel();
  EXPECT_EQ(game.cell(11, 15).kind, BrickKind::Hide);
  game.setLevel(51);  // not in the map: an empty field rather than a read past it
  game.setUpLevel();
  EXPECT_EQ(game.cell(11, 15).kind, BrickKind::Empty);
}

class SetUpLevelTest : public game_testing::GameFixture {
 protected:
  int hiddenCount(const game::GameScreen& game) const {
    int n = 0;
    for (int row = 0; row < 16; ++row) {
      for (int col = 0; col < 12; ++col) {
        if (game.cell(col, row).hiddenItem != 0) {
          EXPECT_NE(game.cell(col, row).hitPoints, 0);
          ++n;
        }
      }
    }
    return n;
  }
};

TEST_F(SetUpLevelTest, HidesItemsInTheOrderOfTheDrawsAndPutsOneBallOnTheResetPaddle) {
  const std::vector<std::int32_t> full(192, 10);
  const std::vector<std::uint8_t> bytes = levelFile(full);
  game::GameScreen& game = makeGame(&bytes);
  game.startNewGame();
  game.setUpLevel();
  game.moveRight();
  game.update(10);
  platform::seedRandom(777);
  game.setUpLevel();

  platform::seedRandom(777);
  const int wanted = platform::nextRandom() % 3 - 1 + 5;
  std::vector<std::int32_t> expected(192, 0);
  for (int i = 0; i < wanted; ++i) {
    int col = 0;
    int row = 0;
    do {
      col = platform::nextRandom() % 12;
      row = platform::nextRandom() % 16;
    } while (expected[static_cast<std::size_t>(row * 12 + col)] != 0);
    expected[static_cast<std::size_t>(row * 12 + col)] = platform::nextRandom() % 14 + 1;
  }
  for (int row = 0; row < 16; ++row) {
    for (int col = 0; col < 12; ++col) EXPECT_EQ(game.cell(col, row).hiddenItem, expected[static_cast<std::size_t>(row * 12 + col)]);
  }
  EXPECT_EQ(hiddenCount(game), wanted);

  EXPECT_EQ(game.paddle().x(), px(90));
  EXPECT_EQ(game.paddle().velocity(), 0);
  const auto balls = ballList();
  ASSERT_EQ(balls.size(), 1u);
  EXPECT_EQ(balls[0]->x(), px(120));
  EXPECT_EQ(balls[0]->y(), px(274));
  EXPECT_TRUE(balls[0]->stuck());
  EXPECT_EQ(game.paddle().restingBalls().size(), 1);
  EXPECT_FALSE(game.isLevelPassed());
}

TEST_F(SetUpLevelTest, ALevelWithFewerBricksThanItemsGetsOneItemPerBrick) {
  std::vector<std::int32_t> cells(192, 0);
  cells[5] = 10;
  cells[100] = 62;
  const std::vector<std::uint8_t> bytes = levelFile(cells);
  game::GameScreen& game = makeGame(&bytes);
  game.setUpLevel();
  EXPECT_EQ(hiddenCount(game), 2);
  EXPECT_NE(game.cell(5, 0).hiddenItem, 0);
  EXPECT_NE(game.cell(4, 8).hiddenItem, 0);

  const std::vector<std::uint8_t> empty = levelFile();
  makeGame(&empty).setUpLevel();
  EXPECT_EQ(hiddenCount(*game_), 0);
}

TEST_F(SetUpLevelTest, ALevelOfOnlyStableBricksHidesItsItemsInThemAndIsPassedAtOnce) {
  std::vector<std::int32_t> cells(192, 0);
  for (int i = 0; i < 10; ++i) cells[static_cast<std::size_t>(i * 7)] = 50;
  const std::vector<std::uint8_t> bytes = levelFile(cells);
  game::GameScreen& game = makeGame(&bytes);
  game.startNewGame();
  game.setUpLevel();
  const int n = hiddenCount(game);
  EXPECT_GE(n, 4);
  EXPECT_LE(n, 6);
  game.update(10);
  EXPECT_TRUE(game.isLevelPassed());
  EXPECT_EQ(game.levelNumber(), 2);
}

class LivesAndLevelsTest : public game_testing::GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    emptyField().setCell(11, 0, 10);
  }
};

TEST_F(LivesAndLevelsTest, LosingTheLastLifeEndsTheGameAndLeavesTheLastFrameAlone) {
  game::GameScreen& game = *game_;
  game.setLives(1);
  game.addFlyingBall(px(50), px(50), 0x100, 0x100, 0x4000, BallKind::Fire);
  game.addFlyingBall(px(60), px(50), 0x100, 0x100, 0x4000, BallKind::Normal);
  game.setPaddleX(px(20));
  game.loseLife();
  EXPECT_TRUE(game.isGameEnded());
  EXPECT_EQ(game.lives(), 0);
  EXPECT_EQ(ballList().size(), 2u);
  EXPECT_EQ(game.paddle().x(), px(20));
}

TEST_F(LivesAndLevelsTest, LosingALifeResetsThePaddleAndBallsButNotShotsAndItems) {
  game::GameScreen& game = *game_;
  game.addFlyingBall(px(50), px(50), 0x100, 0x100, 0x4000, BallKind::Fire);
  game.addItem(game::ItemKind::Guns, px(10), px(10), 0, 0);
  game.setPaddleAttachment(Attachment::Guns);
  game.fire();
  game.loseLife();
  EXPECT_EQ(game.lives(), 2);
  EXPECT_FALSE(game.isGameEnded());
  const auto balls = ballList();
  ASSERT_EQ(balls.size(), 1u);
  EXPECT_TRUE(balls[0]->stuck());
  EXPECT_EQ(balls[0]->kind(), BallKind::Normal);
  EXPECT_EQ(game.paddle().attachment(), Attachment::None);
  EXPECT_EQ(game.shots().size(), 2);
  EXPECT_EQ(game.items().size(), 1);
}

TEST_F(LivesAndLevelsTest, TenMoreLivesOnTheLastLifeKeepTheGameGoing) {
  game::GameScreen& game = *game_;
  game.setLives(1);
  game.addTenLives();
  game.loseLife();
  EXPECT_EQ(game.lives(), 10);
  EXPECT_EQ(game.livesDisplay().value(), 10);
  EXPECT_FALSE(game.isGameEnded());
}

TEST_F(LivesAndLevelsTest, PassingTheThirdLevelEndsTheGameAndANewGameStartsAfresh) {
  game::GameScreen& game = *game_;
  game.setLevel(3);
  app::addScore(500);
  game.passLevel();
  EXPECT_TRUE(game.isLevelPassed());
  EXPECT_TRUE(game.isGameEnded());
  EXPECT_EQ(game.levelNumber(), 4);
  game.startNewGame();
  EXPECT_FALSE(game.isGameEnded());
  EXPECT_EQ(game.levelNumber(), 1);
  EXPECT_EQ(game.lives(), 3);
  EXPECT_EQ(game.score(), 0);
}

TEST_F(LivesAndLevelsTest, TheLastBallLostBreaksThePaddleAndCostsALifeAfterTheBreakUp) {
  game::GameScreen& game = *game_;
  game.addFlyingBall(px(20), px(318), 0, 0x4000, 0x4000, BallKind::Normal);
  run(1);
  EXPECT_TRUE(ballList().empty());
  EXPECT_TRUE(game.paddle().breaking());
  run(30);
  EXPECT_EQ(game.lives(), 3);
  run(1);
  EXPECT_EQ(game.lives(), 2);
  EXPECT_EQ(ballList().size(), 1u);
}

class PlayTest : public game_testing::GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    emptyField().setCell(11, 0, 10);
  }
  gfx::Canvas canvas_;
};

TEST_F(PlayTest, FallingBallsBounceOffThePaddleOrStickToItsPads) {
  game::GameScreen& game = *game_;
  game.addFlyingBall(px(100), px(272), 0, 0x4000, 0x4000, BallKind::Normal);  // centre 106, over the paddle
  game.addFlyingBall(px(160), px(272), 0, 0x4000, 0x4000, BallKind::Normal);  // centre 166: beside it
  run(1);
  auto balls = ballList();
  EXPECT_LT(balls[0]->vy(), 0);
  EXPECT_GT(balls[1]->vy(), 0);

  game.clearBalls();
  game.setPaddleAttachment(Attachment::StickyPads);
  game.addFlyingBall(px(100), px(272), 0, 0x4000, 0x4000, BallKind::Normal);
  run(1);
  balls = ballList();
  EXPECT_TRUE(balls[0]->stuck());
  EXPECT_EQ(balls[0]->y(), px(274));
  game.fire();
  EXPECT_FALSE(balls[0]->stuck());
  EXPECT_LT(balls[0]->vy(), 0);
  EXPECT_TRUE(game.shots().empty());
}

TEST_F(PlayTest, GunsFireInPairsUpToEightShotsThatLeaveAfter115Updates) {
  game::GameScreen& game = *game_;
  game.addRestingBall(px(138));  // leaves flat to the right, away from the shots
  game.setPaddleAttachment(Attachment::Guns);
  game.fire();
  std::vector<const game::Shot*> shots(game.shots().begin(), game.shots().end());
  ASSERT_EQ(shots.size(), 2u);
  EXPECT_EQ(shots[0]->x(), px(90));
  EXPECT_EQ(shots[1]->x(), px(145));
  EXPECT_EQ(shots[0]->y(), px(276));
  game.fire();
  game.fire();
  game.fire();  // 6 in flight: two more
  EXPECT_EQ(game.shots().size(), 8);
  game.fire();
  EXPECT_EQ(game.shots().size(), 8);
  run(1);
  EXPECT_EQ((*game.shots().begin())->y(), px(273) + 0x8000);
  run(113);
  EXPECT_EQ(game.shots().size(), 8);
  run(1);
  EXPECT_TRUE(game.shots().empty());
}

TEST_F(PlayTest, WithSevenShotsInFlightFireShootsNothing) {
  game::GameScreen& game = *game_;
  game.addRestingBall(px(138));
  game.setCell(4, 15, 10);  // over the left guns at x = 90: the first left shot breaks it
  game.setPaddleAttachment(Attachment::Guns);
  for (int i = 0; i < 4; ++i) game.fire();
  int updates = 0;
  while (game.shots().size() == 8 && updates < 60) {
    run(1);
    ++updates;
  }
  EXPECT_EQ(game.shots().size(), 7);
  EXPECT_EQ(game.cell(4, 15).hitPoints, 0);
  game.fire();
  EXPECT_EQ(game.shots().size(), 7);
}

TEST_F(PlayTest, HoldingThePenOnThePaddleStopsIt) {
  game::GameScreen& game = *game_;
  game.addRestingBall(px(110));
  app::process().penDown = true;
  app::process().penX = px(90);  // on the left end: not strictly inside
  game.moveRight();
  run(1);
  EXPECT_EQ(game.paddle().moveState(), game::MoveState::Right);
  app::process().penX = px(100);
  run(1);
  EXPECT_EQ(game.paddle().moveState(), game::MoveState::Stopped);
  app::process().penX = px(200);
  game.steerToPen();
  EXPECT_EQ(game.paddle().x(), px(170));
  EXPECT_EQ(ballList()[0]->x(), px(190));  // 20 pixels from the paddle's end, as it was
}

class SavedGameTest : public game_testing::GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    const std::vector<std::uint8_t> bytes = levelFile();
    makeGame(&bytes);
  }
  std::string savedPath() const { return save_.file("AutoSave.dat"); }
  void writeSaved(std::vector<std::int32_t> values) {
    std::vector<std::uint8_t> bytes;
    for (std::int32_t v : values) {
      for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
    }
    writeBytes(savedPath(), bytes);
  }
  void expectGame(std::int32_t level, std::int32_t lives, std::int32_t score) {
    EXPECT_EQ(game_->levelNumber(), level);
    EXPECT_EQ(game_->lives(), lives);
    EXPECT_EQ(game_->score(), score);
    EXPECT_EQ(game_->levelDisplay().value(), level);
    EXPECT_EQ(game_->livesDisplay().value(), lives);
  }
};

TEST_F(SavedGameTest, WithoutAFileContinuingStartsANewGameAndLeavesAnEmptyFile) {
  game_->loadSavedGame();
  expectGame(1, 3, 0);
  EXPECT_TRUE(std::filesystem::exists(savedPath()));
  EXPECT_EQ(std::filesystem::file_size(savedPath()), 0u);
}

TEST_F(SavedGameTest, AfterAnEndedGameTheFileHoldsANewGame) {
  game_->setLevel(3);
  game_->resetSavedGame();
  EXPECT_EQ(readAll(savedPath()), (std::vector<std::uint8_t>{1, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0}));
  game_->loadSavedGame();
  expectGame(1, 3, 0);
}

TEST_F(SavedGameTest, AGameClosedDuringPlayContinuesWithItsLevelLivesAndScore) {
  game_->setLevel(2);
  game_->setLives(1);
  app::process().scoreDisplay->setValue(840);
  game_->saveGame();
  EXPECT_EQ(readAll(savedPath()), (std::vector<std::uint8_t>{2, 0, 0, 0, 1, 0, 0, 0, 0x48, 3, 0, 0}));
  const std::vector<std::uint8_t> bytes = levelFile();
  makeGame(&bytes);
  game_->loadSavedGame();
  expectGame(2, 1, 840);
}

TEST_F(SavedGameTest, AFileThatCannotBeContinuedCountsAsNoSavedGame) {
  for (const std::vector<std::int32_t>& values : {std::vector<std::int32_t>{0, 3, 10}, {51, 3, 10}, {2, 0, 10},
                                                  {2, -4, 10}}) {
    writeSaved(values);
    game_->loadSavedGame();
    expectGame(1, 3, 0);
  }
  writeSaved({2, 2});
  game_->loadSavedGame();
  expectGame(2, 2, 0);
}

class DrawOrderTest : public game_testing::GameFixture {
 protected:
  static gfx::Surface filled(int width, int height, std::uint16_t value) {
    gfx::Surface s;
    s.width = width;
    s.height = height;
    s.pixels.assign(static_cast<std::size_t>(width * height), value);
    return s;
  }
};

TEST_F(DrawOrderTest, AnExplosionLiesOverTheBricksBelowItAndAnItemOverBoth) {
  constexpr std::uint16_t kExplosion = 0x1111, kStone = 0x2222, kItem = 0x3333, kBall = 0x4444;
  auto& assets = app::process().assets;
  assets.blastPicture = filled(384, 192, kExplosion);
  assets.stonePicture = filled(20, 120, kStone);
  assets.firePicture = filled(60, 120, 0x5555);
  assets.itemPicture = filled(210, 60, kItem);
  assets.ballPicture = filled(12, 36, kBall);
  game::GameScreen& game = emptyField();
  game.setCell(5, 3, 60);
  game.setCell(0, 10, 10);
  game.addRestingBall(px(110));
  game.strikeCell(5, 3);  // as a shot strikes it: the Fire brick explodes
  game.setCell(5, 4, 10);
  game.addFlyingBall(px(2), px(122), 0, 0, 0x4000, BallKind::Normal);  // under the brick at (0, 10)
  game.addItem(game::ItemKind::Guns, px(105), px(50), 0, 0);
  gfx::Canvas canvas;
  game.draw(canvas);
  EXPECT_EQ(canvas.at(101, 49), kExplosion);  // brick (5, 4) under the explosion
  EXPECT_EQ(canvas.at(110, 55), kItem);
  EXPECT_EQ(canvas.at(90, 62), kExplosion);
  EXPECT_EQ(canvas.at(5, 125), kStone);  // the ball lies under the brick
  EXPECT_EQ(canvas.at(5, 133), kBall);
}

}  // namespace

namespace {

// Plays three crowded levels of every brick kind for a long while with a simple autopilot and
// every test key, checking that the state stays sound (run it under the sanitizers too).
TEST_F(PlayTest, LongPlayKeepsTheStateSound) {
  std::vector<std::int32_t> cells(3 * 192);
  std::uint32_t seed = 7;
  for (std::int32_t& cell : cells) {
    seed = seed * 1103515245u + 12345u;
    const std::uint32_t pick = (seed >> 16) % 100;
    cell = pick < 30 ? 0 : static_cast<std::int32_t>(10 + pick % 60);
  }
  const std::vector<std::uint8_t> bytes = levelFile(cells);
  makeGame(&bytes);
  game::GameScreen& game = *game_;
  platform::seedRandom(31337);
  game.startNewGame();
  game.setUpLevel();
  for (int step = 0; step < 30000; ++step) {
    const game::Ball* lowest = nullptr;
    for (const game::Ball* ball : game.balls()) {
      if (lowest == nullptr || ball->y() > lowest->y()) lowest = ball;
    }
    if (lowest != nullptr && step % 4000 < 3000) {
      app::process().penX = lowest->centreX();
      game.steerToPen();
    }
    if (step % 40 == 0) game.fire();
    if (step % 997 == 0) game.setAllBallKinds(static_cast<BallKind>(step / 997 % 3));
    if (step % 1231 == 0) game.setAttachment(static_cast<Attachment>(step / 1231 % 3));
    if (step % 499 == 0) game.applyItem(game::Item(0, 0, 0, 0, static_cast<game::ItemKind>(step / 499 % 14 + 1)));
    game.update(10);
    game.draw(canvas_);
    ASSERT_GE(game.paddle().x(), 0);
    ASSERT_LE(game.paddle().right(), px(240));
    ASSERT_LE(game.shots().size(), 8);
    ASSERT_LT(game.balls().size(), 5000);
    if (game.isGameEnded()) {
      game.startNewGame();
      game.setUpLevel();
    } else if (game.isLevelPassed()) {
      game.setUpLevel();
    }
  }
}

}  // namespace

namespace {

TEST_F(PlayTest, ExtremePaddlePositionsAndLifeCountsNeverOverflow) {
  game::GameScreen& game = *game_;
  game.setPaddleAttachment(Attachment::Guns);
  game.setPaddleX(0x7FC80000);  // its right end wraps past the largest Fixed
  game.fire();
  ASSERT_EQ(game.shots().size(), 2);
  EXPECT_EQ(std::vector<const game::Shot*>(game.shots().begin(), game.shots().end())[1]->x(), 0x7FFF0000);

  game.setLives(INT32_MAX);
  game.addTenLives();
  EXPECT_EQ(game.lives(), INT32_MAX);
  game.applyItem(game::Item(0, 0, 0, 0, game::ItemKind::ExtraLife));
  EXPECT_EQ(game.lives(), INT32_MAX);
  game.setLives(INT32_MIN);
  game.loseLife();
  EXPECT_TRUE(game.isGameEnded());
  EXPECT_EQ(game.lives(), INT32_MIN);
}

}  // namespace
