#include "game/paddle.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/random.hpp"
#include "tests/game/game_fixture.hpp"

namespace {

using game::Ball;
using game::BallKind;
using game::MoveState;
using game::Paddle;
using game::SizeState;
using game_testing::px;

// Truncated toward zero, but exactly where the value is an integer. By Niven's theorem the
// only rational sines of whole degrees are 0, 1/2 and 1, so those are the only places where
// the long-double value may sit on the wrong side of an integer; everywhere else it keeps a
// distance of more than 0.001 from the next integer, far beyond its error.
std::int32_t expectedEntry(long double value, bool exact) {
  const long double scaled = value * 65536.0L;
  if (exact) return static_cast<std::int32_t>(std::lround(scaled));
  EXPECT_GT(std::fabs(scaled - std::round(scaled)), 1e-6L);
  return static_cast<std::int32_t>(std::trunc(scaled));
}

TEST(DirectionTableTest, HoldsTheTruncatedCosinesAndSinesOfEveryDegree) {
  const long double pi = 3.141592653589793238462643383279502884L;
  const auto& table = game::directionTable();
  for (int a = 0; a <= 180; ++a) {
    const long double r = pi * a / 180.0L;
    const bool exactCos = a % 30 == 0 && a != 30 && a != 150;  // cos of 0, 60, 90, 120, 180
    const bool exactSin = a % 30 == 0 && a != 60 && a != 120;  // sin of 0, 30, 90, 150, 180
    EXPECT_EQ(table[a].c, expectedEntry(std::cos(r), exactCos)) << "cos " << a;
    EXPECT_EQ(table[a].s, expectedEntry(-std::sin(r), exactSin)) << "sin " << a;
  }
  EXPECT_EQ(table[1].c, 65526);
  EXPECT_EQ(table[1].s, -1143);
  EXPECT_EQ(table[45].c, 46340);
  EXPECT_EQ(table[45].s, -46340);
  EXPECT_EQ(table[30].s, -32768);
  EXPECT_EQ(table[60].c, 32768);
  EXPECT_EQ(table[120].c, -32768);
  EXPECT_EQ(table[150].s, -32768);
  EXPECT_EQ(table[180].c, -65536);
}

class PaddleTest : public game_testing::GameFixture {};

TEST_F(PaddleTest, HeldKeyAcceleratesToHalfAPixelPerMillisecondAndReversingZeroesFirst) {
  Paddle paddle;
  paddle.moveRight();
  std::vector<Fixed> velocities;
  for (int i = 0; i < 17; ++i) {
    paddle.update(1);
    velocities.push_back(paddle.velocity());
  }
  EXPECT_EQ(velocities[0], 2048);
  EXPECT_EQ(velocities[15], 0x8000);
  EXPECT_EQ(velocities[16], 0x8000);
  paddle.moveLeft();
  EXPECT_EQ(paddle.velocity(), 0);
  for (int i = 0; i < 20; ++i) paddle.update(0);
  EXPECT_EQ(paddle.velocity(), -0x8000);
}

TEST_F(PaddleTest, RunningIntoAWallStopsExactlyAtIt) {
  struct Case {
    bool right;
    Fixed expectedX;
  };
  for (const Case c : {Case{false, 0}, Case{true, px(180)}}) {
    Paddle paddle;
    c.right ? paddle.moveRight() : paddle.moveLeft();
    for (int i = 0; i < 60 && paddle.moveState() != MoveState::Stopped; ++i) paddle.update(10);
    EXPECT_EQ(paddle.x(), c.expectedX);
    EXPECT_EQ(paddle.velocity(), 0);
    EXPECT_EQ(paddle.moveState(), MoveState::Stopped);
  }
}

TEST_F(PaddleTest, MoveToCentresOnThePenWithinTheScreenAndCarriesRestingBalls) {
  Paddle paddle;
  Ball ball(px(100), 0, 0, 0, 0x4000, BallKind::Normal);
  paddle.attach(ball);
  paddle.moveTo(px(5));
  EXPECT_EQ(paddle.x(), 0);
  EXPECT_EQ(ball.x(), px(10));
  paddle.moveTo(px(235));
  EXPECT_EQ(paddle.x(), px(180));
  EXPECT_EQ(ball.x(), px(190));
  EXPECT_EQ(ball.y(), Paddle::kRestingY);
  EXPECT_TRUE(ball.stuck());
}

TEST_F(PaddleTest, LengthenKeepsThePaddleOnScreenAndShortenPullsRestingBallsBack) {
  Paddle paddle;
  paddle.moveTo(px(235));
  paddle.lengthen();
  EXPECT_EQ(paddle.sizeState(), SizeState::Long);
  EXPECT_EQ(paddle.x(), px(160));
  paddle.lengthen();
  EXPECT_EQ(paddle.width(), px(80));

  Ball atEnd(px(228), 0, 0, 0, 0x4000, BallKind::Normal);
  Ball inside(px(170), 0, 0, 0, 0x4000, BallKind::Normal);
  paddle.attach(atEnd);
  paddle.attach(inside);
  paddle.shorten();
  EXPECT_EQ(paddle.width(), px(60));
  EXPECT_EQ(atEnd.x(), px(208));  // 160 + 60 - 12
  EXPECT_EQ(inside.x(), px(170));
  paddle.shorten();
  paddle.shorten();
  EXPECT_EQ(paddle.sizeState(), SizeState::Short);
  EXPECT_EQ(atEnd.x(), px(188));
}

TEST_F(PaddleTest, BounceAngleDependsOnWhereTheBallMeetsThePaddleAndIsClamped) {
  struct Case {
    SizeState size;
    int centreOffset;  // ball centre - paddle x, whole pixels
    int angleWithoutJitter;
  };
  const Case cases[] = {{SizeState::Normal, 0, 180},  {SizeState::Normal, 60, 0}, {SizeState::Normal, 30, 90},
                        {SizeState::Long, 40, 80},    {SizeState::Short, 20, 80},  {SizeState::Short, 35, 20}};
  for (const Case& c : cases) {
    Paddle paddle;
    paddle.setSizeState(c.size);
    Ball ball(paddle.x() + px(c.centreOffset - 6), px(280), 0, 0, 0x4000, BallKind::Normal);
    platform::seedRandom(99);
    const int jitter = platform::nextRandom() % 5 - 2;
    platform::seedRandom(99);
    const int angle = paddle.bounceAngle(ball);
    const int unclamped = c.angleWithoutJitter + jitter;
    EXPECT_EQ(angle, unclamped < 10 ? 10 : unclamped > 170 ? 170 : unclamped) << c.centreOffset;
  }
}

TEST_F(PaddleTest, BounceTakesTheVelocityFromTheTableAtTheBallsSpeed) {
  Paddle paddle;
  Ball ball(paddle.x() + px(24), px(280), 0, 0, 0x8000, BallKind::Normal);
  platform::seedRandom(5);
  const int angle = paddle.bounceAngle(ball);
  platform::seedRandom(5);
  paddle.bounce(ball);
  const auto& entry = game::directionTable()[static_cast<std::size_t>(angle)];
  EXPECT_EQ(ball.vx(), (entry.c >> 8) * (0x8000 >> 8));
  EXPECT_EQ(ball.vy(), (entry.s >> 8) * (0x8000 >> 8));
  EXPECT_LT(ball.vy(), 0);
}

TEST_F(PaddleTest, DestroyStartsTheBreakUpOnceAndReportsDestroyedWhenItEnds) {
  Paddle paddle;
  paddle.destroy();
  const std::uint32_t afterFirst = platform::randomState();
  paddle.destroy();
  EXPECT_EQ(platform::randomState(), afterFirst);
  EXPECT_EQ(paddle.breakup().particleCount(), 50);
  EXPECT_TRUE(paddle.breaking());
  for (int i = 0; i < 30; ++i) paddle.update(10);
  EXPECT_FALSE(paddle.destroyed());  // life 0 is not yet dead
  paddle.update(10);
  EXPECT_TRUE(paddle.destroyed());
  paddle.reset();
  EXPECT_FALSE(paddle.destroyed());
  EXPECT_FALSE(paddle.breaking());
  EXPECT_EQ(paddle.breakup().particleCount(), 0);
}

}  // namespace

namespace {

TEST_F(PaddleTest, PositionsAtTheEndOfTheFixedRangeWrapInsteadOfOverflowing) {
  Paddle paddle;
  paddle.setSizeState(SizeState::Short);
  paddle.setX(0x7FD80000);  // x + width wraps to the smallest Fixed
  paddle.setAttachment(game::Attachment::StickyPads);
  gfx::Canvas canvas;
  paddle.draw(canvas);
  Ball ball(0, 0, 0, 0, 0x4000, BallKind::Normal);
  paddle.attach(ball);
  paddle.shorten();
  EXPECT_EQ(ball.x(), 0x7FF40000);
  paddle.setX(0x7FFF0000);
  paddle.destroy();
  EXPECT_EQ(paddle.breakup().particleCount(), 50);
}

}  // namespace
