#include "game/ball.hpp"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "platform/random.hpp"
#include "tests/game/game_fixture.hpp"

namespace {

using game::Ball;
using game::BallKind;
using game_testing::motion;
using game_testing::px;

int liveTrail(const Ball& ball) {
  int n = 0;
  for (const auto& p : ball.trail()) n += p.isDead() ? 0 : 1;
  return n;
}

TEST(BallTest, WallsMirrorThePositionAndAWallBounceLeavesNoTrail) {
  struct Case {
    std::array<Fixed, 4> before, after;
  };
  const Case cases[] = {
      {{px(227), px(100), 0x4000, 0}, {px(226) + 0x8000, px(100), -0x4000, 0}},  // nx = 229.5: 456 - 229.5
      {{px(1), px(100), -0x4000, 0}, {px(1) + 0x8000, px(100), 0x4000, 0}},
      {{px(1), px(1), -0x4000, -0x4000}, {px(1) + 0x8000, px(1) + 0x8000, 0x4000, 0x4000}},  // top and side at once
      {{px(100), px(1), 0, -0x4000}, {px(100), px(1) + 0x8000, 0, 0x4000}},
      {{px(100), px(330), 0, 0x4000}, {px(100), px(332) + 0x8000, 0, 0x4000}},  // no bottom wall
  };
  for (const Case& c : cases) {
    Ball ball(c.before[0], c.before[1], c.before[2], c.before[3], 0x4000, BallKind::Pierce);
    ball.update(10);
    EXPECT_EQ(motion(ball), c.after);
    EXPECT_EQ(liveTrail(ball), c.after[2] == c.before[2] ? 5 : 0);
  }
}

TEST(BallTest, TrailParticlesTakeFourDrawsEachWithVxFromTheSecondAndVyFromTheFirst) {
  for (BallKind kind : {BallKind::Fire, BallKind::Pierce}) {
    platform::seedRandom(3);
    Ball ball(px(100), px(100), 0x1000, -0x1000, 0x4000, kind);
    ball.update(10);
    platform::seedRandom(3);
    const int scale = kind == BallKind::Fire ? 1 : 16;
    for (std::size_t i = 0; i < 5; ++i) {
      const int r1 = platform::nextRandom(), r2 = platform::nextRandom();
      const int r3 = platform::nextRandom(), r4 = platform::nextRandom();
      // At the ball's new position.
      EXPECT_EQ(motion(ball.trail()[i]), (std::array<Fixed, 4>{px(100) + 0xA000 + px(r4 % 12), px(100) - 0xA000 + px(r3 % 12),
                                                               (r2 - 0x3FFF) * scale, (r1 - 0x3FFF) * scale}));
      EXPECT_EQ(ball.trail()[i].life(), kind == BallKind::Fire ? 300 : 128);
    }
    for (int i = 0; i < 21; ++i) ball.update(10);
    EXPECT_EQ(ball.nextTrailSlot(), (22 * 5) % 100);
  }
  Ball normal(px(100), px(100), 0x1000, 0, 0x4000, BallKind::Normal);
  normal.update(10);
  EXPECT_EQ(liveTrail(normal), 0);
}

TEST(BallTest, AStuckBallStaysPutAndStillButItsTrailKeepsFading) {
  Ball ball(px(100), px(100), 0, -0x4000, 0x4000, BallKind::Pierce);
  ball.update(10);
  ball.setStuck(true);
  const Fixed particleX = ball.trail()[0].x();
  ball.update(10);
  EXPECT_EQ(std::pair(ball.y(), ball.frameCounter()), std::pair(px(97) + 0x8000, 1));
  EXPECT_EQ(std::pair(ball.trail()[0].x() != particleX, ball.trail()[0].life()), std::pair(true, 128 - 10));
}

TEST(BallTest, SpeedUpAndSlowDownScaleTheVelocityByTheirIntegerQuotient) {
  struct Case {
    Fixed speed;
    bool up;
    Fixed vx, vy;
  };
  const Case cases[] = {{0x2000, true, 0x4000, -0x4004}, {0x4000, true, 0x2000, -0x2002}, {0x8000, true, 0x1000, -0x1001},
                        {0x8000, false, 0x400, -0x400},  {0x4000, false, 0x800, -0x800},   {0x2000, false, 0x1000, -0x1001},
                        {0, true, 0x1000, -0x1001},      {0x1000, false, 0x1000, -0x1001}};  // quotient 0: left as is
  for (const Case& c : cases) {
    Ball ball(0, 0, 0x1000, -0x1001, c.speed, BallKind::Normal);
    c.up ? ball.speedUp() : ball.slowDown();
    EXPECT_EQ(motion(ball), (std::array<Fixed, 4>{0, 0, c.vx, c.vy})) << c.speed << (c.up ? " up" : " down");
    EXPECT_EQ(ball.speed(), c.up ? 0x8000 : 0x2000);
  }
}

}  // namespace
