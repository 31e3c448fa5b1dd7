// The ball against the brick field: which bricks a ball touches, which it hits and how it
// bounces, and what each striker does to each kind of brick.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/process_state.hpp"
#include "tests/game/game_fixture.hpp"

namespace {

using game::BallKind;
using game::BrickKind;
using game_testing::px;

struct Cell {
  int col;
  int row;
};

struct CollisionCase {
  std::string name;
  int x, y;               // ball corner, whole pixels
  int vx, vy;             // signs of the velocity: -1, 0 or 1
  std::vector<Cell> alive;  // Metal bricks: a hit leaves 1 hit point
  std::vector<Cell> hit;
  int expectVx, expectVy;  // signs afterwards
};

// The four single-corner cases use the ball at one of four places, all with L = 1, R = 2,
// T = 14, B = 15, that differ in the cell of the ball's centre (Q, M).
constexpr int kQR = 35, kQL = 30;  // Q = R, Q = L
constexpr int kMB = 175, kMT = 170;  // M = B, M = T
const Cell kTL{1, 14}, kTR{2, 14}, kBL{1, 15}, kBR{2, 15};

std::vector<CollisionCase> cases() {
  return {
      {"WorkedUpRightIntoTopLeft", 35, 175, 1, -1, {kTL}, {kTL}, 1, 1},
      {"RightOfColumnElevenTouchesNothing", 228, 100, 1, -1, {{11, 8}, {11, 9}}, {}, -1, -1}  /* the wall turns it */,
      {"BottomRowSixteenTouchesNothing", 100, 180, 1, -1, {{5, 15}}, {}, 1, -1},
      {"TwoTopCornersHitTheCentreColumn", 35, 20, 1, -1, {{1, 1}, {2, 1}}, {{2, 1}}, 1, 1},
      {"TwoTopCornersCentreInTheLeftColumn", 30, 20, -1, -1, {{1, 1}, {2, 1}}, {{1, 1}}, -1, 1},
      {"TwoBottomCorners", 35, 20, 1, 1, {{1, 2}, {2, 2}}, {{2, 2}}, 1, -1},
      {"TwoLeftCornersHitTheCentreRow", 35, 20, -1, 1, {{1, 1}, {1, 2}}, {{1, 2}}, 1, 1},
      {"TwoRightCorners", 35, 16, 1, 1, {{2, 1}, {2, 2}}, {{2, 1}}, -1, 1},
      {"FallingDiagonalHitsBoth", 35, 20, 1, 1, {{1, 1}, {2, 2}}, {{1, 1}, {2, 2}}, -1, -1},
      {"AllFourHitOnlyTheFallingDiagonal", 35, 20, 1, 1, {{1, 1}, {2, 1}, {1, 2}, {2, 2}}, {{1, 1}, {2, 2}}, -1, -1},
      {"RisingDiagonalWithAThirdCorner", 35, 20, 1, 1, {{2, 1}, {1, 2}, {1, 1}}, {{2, 1}, {1, 2}}, -1, -1},
      {"RisingDiagonalHitsBoth", 35, 20, 1, -1, {{2, 1}, {1, 2}}, {{2, 1}, {1, 2}}, -1, 1},
      {"RisingDiagonalLeavesTheThirdCorner", 35, 20, 1, -1, {{2, 1}, {1, 2}, {2, 2}}, {{2, 1}, {1, 2}}, -1, 1},
      {"WithinOneColumn", 21, 20, 1, -1, {{1, 1}}, {{1, 1}}, 1, 1},

      {"TLMovingDownLeft", kQR, kMB, -1, 1, {kTL}, {kTL}, 1, 1},
      {"TLMovingDownRightReflectsNothing", kQR, kMB, 1, 1, {kTL}, {kTL}, 1, 1},
      {"TLIntoCornerCentreRB", kQR, kMB, -1, -1, {kTL}, {kTL}, 1, 1},
      {"TLIntoCornerCentreLB", kQL, kMB, 0, -1, {kTL}, {kTL}, 0, 1},
      {"TLIntoCornerCentreRT", kQR, kMT, -1, 0, {kTL}, {kTL}, 1, 0},
      {"TLIntoCornerCentreLT", kQL, kMT, -1, -1, {kTL}, {kTL}, -1, -1},

      {"TRMovingDownRight", kQR, kMB, 1, 1, {kTR}, {kTR}, -1, 1},
      {"TRMovingUpLeft", kQR, kMB, -1, -1, {kTR}, {kTR}, -1, 1},
      {"TRMovingDownLeftReflectsNothing", kQR, kMB, -1, 1, {kTR}, {kTR}, -1, 1},
      {"TRIntoCornerCentreLB", kQL, kMB, 1, -1, {kTR}, {kTR}, -1, 1},
      {"TRIntoCornerCentreLT", kQL, kMT, 1, -1, {kTR}, {kTR}, -1, -1},
      {"TRIntoCornerCentreRB", kQR, kMB, 1, -1, {kTR}, {kTR}, 1, 1},
      {"TRIntoCornerCentreRT", kQR, kMT, 1, -1, {kTR}, {kTR}, 1, -1},

      {"BLMovingDownRight", kQR, kMB, 1, 1, {kBL}, {kBL}, 1, -1},
      {"BLMovingUpLeft", kQR, kMB, -1, -1, {kBL}, {kBL}, 1, -1},
      {"BLMovingUpRightReflectsNothing", kQR, kMB, 1, -1, {kBL}, {kBL}, 1, -1},
      {"BLIntoCornerCentreRT", kQR, kMT, -1, 1, {kBL}, {kBL}, 1, -1},
      {"BLIntoCornerCentreRB", kQR, kMB, -1, 1, {kBL}, {kBL}, 1, 1},
      {"BLIntoCornerCentreLT", kQL, kMT, -1, 1, {kBL}, {kBL}, -1, -1},
      {"BLStillXIntoCornerCentreLT", kQL, kMT, 0, 1, {kBL}, {kBL}, 0, -1},
      {"BLIntoCornerCentreLB", kQL, kMB, -1, 1, {kBL}, {kBL}, -1, 1},

      {"BRMovingDownLeft", kQR, kMB, -1, 1, {kBR}, {kBR}, -1, -1},
      {"BRMovingUpRight", kQR, kMB, 1, -1, {kBR}, {kBR}, -1, -1},
      {"BRMovingUpLeftReflectsNothing", kQR, kMB, -1, -1, {kBR}, {kBR}, -1, -1},
      {"BRIntoCornerCentreLT", kQL, kMT, 1, 1, {kBR}, {kBR}, -1, -1},
      {"BRIntoCornerCentreRT", kQR, kMT, 1, 1, {kBR}, {kBR}, 1, -1},
      {"BRIntoCornerCentreLB", kQL, kMB, 1, 1, {kBR}, {kBR}, -1, 1},
      {"BRIntoCornerCentreRB", kQR, kMB, 1, 1, {kBR}, {kBR}, 1, 1},
      {"BRStraightDownReflectsNothing", kQL, kMT, 0, 1, {kBR}, {kBR}, 0, 1},
  };
}

void PrintTo(const CollisionCase& c, std::ostream* out) { *out << c.name; }

class CollisionTest : public game_testing::GameFixture, public ::testing::WithParamInterface<CollisionCase> {};

int sign(Fixed v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

TEST_P(CollisionTest, HitsAndReflectsAsTheCornerRulesSay) {
  const CollisionCase& c = GetParam();
  game::GameScreen& game = emptyField();
  for (const Cell& cell : c.alive) game.setCell(cell.col, cell.row, 20);
  game.setCell(11, 0, 10);  // keeps the level going
  game.addFlyingBall(px(c.x), px(c.y), c.vx * 0x3000, c.vy * 0x3000, 0x4000, BallKind::Normal);
  game.update(0);  // the ball does not move: only the collision acts

  const game::Ball& ball = *ballList().at(0);
  EXPECT_EQ(sign(ball.vx()), c.expectVx);
  EXPECT_EQ(sign(ball.vy()), c.expectVy);
  for (const Cell& cell : c.alive) {
    bool expectedHit = false;
    for (const Cell& h : c.hit) expectedHit = expectedHit || (h.col == cell.col && h.row == cell.row);
    EXPECT_EQ(game.cell(cell.col, cell.row).hitPoints, expectedHit ? 1 : 2) << cell.col << "," << cell.row;
  }
  EXPECT_EQ(game.effectCount(), static_cast<std::int32_t>(c.hit.size()));
}

INSTANTIATE_TEST_SUITE_P(Corners, CollisionTest, ::testing::ValuesIn(cases()),
                         [](const auto& param) { return param.param.name; });

class HitDispatchTest : public game_testing::GameFixture {};

TEST_F(HitDispatchTest, EveryStrikerAgainstEveryKind) {
  enum Striker { Shot, Normal, Fire, Pierce };
  struct Case {
    Striker striker;
    std::int32_t value;  // level-map value of the struck brick at (5, 5)
    std::int32_t hitPointsAfter;
    bool neighbourDestroyed;  // the Stone brick at (6, 5)
    std::int32_t effects;     // Blasts and Sparks made
    int hitSounds;
    int blastSounds;
    std::int32_t score;
  };
  const Case cases[] = {
      {Shot, 10, 0, false, 1, 1, 0, 20},      {Shot, 20, 1, false, 1, 1, 0, 0},
      {Shot, 30, 2, false, 1, 1, 0, 0},       {Shot, 40, 1, false, 1, 1, 0, 0},
      {Shot, 50, 99, false, 1, 1, 0, 0},      {Shot, 60, 0, true, 1, 0, 1, 80 + 20},
      {Normal, 10, 0, false, 1, 1, 0, 20},    {Normal, 30, 2, false, 1, 1, 0, 0},
      {Normal, 60, 0, false, 0, 0, 1, 80},    {Fire, 20, 0, true, 2, 0, 0, 40 + 20},
      {Fire, 50, 0, true, 2, 0, 0, 90 + 20},  {Fire, 60, 0, true, 1, 0, 1, 80 + 20},
      {Pierce, 50, 0, false, 1, 0, 0, 90},    {Pierce, 30, 0, false, 1, 0, 0, 60},
      {Pierce, 60, 0, false, 0, 0, 1, 80},
  };
  game_testing::writeBytes(data_.file("blast.wav"), game_testing::waveFile(0));
  for (const Case& c : cases) {
    app::process().assets.blastSound = std::make_unique<sound::SoundClip>(data_.file("blast.wav"), false);
    game::GameScreen& game = emptyField();
    app::process().scoreDisplay->setValue(0);
    game.setCell(5, 5, c.value);
    game.setCell(6, 5, 10);
    const game::Ball ball(0, 0, 0, 0, 0x4000, static_cast<BallKind>(c.striker - 1));
    game.hitBrick(5, 5, c.striker == Shot ? nullptr : &ball);
    const std::string what = std::to_string(c.striker) + " on " + std::to_string(c.value);
    EXPECT_EQ(game.cell(5, 5).hitPoints, c.hitPointsAfter) << what;
    EXPECT_EQ(game.cell(6, 5).hitPoints == 0, c.neighbourDestroyed) << what;
    EXPECT_EQ(game.effectCount(), c.effects) << what;
    EXPECT_EQ(game.hitSound()->plays(), c.hitSounds) << what;
    EXPECT_EQ(app::process().assets.blastSound->plays(), c.blastSounds) << what;
    EXPECT_EQ(game.score(), c.score) << what;
  }
}

TEST_F(HitDispatchTest, APierceBallGoesStraightThroughDestroyingWhatItTouches) {
  game::GameScreen& game = emptyField();
  for (int row = 2; row <= 6; ++row) game.setCell(5, row, 50);
  game.setCell(11, 0, 10);
  game.addFlyingBall(px(104), px(100), 0, -0x4000, 0x4000, BallKind::Pierce);
  run(30);
  for (int row = 2; row <= 6; ++row) EXPECT_EQ(game.cell(5, row).hitPoints, 0) << row;
  EXPECT_EQ(ballList().at(0)->vy(), -0x4000);
  EXPECT_EQ(ballList().at(0)->vx(), 0);
}

TEST_F(HitDispatchTest, FireBricksSetEachOtherOffOneExplosionApart) {
  game::GameScreen& game = emptyField();
  game.setCell(2, 2, 60);
  game.setCell(3, 2, 60);
  game.setCell(4, 2, 60);
  game.setCell(6, 2, 10);  // two cells away: never reached
  game.addRestingBall(px(100));
  const game::Ball normal(0, 0, 0, 0, 0x4000, BallKind::Normal);
  game.hitBrick(2, 2, &normal);
  EXPECT_EQ(game.cell(2, 2).hitPoints, 0);
  run(63);
  EXPECT_EQ(game.cell(3, 2).hitPoints, 1);
  run(1);
  EXPECT_EQ(game.cell(3, 2).hitPoints, 0);
  EXPECT_EQ(game.cell(4, 2).hitPoints, 1);
  run(63);
  EXPECT_EQ(game.cell(4, 2).hitPoints, 1);
  run(1);
  EXPECT_EQ(game.cell(4, 2).hitPoints, 0);
  EXPECT_EQ(game.cell(6, 2).hitPoints, 1);
  EXPECT_EQ(game.effectCount(), 0);  // fire bricks make no Blast
  EXPECT_EQ(game.score(), 3 * 80);
}

}  // namespace
