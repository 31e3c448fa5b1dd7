#include "game/ball.hpp"

#include <gtest/gtest.h>

#include "platform/random.hpp"
#include "tests/game/game_fixture.hpp"

namespace {

using game::Ball;
using game::BallKind;
using game_testing::px;

int liveTrailParticles(const Ball& ball) {
  int n = 0;
  for (const auto& p : ball.trail()) n += p.isDead() ? 0 : 1;
  return n;
}

TEST(BallTest, BouncesOffTheWallsByMirroringThePosition) {
  struct Case {
    Fixed x, y, vx, vy;
    Fixed expectedX, expectedY, expectedVx, expectedVy;
  };
  const Case cases[] = {
      // right wall: nx = 229.5 gives 456 - 229.5
      {px(227), px(100), 0x4000, 0, px(226) + 0x8000, px(100), -0x4000, 0},
      // left wall
      {px(1), px(100), -0x4000, 0, px(1) + 0x8000, px(100), 0x4000, 0},
      // top wall and left wall in the same update
      {px(1), px(1), -0x4000, -0x4000, px(1) + 0x8000, px(1) + 0x8000, 0x4000, 0x4000},
      // no bottom wall
      {px(100), px(330), 0, 0x4000, px(100), px(332) + 0x8000, 0, 0x4000},
  };
  for (const Case& c : cases) {
    Ball ball(c.x, c.y, c.vx, c.vy, 0x4000, BallKind::Normal);
    ball.update(10);
    EXPECT_EQ(ball.x(), c.expectedX);
    EXPECT_EQ(ball.y(), c.expectedY);
    EXPECT_EQ(ball.vx(), c.expectedVx);
    EXPECT_EQ(ball.vy(), c.expectedVy);
  }
}

TEST(BallTest, FireAndPierceBallsLeaveFiveTrailParticlesPerUpdateButNotOnAWallBounce) {
  platform::seedRandom(3);
  Ball fire(px(100), px(100), 0x1000, -0x1000, 0x4000, BallKind::Fire);
  fire.update(10);
  EXPECT_EQ(liveTrailParticles(fire), 5);
  EXPECT_EQ(fire.nextTrailSlot(), 5);
  // The first particle: r1 .. r4 drawn in order, vx from r2 and vy from r1.
  platform::seedRandom(3);
  const int r1 = platform::nextRandom();
  const int r2 = platform::nextRandom();
  const int r3 = platform::nextRandom();
  const int r4 = platform::nextRandom();
  const auto& first = fire.trail()[0];
  EXPECT_EQ(first.vx(), r2 - 0x3FFF);
  EXPECT_EQ(first.vy(), r1 - 0x3FFF);
  EXPECT_EQ(first.x(), px(100) + 0xA000 + px(r4 % 12));
  EXPECT_EQ(first.y(), px(100) - 0xA000 + px(r3 % 12));
  EXPECT_EQ(first.kind(), game::ParticleKind::FireCross);

  Ball pierce(px(227), px(100), 0x4000, 0, 0x4000, BallKind::Pierce);
  pierce.update(10);
  EXPECT_EQ(liveTrailParticles(pierce), 0);
  for (int i = 0; i < 21; ++i) fire.update(10);
  EXPECT_EQ(fire.nextTrailSlot(), (22 * 5) % 100);
}

TEST(BallTest, AStuckBallStaysPutButItsTrailKeepsFading) {
  platform::seedRandom(4);
  Ball ball(px(100), px(100), 0, -0x4000, 0x4000, BallKind::Pierce);
  ball.update(10);
  ball.setStuck(true);
  const Fixed x = ball.x();
  const Fixed y = ball.y();
  const Fixed particleX = ball.trail()[0].x();
  ball.update(10);
  EXPECT_EQ(ball.x(), x);
  EXPECT_EQ(ball.y(), y);
  EXPECT_EQ(ball.frameCounter(), 1);
  EXPECT_NE(ball.trail()[0].x(), particleX);
  EXPECT_EQ(ball.trail()[0].life(), 128 - 10);
}

TEST(BallTest, SpeedUpAndSlowDownScaleTheVelocityToTheirSpeed) {
  struct Case {
    Fixed speed;
    bool up;
    Fixed expectedVx;
  };
  const Case cases[] = {{0x2000, true, 0x4000}, {0x4000, true, 0x2000}, {0x8000, true, 0x1000},
                        {0x8000, false, 0x400}, {0x4000, false, 0x800}, {0x2000, false, 0x1000},
                        {0, true, 0x1000},      {0x1000, false, 0x1000}};
  for (const Case& c : cases) {
    Ball ball(0, 0, 0x1000, -0x1001, c.speed, BallKind::Normal);
    c.up ? ball.speedUp() : ball.slowDown();
    EXPECT_EQ(ball.vx(), c.expectedVx) << c.speed << (c.up ? " up" : " down");
    EXPECT_EQ(ball.speed(), c.up ? 0x8000 : 0x2000);
  }
  Ball slowed(0, 0, 0x1000, -0x1001, 0x8000, BallKind::Normal);
  slowed.slowDown();
  EXPECT_EQ(slowed.vy(), -0x400);  // -0x1001 / 4, toward zero
}

}  // namespace
