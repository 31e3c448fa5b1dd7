#include "game/paddle.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/random.hpp"
#include "tests/game/game_fixture.hpp"

namespace {

using game::Ball;
using game::BallKind;
using game::MoveState;
using game::SizeState;
using game_testing::motion;
using game_testing::px;

TEST(DirectionTableTest, HoldsCosAndMinusSinOfEveryDegreeTruncatedTowardZero) {
  const long double pi = 3.141592653589793238462643383279502884L;
  const auto& table = game::directionTable();
  for (int a = 0; a <= 180; ++a) {
    const long double r = pi * a / 180.0L;
    for (auto [value, entry] : {std::pair{std::cos(r), table[a].c}, {-std::sin(r), table[a].s}}) {
      // Whole results (the exact halves and ones) may land a hair off in long double; every
      // other entry lies far from a whole number.
      const long double scaled = value * 65536.0L;
      const long double nearest = std::round(scaled);
      EXPECT_EQ(entry, static_cast<Fixed>(std::fabs(scaled - nearest) < 1e-6L ? nearest : std::trunc(scaled))) << a;
    }
  }
  EXPECT_EQ(table[1].c, 65526);
  EXPECT_EQ(table[1].s, -1143);
  EXPECT_EQ(table[150].s, -32768);
}

class PaddleTest : public game_testing::GameFixture {
 protected:
  game::Paddle paddle_;
};

TEST_F(PaddleTest, AHeldKeyAcceleratesToHalfAPixelPerMillisecondAndReversingZeroesFirst) {
  for (int sign : {1, -1}) {
    sign > 0 ? paddle_.moveRight() : paddle_.moveLeft();
    EXPECT_EQ(paddle_.velocity(), 0);
    for (int i = 1; i <= 17; ++i) {
      paddle_.update(0);
      EXPECT_EQ(paddle_.velocity(), sign * std::min(i, 16) * 2048);
    }
  }
  for (bool right : {false, true}) {  // into a wall: stopped exactly there
    paddle_.reset();
    right ? paddle_.moveRight() : paddle_.moveLeft();
    for (int i = 0; i < 60 && paddle_.moveState() != MoveState::Stopped; ++i) paddle_.update(10);
    EXPECT_EQ(std::pair(paddle_.x(), paddle_.velocity()), std::pair(right ? px(180) : 0, 0));
  }
}

TEST_F(PaddleTest, MoveToLengthenAndShortenKeepThePaddleAndItsRestingBallsOnScreen) {
  Ball ball(px(100), 0, 0, 0, 0x4000, BallKind::Normal);
  paddle_.attach(ball);
  EXPECT_EQ(std::pair(ball.y(), ball.stuck()), std::pair(px(274), true));
  paddle_.moveTo(px(5));
  EXPECT_EQ(std::pair(paddle_.x(), ball.x()), std::pair(0, px(10)));
  paddle_.moveTo(px(235));
  EXPECT_EQ(std::pair(paddle_.x(), ball.x()), std::pair(px(180), px(190)));
  paddle_.lengthen();
  EXPECT_EQ(std::pair(paddle_.x(), ball.x()), std::pair(px(160), px(190)));
  paddle_.lengthen();  // a long paddle stays long
  EXPECT_EQ(paddle_.width(), px(80));
  ball.setX(px(228));
  paddle_.shorten();
  EXPECT_EQ(ball.x(), px(208));  // 160 + 60 - 12
  paddle_.shorten();
  paddle_.shorten();
  EXPECT_EQ(std::pair(paddle_.width(), ball.x()), std::pair(px(40), px(188)));
}

TEST_F(PaddleTest, TheBounceAngleFollowsWhereTheBallMeetsThePaddleAndGivesTheTablesVelocity) {
  struct Case {
    SizeState size;
    int centreOffset;  // ball centre - paddle x, whole pixels; a fraction is dropped
    int angleBeforeJitter;
    Fixed speed;
  };
  const Case cases[] = {{SizeState::Normal, 0, 180, 0x4000}, {SizeState::Normal, 60, 0, 0x4000},
                        {SizeState::Normal, 30, 90, 0x8000}, {SizeState::Long, 40, 80, 0x2000},
                        {SizeState::Short, 20, 80, 0x4000},  {SizeState::Short, 35, 20, 0x4000}};
  for (const Case& c : cases) {
    paddle_.setSizeState(c.size);
    Ball ball(paddle_.x() + px(c.centreOffset - 6) + 0xFFFF, px(280), 0, 0, c.speed, BallKind::Normal);
    platform::seedRandom(99);
    const int angle = std::clamp(c.angleBeforeJitter + platform::nextRandom() % 5 - 2, 10, 170);
    platform::seedRandom(99);
    EXPECT_EQ(paddle_.bounceAngle(ball), angle) << c.centreOffset;
    platform::seedRandom(99);
    paddle_.bounce(ball);
    const auto& entry = game::directionTable()[static_cast<std::size_t>(angle)];
    EXPECT_EQ(std::pair(ball.vx(), ball.vy()), std::pair((entry.c >> 8) * (c.speed >> 8), (entry.s >> 8) * (c.speed >> 8)));
  }
}

TEST_F(PaddleTest, DestroyStartsOneBreakUpThatReportsTheDestructionWhenItEnds) {
  platform::seedRandom(6);
  paddle_.destroy();
  const std::uint32_t afterFirst = platform::randomState();
  paddle_.destroy();
  EXPECT_EQ(platform::randomState(), afterFirst);
  platform::seedRandom(6);
  for (const game::Particle* p : paddle_.breakup().particles()) {
    const int r1 = platform::nextRandom(), r2 = platform::nextRandom();
    const int r3 = platform::nextRandom(), r4 = platform::nextRandom();
    EXPECT_EQ(motion(*p), (std::array<Fixed, 4>{px(90 + r4 % 60), px(286 + r3 % 10), (r2 - 0x3FFF) * 8, -r1 * 8}));
  }
  for (int i = 0; i < 30; ++i) paddle_.update(10);
  EXPECT_FALSE(paddle_.destroyed());  // life 0 is not yet dead
  paddle_.update(10);
  EXPECT_TRUE(paddle_.destroyed());
  paddle_.reset();
  EXPECT_TRUE(!paddle_.destroyed() && !paddle_.breaking() && paddle_.breakup().particles().empty());
}

TEST_F(PaddleTest, PositionsAtTheEndOfTheFixedRangeWrapInsteadOfOverflowing) {
  paddle_.setSizeState(SizeState::Short);
  paddle_.setX(0x7FD80000);  // x + width wraps to the smallest Fixed
  paddle_.setAttachment(game::Attachment::StickyPads);
  gfx::Canvas canvas;
  paddle_.draw(canvas);
  Ball ball(0, 0, 0, 0, 0x4000, BallKind::Normal);
  paddle_.attach(ball);
  paddle_.shorten();
  EXPECT_EQ(ball.x(), 0x7FF40000);
  paddle_.setX(0x7FFF0000);
  paddle_.destroy();
  EXPECT_EQ(paddle_.breakup().particles().size(), 50);
}

}  // namespace
