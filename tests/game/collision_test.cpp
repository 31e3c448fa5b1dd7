// The ball against the brick field: which bricks a ball touches, which it hits and how it
// bounces, and what each striker does to each kind of brick.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "game/brick_collision.hpp"
#include "platform/random.hpp"
#include "shell/process_state.hpp"
#include "tests/game/game_fixture.hpp"

namespace {

using game::BallKind;
using game_testing::px;

struct Cell {
  int col, row;
};

struct CollisionCase {
  std::string name;
  int x, y;                 // ball corner, whole pixels
  int vx, vy;               // signs of the velocity before and after
  std::vector<Cell> alive;  // Metal bricks: a hit leaves 1 hit point
  std::vector<Cell> hit;
  int expectVx, expectVy;
};

void PrintTo(const CollisionCase& c, std::ostream* out) { *out << c.name; }

// The single-corner cases put the ball at L = 1, R = 2, T = 14, B = 15, with its centre cell
// (Q, M) chosen by these coordinates.
constexpr int kQR = 35, kQL = 30, kMB = 175, kMT = 170;
const Cell kTL{1, 14}, kTR{2, 14}, kBL{1, 15}, kBR{2, 15};

const std::vector<CollisionCase> kCases = {
    {"WorkedUpRightIntoTopLeft", 35, 175, 1, -1, {kTL}, {kTL}, 1, 1},
    {"RightOfColumnElevenTouchesNothing", 228, 100, 1, -1, {{11, 8}, {11, 9}}, {}, -1, -1},  // only the wall turns it
    {"BottomInRowSixteenTouchesNothing", 100, 180, 1, -1, {{5, 15}}, {}, 1, -1},
    {"TwoTopCornersHitTheCentreColumn", 35, 20, 1, -1, {{1, 1}, {2, 1}}, {{2, 1}}, 1, 1},
    {"TwoTopCornersCentreInTheLeftColumn", 30, 20, -1, -1, {{1, 1}, {2, 1}}, {{1, 1}}, -1, 1},
    {"TwoBottomCorners", 35, 20, 1, 1, {{1, 2}, {2, 2}}, {{2, 2}}, 1, -1},
    {"TwoLeftCornersHitTheCentreRow", 35, 20, -1, 1, {{1, 1}, {1, 2}}, {{1, 2}}, 1, 1},
    {"TwoRightCorners", 35, 16, 1, 1, {{2, 1}, {2, 2}}, {{2, 1}}, -1, 1},
    {"FallingDiagonalHitsBoth", 35, 20, 1, 1, {{1, 1}, {2, 2}}, {{1, 1}, {2, 2}}, -1, -1},
    {"AllFourHitOnlyTheFallingDiagonal", 35, 20, 1, 1, {{1, 1}, {2, 1}, {1, 2}, {2, 2}}, {{1, 1}, {2, 2}}, -1, -1},
    {"RisingDiagonalWithTopLeftToo", 35, 20, 1, 1, {{2, 1}, {1, 2}, {1, 1}}, {{2, 1}, {1, 2}}, -1, -1},
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
    {"TRStraightUpCentreRB", kQR, kMB, 0, -1, {kTR}, {kTR}, 0, 1},
    {"TRIntoCornerCentreRT", kQR, kMT, 1, -1, {kTR}, {kTR}, 1, -1},
    {"BLMovingDownRight", kQR, kMB, 1, 1, {kBL}, {kBL}, 1, -1},
    {"BLMovingUpLeft", kQR, kMB, -1, -1, {kBL}, {kBL}, 1, -1},
    {"BLMovingUpRightReflectsNothing", kQR, kMB, 1, -1, {kBL}, {kBL}, 1, -1},
    {"BLIntoCornerCentreRT", kQR, kMT, -1, 1, {kBL}, {kBL}, 1, -1},
    {"BLIntoCornerCentreRB", kQR, kMB, -1, 1, {kBL}, {kBL}, 1, 1},
    {"BLLeftwardsCentreRB", kQR, kMB, -1, 0, {kBL}, {kBL}, 1, 0},
    {"BLIntoCornerCentreLT", kQL, kMT, -1, 1, {kBL}, {kBL}, -1, -1},
    {"BLStraightDownCentreLT", kQL, kMT, 0, 1, {kBL}, {kBL}, 0, -1},
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

class CollisionTest : public game_testing::GameFixture, public ::testing::WithParamInterface<CollisionCase> {};

int sign(Fixed v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

TEST_P(CollisionTest, HitsAndReflectsAsTheCornerRulesSay) {
  const CollisionCase& c = GetParam();
  game::GameScreen& game = emptyField();
  for (const Cell& cell : c.alive) rig().setCell(cell.col, cell.row, 20);
  rig().addFlyingBall(px(c.x), px(c.y), c.vx * 0x3000, c.vy * 0x3000, 0x4000, BallKind::Normal);
  game.update(0);  // the ball does not move: only the collision acts

  EXPECT_EQ(std::pair(sign(balls().at(0)->vx()), sign(balls().at(0)->vy())), std::pair(c.expectVx, c.expectVy));
  for (const Cell& cell : c.alive) {
    bool expectedHit = false;
    for (const Cell& h : c.hit) expectedHit = expectedHit || (h.col == cell.col && h.row == cell.row);
    EXPECT_EQ(rig().cell(cell.col, cell.row).hitPoints, expectedHit ? 1 : 2) << cell.col << "," << cell.row;
  }
  EXPECT_EQ(rig().effectCount(), static_cast<std::int32_t>(c.hit.size()));
}

INSTANTIATE_TEST_SUITE_P(Corners, CollisionTest, ::testing::ValuesIn(kCases), [](const auto& param) { return param.param.name; });

// The rules need nothing but a ball and a field: no screen, no sound, no random numbers.
TEST(BrickContactTest, DiagonalCornersAreStruckInOrderAndTheFieldsEdgesStopTheLookUp) {
  game::BrickField field;
  field.at(2, 3).brick = game::makeBrick(20, 2, 3);
  field.at(3, 4).brick = game::makeBrick(20, 3, 4);
  field.at(11, 0).brick = game::makeBrick(20, 11, 0);
  const game::Ball across(px(50), px(40), 0x1000, 0x1000, 0x4000, BallKind::Normal);  // columns 2-3, rows 3-4
  const game::BrickContact both = game::brickContact(across, field);
  EXPECT_EQ(both.hitCount, 2);
  EXPECT_EQ(std::tuple(both.hits[0].col, both.hits[0].row, both.hits[1].col, both.hits[1].row), std::tuple(2, 3, 3, 4));
  EXPECT_TRUE(both.reflectX && both.reflectY);
  // Its right edge at x 240 lies in column 12, outside the field: the brick of column 11 is not met.
  const game::Ball edge(px(228), px(0), 0x1000, -0x1000, 0x4000, BallKind::Normal);
  const game::BrickContact none = game::brickContact(edge, field);
  EXPECT_EQ(std::tuple(none.hitCount, none.reflectX, none.reflectY), std::tuple(0, false, false));
}

class HitTest : public game_testing::GameFixture {};

TEST_F(HitTest, EachStrikerDoesItsOwnThingToEachKind) {
  enum Striker { Shot, Normal, Fire, Pierce };
  struct Case {  // the brick at (5, 5) from its level-map value; a Stone brick at (6, 5) beside it
    Striker striker;
    std::int32_t value, hitPointsAfter;
    bool neighbourDestroyed;
    std::int32_t effects, hitSounds, blastSounds, score;  // effects: Blasts and Sparks made
  };
  const Case cases[] = {
      {Shot, 10, 0, false, 1, 1, 0, 20},     {Shot, 20, 1, false, 1, 1, 0, 0},     {Shot, 30, 2, false, 1, 1, 0, 0},
      {Shot, 40, 1, false, 1, 1, 0, 0},      {Shot, 50, 99, false, 1, 1, 0, 0},    {Shot, 60, 0, true, 1, 0, 1, 80 + 20},
      {Normal, 10, 0, false, 1, 1, 0, 20},   {Normal, 30, 2, false, 1, 1, 0, 0},   {Normal, 60, 0, false, 0, 0, 1, 80},
      {Fire, 20, 0, true, 2, 0, 0, 40 + 20}, {Fire, 50, 0, true, 2, 0, 0, 90 + 20}, {Fire, 60, 0, true, 1, 0, 1, 80 + 20},
      {Pierce, 50, 0, false, 1, 0, 0, 90},   {Pierce, 30, 0, false, 1, 0, 0, 60},  {Pierce, 60, 0, false, 0, 0, 1, 80},
  };
  for (const Case& c : cases) {
    loadBlastSound();
    game::GameScreen& game = emptyField();
    shell::process().scoreDisplay->setValue(0);
    rig().setCell(5, 5, c.value);
    rig().setCell(6, 5, 10);
    const game::Ball ball(0, 0, 0, 0, 0x4000, static_cast<BallKind>(c.striker - 1));
    game.hitBrick(5, 5, c.striker == Shot ? nullptr : &ball);
    EXPECT_EQ(std::tuple(rig().cell(5, 5).hitPoints, rig().cell(6, 5).hitPoints == 0, rig().effectCount(),
                         rig().hitSound()->plays(), shell::process().assets.blastSound->plays(), score()),
              std::tuple(c.hitPointsAfter, c.neighbourDestroyed, c.effects, c.hitSounds, c.blastSounds, c.score))
        << c.striker << " on " << c.value;
  }
}

TEST_F(HitTest, AnAreaBlastDestroysTheNeighboursInOrderAndReleasesTheirItems) {
  game::GameScreen& game = emptyField();
  // Every neighbour but the one in row 5 to the left hides an item; the order of the draws
  // shows in the velocities, and each item starts centred on its brick.
  const Cell order[] = {{5, 4}, {6, 5}, {5, 6}, {4, 4}, {6, 4}, {4, 6}, {6, 6}};
  for (int i = 0; i < 7; ++i) {
    rig().setCell(order[i].col, order[i].row, 10);
    rig().setHiddenItem(order[i].col, order[i].row, i + 1);
  }
  rig().setCell(4, 5, 50);
  platform::seedRandom(40);
  const game::Ball fire(0, 0, 0, 0, 0x4000, BallKind::Fire);
  game.hitBrick(5, 5, &fire);
  const auto items = game_testing::listed(rig().items());
  ASSERT_EQ(items.size(), 7u);
  EXPECT_EQ(rig().cell(4, 5).hitPoints, 0);
  platform::seedRandom(40);
  for (int blast = 0; blast < 200; ++blast) platform::nextRandom();  // the Stable brick's Blast
  for (int i = 0; i < 7; ++i) {
    for (int blast = 0; blast < 200; ++blast) platform::nextRandom();  // each Blast's draws come first
    const Fixed vx = (platform::nextRandom() - 0x3FFF) >> 1;
    const Fixed vy = (platform::nextRandom() - 0x3FFF) >> 1;
    EXPECT_EQ(static_cast<int>(items[i]->kind()), i + 1);
    EXPECT_EQ(game_testing::motion(*items[i]), (std::array<Fixed, 4>{px(20 * order[i].col - 5), px(12 * order[i].row - 9), vx, vy}));
  }
}

TEST_F(HitTest, APierceBallGoesStraightThroughDestroyingWhatItTouches) {
  emptyField();
  for (int row = 2; row <= 6; ++row) rig().setCell(5, row, 50);
  rig().addFlyingBall(px(104), px(100), 0, -0x4000, 0x4000, BallKind::Pierce);
  run(30);
  for (int row = 2; row <= 6; ++row) EXPECT_EQ(rig().cell(5, row).hitPoints, 0) << row;
  EXPECT_EQ(std::pair(balls().at(0)->vx(), balls().at(0)->vy()), std::pair(0, -0x4000));
}

TEST_F(HitTest, FireBricksSetEachOtherOffOneExplosionApart) {
  game::GameScreen& game = emptyField();
  for (int col = 2; col <= 4; ++col) rig().setCell(col, 2, 60);
  rig().setCell(6, 2, 10);  // two cells away: never reached
  rig().addRestingBall(px(100));
  const game::Ball normal(0, 0, 0, 0, 0x4000, BallKind::Normal);
  game.hitBrick(2, 2, &normal);
  EXPECT_EQ(rig().cell(2, 2).hitPoints, 0);
  for (int col = 3; col <= 4; ++col) {
    run(63);
    EXPECT_EQ(rig().cell(col, 2).hitPoints, 1);
    run(1);
    EXPECT_EQ(rig().cell(col, 2).hitPoints, 0);
  }
  EXPECT_EQ(rig().cell(6, 2).hitPoints, 1);
  EXPECT_EQ(rig().effectCount(), 0);  // fire bricks make no Blast
  EXPECT_EQ(score(), 3 * 80);
}

}  // namespace
