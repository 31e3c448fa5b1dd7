// Falling items: their flight, the catching rules at the paddle line and what each does.
#include "game/item.hpp"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "tests/game/game_fixture.hpp"

namespace {

using game::BallKind;
using game::Item;
using game::ItemKind;
using game_testing::motion;
using game_testing::px;

TEST(ItemTest, FallsUnderGravityAddedAfterTheMoveAndBouncesOffTheTopAndTheSides) {
  const std::array<Fixed, 4> cases[][2] = {
      {{px(209), px(100), 0x2000, 0}, {px(209) + 0xC000, px(100), -0x2000, 0x80}},  // nx = 210.25: 420 - 210.25
      {{px(50), px(-9), 0, -0x1000}, {px(50), px(9) + 0xA000, 0, 0x1000 - 0x80}},  // released from row 0
      {{px(1), px(100), -0x2000, 0x100}, {0x4000, px(100) + 0xA00, 0x2000, 0x180}},
  };
  for (const auto& [before, after] : cases) {
    Item item(before[0], before[1], before[2], before[3], ItemKind::Guns);
    item.update(10);
    EXPECT_EQ(motion(item), after);
  }
}

class ItemCatchTest : public game_testing::GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    emptyField();
    rig().addRestingBall(px(110));
  }
  game::GameScreen& game() { return *game_; }
  void apply(ItemKind kind) { game_->applyItem(Item(0, 0, 0, 0, kind)); }
};

TEST_F(ItemCatchTest, OnlyAnItemOverlappingThePaddleOnItsLineIsCaughtAndTheRestFallOut) {
  // The paddle spans 90 .. 150. Items straddle the line y = 286 after one update.
  for (int x : {61, 60, 150}) rig().addItem(ItemKind::ExtraLife, px(x), px(270), 0, 0);  // only the first overlaps
  run(1);
  EXPECT_EQ(std::tuple(rig().lives(), score(), rig().items().size()), std::tuple(4, 100u, 2));
  for (int updates = 1; !rig().items().empty() && updates < 200; ++updates) {
    for (const Item* item : rig().items()) EXPECT_LE(item->y(), px(320));
    run(1);
  }
  EXPECT_TRUE(rig().items().empty());
  EXPECT_EQ(rig().lives(), 4);
}

TEST_F(ItemCatchTest, EightBallsTurnsTheFirstBallIntoEightAtTheNormalSpeed) {
  apply(ItemKind::EightBalls);  // a resting first ball stays on the paddle
  EXPECT_EQ(std::tuple(balls().size(), balls()[0]->stuck(), balls()[1]->stuck(), rig().paddle().restingBalls().size()),
            std::tuple(std::size_t{8}, true, false, 1));

  rig().clearBalls();
  apply(ItemKind::EightBalls);
  EXPECT_TRUE(balls().empty());
  rig().addFlyingBall(px(100), px(150), 0x100, 0x200, 0x8000, BallKind::Fire);
  rig().addFlyingBall(px(10), px(10), 0x100, 0x200, 0x4000, BallKind::Normal);
  apply(ItemKind::EightBalls);
  const auto all = balls();
  ASSERT_EQ(std::pair(all.size(), score()), std::pair(std::size_t{9}, 300u));
  const std::pair<Fixed, Fixed> velocities[] = {{6270, 15136}, {-6270, 15136}, {6270, -15136}, {-6270, -15136},
                                                {15136, 6270}, {-15136, 6270}, {15136, -6270}, {-15136, -6270}};
  for (std::size_t i = 0; i < 8; ++i) {
    const game::Ball& ball = *all[i == 0 ? 0 : i + 1];
    EXPECT_EQ(motion(ball), (std::array<Fixed, 4>{px(100), px(150), velocities[i].first, velocities[i].second})) << i;
    EXPECT_EQ(std::pair(ball.speed(), ball.kind()), std::pair(0x4000, BallKind::Fire));
  }
}

TEST_F(ItemCatchTest, DoubleBallsGivesEachBallATwinTurnedAQuarterTurn) {
  apply(ItemKind::DoubleBalls);
  EXPECT_EQ(std::pair(balls().size(), rig().paddle().restingBalls().size()), std::pair(std::size_t{2}, 2));

  rig().clearBalls();
  for (int i = 0; i < 3; ++i) rig().addFlyingBall(px(20 * i), px(100), 0x1000 + i, 0x2000, 0x2000, BallKind::Pierce);
  apply(ItemKind::DoubleBalls);
  const auto all = balls();
  ASSERT_EQ(all.size(), 6u);
  for (int i = 0; i < 3; ++i) {
    const game::Ball& twin = *all[static_cast<std::size_t>(3 + i)];
    EXPECT_EQ(motion(twin), (std::array<Fixed, 4>{px(20 * i), px(100), -0x2000, 0x1000 + i}));
    EXPECT_EQ(std::tuple(twin.speed(), twin.kind(), twin.stuck()), std::tuple(0x2000, BallKind::Pierce, false));
  }
}

TEST_F(ItemCatchTest, TheOtherItemsActOnThePaddleEveryBallRestingOnesIncludedOrEveryBrick) {
  rig().addFlyingBall(px(50), px(50), 0x1000, 0x1000, 0x4000, BallKind::Normal);
  rig().setCell(0, 0, 40);
  rig().setCell(1, 0, 50);
  apply(ItemKind::FastBalls);
  apply(ItemKind::FireBalls);
  for (const game::Ball* ball : balls()) EXPECT_EQ(std::pair(ball->speed(), ball->kind()), std::pair(0x8000, BallKind::Fire));
  EXPECT_EQ(balls()[1]->vx(), 0x2000);
  apply(ItemKind::WeakBricks);
  EXPECT_EQ(std::tuple(rig().cell(0, 0).hitPoints, rig().cell(1, 0).hitPoints, rig().cell(2, 0).hitPoints), std::tuple(1, 1, 0));
  apply(ItemKind::Shorter);
  apply(ItemKind::Shorter);  // a short paddle stays short
  EXPECT_EQ(rig().paddle().width(), px(40));
  apply(ItemKind::None);
  EXPECT_EQ(score(), 600);
}

TEST_F(ItemCatchTest, ABombCostsALifeOnceTheBreakUpIsOverWhileThePaddleStillActs) {
  rig().addFlyingBall(px(100), px(100), 0, -0x1000, 0x4000, BallKind::Normal);
  apply(ItemKind::Bomb);
  // During the break-up a ball still bounces off the paddle's span and items are caught there.
  rig().addFlyingBall(px(110), px(272), 0, 0x4000, 0x4000, BallKind::Normal);
  rig().addItem(ItemKind::ExtraLife, px(100), px(270), 0, 0);
  run(1);
  EXPECT_EQ(std::pair(balls()[2]->vy() < 0, rig().lives()), std::pair(true, 4));
  run(29);
  EXPECT_EQ(rig().lives(), 4);
  run(1);
  ASSERT_EQ(std::pair(rig().lives(), balls().size()), std::pair(3, std::size_t{1}));
  EXPECT_EQ(std::pair(balls()[0]->stuck(), balls()[0]->x()), std::pair(true, px(120)));
}

}  // namespace
