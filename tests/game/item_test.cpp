// Falling items: their flight, the catching rules at the paddle line and what each does.
#include "game/item.hpp"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "tests/game/game_fixture.hpp"

namespace {

using game::BallKind;
using game::Item;
using game::ItemKind;
using game_testing::px;

TEST(ItemTest, FallsUnderGravityAndBouncesOffTheTopAndTheSides) {
  Item right(px(209), px(100), 0x2000, 0, ItemKind::Guns);
  right.update(10);
  EXPECT_EQ(right.x(), px(209) + 0xC000);  // 420 - 210.25
  EXPECT_EQ(right.vx(), -0x2000);
  EXPECT_EQ(right.vy(), 0x80);

  Item top(px(50), px(-9), 0, -0x1000, ItemKind::Guns);  // released from a brick in row 0
  top.update(10);
  EXPECT_EQ(top.y(), px(9) + 0xA000);
  EXPECT_EQ(top.vy(), 0x1000 - 0x80);

  Item left(px(1), px(100), -0x2000, 0, ItemKind::Guns);
  left.update(10);
  EXPECT_EQ(left.x(), 0x4000);  // nx = -0.25
  EXPECT_EQ(left.vx(), 0x2000);
}

class ItemCatchTest : public game_testing::GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    game::GameScreen& game = emptyField();
    game.setCell(11, 0, 10);  // keeps the level going
    game.addRestingBall(px(110));
  }
};

TEST_F(ItemCatchTest, OnlyAnItemOverlappingThePaddleOnItsLineIsCaught) {
  game::GameScreen& game = *game_;
  // The paddle spans 90 .. 150. Items straddle the line y = 286 after one update.
  game.addItem(ItemKind::ExtraLife, px(61), px(270), 0, 0);   // right edge 91: overlaps
  game.addItem(ItemKind::ExtraLife, px(60), px(270), 0, 0);   // right edge 90: touches only
  game.addItem(ItemKind::ExtraLife, px(150), px(270), 0, 0);  // left edge 150: touches only
  run(1);
  EXPECT_EQ(game.lives(), 4);
  EXPECT_EQ(game.score(), 100);
  ASSERT_EQ(itemList().size(), 2u);
  // Beside the paddle they stay while they straddle the line, and go once below the screen.
  int updates = 1;
  while (!itemList().empty() && updates < 200) {
    for (const Item* item : itemList()) EXPECT_LE(item->y(), px(320));
    run(1);
    ++updates;
  }
  EXPECT_TRUE(itemList().empty());
  EXPECT_EQ(game.lives(), 4);
}

class ItemEffectTest : public game_testing::GameFixture {
 protected:
  game::GameScreen& game() { return *game_; }
  void SetUp() override {
    GameFixture::SetUp();
    emptyField().setCell(11, 0, 10);
  }
  void apply(ItemKind kind) { game_->applyItem(Item(0, 0, 0, 0, kind)); }
};

TEST_F(ItemEffectTest, EightBallsTurnsTheFirstBallIntoEightAtTheNormalSpeed) {
  game().addFlyingBall(px(100), px(150), 0x100, 0x200, 0x8000, BallKind::Fire);
  game().addFlyingBall(px(10), px(10), 0x100, 0x200, 0x4000, BallKind::Normal);
  apply(ItemKind::EightBalls);
  const auto balls = ballList();
  ASSERT_EQ(balls.size(), 9u);
  std::set<std::pair<Fixed, Fixed>> directions;
  for (std::size_t i : {0u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
    EXPECT_EQ(balls[i]->x(), px(100));
    EXPECT_EQ(balls[i]->y(), px(150));
    EXPECT_EQ(balls[i]->speed(), 0x4000);
    EXPECT_EQ(balls[i]->kind(), BallKind::Fire);
    directions.insert({balls[i]->vx(), balls[i]->vy()});
  }
  EXPECT_EQ(directions.size(), 8u);
  EXPECT_EQ(balls[0]->vx(), 6270);
  EXPECT_EQ(balls[0]->vy(), 15136);
  EXPECT_EQ(balls[2]->vx(), -6270);
  EXPECT_EQ(balls[8]->vy(), -6270);
  EXPECT_EQ(game().score(), 100);
}

TEST_F(ItemEffectTest, EightBallsWithNoBallOnlyScoresAndAStuckFirstBallStaysOnThePaddle) {
  apply(ItemKind::EightBalls);
  EXPECT_TRUE(ballList().empty());
  EXPECT_EQ(game().score(), 100);
  game().addRestingBall(px(110));
  apply(ItemKind::EightBalls);
  const auto balls = ballList();
  ASSERT_EQ(balls.size(), 8u);
  EXPECT_TRUE(balls[0]->stuck());
  EXPECT_FALSE(balls[1]->stuck());
  EXPECT_EQ(game().paddle().restingBalls().size(), 1);
}

TEST_F(ItemEffectTest, DoubleBallsGivesEachBallATwinTurnedAQuarterTurn) {
  for (int i = 0; i < 3; ++i) game().addFlyingBall(px(20 * i), px(100), 0x1000 + i, 0x2000, 0x4000, BallKind::Pierce);
  apply(ItemKind::DoubleBalls);
  const auto balls = ballList();
  ASSERT_EQ(balls.size(), 6u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(balls[3 + i]->vx(), -0x2000);
    EXPECT_EQ(balls[3 + i]->vy(), 0x1000 + i);
    EXPECT_EQ(balls[3 + i]->x(), px(20 * i));
    EXPECT_EQ(balls[3 + i]->kind(), BallKind::Pierce);
  }

  game().clearBalls();
  game().addRestingBall(px(110));
  apply(ItemKind::DoubleBalls);
  EXPECT_EQ(ballList().size(), 2u);
  EXPECT_EQ(game().paddle().restingBalls().size(), 2);
  EXPECT_TRUE(ballList()[1]->stuck());
}

TEST_F(ItemEffectTest, WeakBricksLeavesOneHitPointOnEveryBrickThatHasSome) {
  game().setCell(0, 0, 40);
  game().setCell(1, 0, 50);
  game().setCell(2, 0, 30);
  apply(ItemKind::WeakBricks);
  EXPECT_EQ(game().cell(0, 0).hitPoints, 1);
  EXPECT_EQ(game().cell(1, 0).hitPoints, 1);
  EXPECT_EQ(game().cell(2, 0).hitPoints, 1);
  EXPECT_EQ(game().cell(3, 0).hitPoints, 0);
}

TEST_F(ItemEffectTest, ABombCostsALifeOnceTheBreakUpIsOverEvenWithBallsInFlight) {
  game().addFlyingBall(px(100), px(100), 0, -0x1000, 0x4000, BallKind::Normal);
  apply(ItemKind::Bomb);
  EXPECT_TRUE(game().paddle().breaking());
  run(30);
  EXPECT_EQ(game().lives(), 3);
  run(1);
  EXPECT_EQ(game().lives(), 2);
  const auto balls = ballList();
  ASSERT_EQ(balls.size(), 1u);
  EXPECT_TRUE(balls[0]->stuck());
  EXPECT_EQ(balls[0]->x(), px(120));
  EXPECT_FALSE(game().paddle().breaking());
}

}  // namespace
