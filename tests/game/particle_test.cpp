#include "game/particle.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "game/blast.hpp"
#include "game/explosion.hpp"
#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/random.hpp"
#include "tests/game/game_fixture.hpp"

namespace {

using game::Particle;
using game::ParticleKind;
using game_testing::px;

TEST(ParticleTest, KeepsSevenEighthsOfItsVelocityPerUpdate) {
  Particle p(0, 0, 0x10000, -0x10000, 300, ParticleKind::FireCross);
  p.update(10);
  EXPECT_EQ(p.x(), 0x10000);
  p.update(10);
  EXPECT_EQ(p.x(), 0x10000 + 0xE000);  // 0.875
  p.update(10);
  EXPECT_EQ(p.x(), 0x10000 + 0xE000 + 0xC400);  // 0.765625
  EXPECT_EQ(p.y(), -p.x());
  EXPECT_EQ(p.life(), 270);
}

TEST(ParticleTest, DiesBelowZeroLifeAndThenDrawsNothing) {
  gfx::Canvas canvas;
  Particle p(px(10), px(10), 0, 0, 5, ParticleKind::FireCross);
  p.update(10);
  EXPECT_EQ(p.life(), -5);
  EXPECT_TRUE(p.isDead());
  p.update(10);
  EXPECT_EQ(p.life(), -5);
  p.draw(canvas);
  EXPECT_EQ(canvas.at(10, 10), 0);

  Particle zero(px(10), px(10), 0, 0, 10, ParticleKind::FireCross);
  zero.update(10);
  EXPECT_FALSE(zero.isDead());
}

TEST(ParticleTest, FireCrossStartsPureRedAtLevelThirtyAndEndsYellowAndFaint) {
  gfx::Canvas fresh;
  Particle p(px(10), px(10), 0, 0, 300, ParticleKind::FireCross);
  p.draw(fresh);
  const std::uint16_t red = gfx::mixPixels(gfx::colourToPixel(0x0000FF), 0, 30);
  for (auto [x, y] : {std::pair{10, 10}, {11, 10}, {9, 10}, {10, 11}, {10, 9}}) EXPECT_EQ(fresh.at(x, y), red);
  EXPECT_EQ(fresh.at(11, 11), 0);

  gfx::Canvas old;
  for (int i = 0; i < 29; ++i) p.update(10);  // life 10: fade 0, level 1
  p.draw(old);
  EXPECT_EQ(old.at(10, 10), gfx::mixPixels(gfx::colourToPixel(game::FireColours[15]), 0, 1));
}

TEST(ParticleTest, ConfettiDrawsAFreshRandomColourForEachOfItsFourPixels) {
  platform::seedRandom(8);
  gfx::Canvas canvas;
  Particle p(px(20), px(20), 0, 0, 300, ParticleKind::ConfettiSquare);
  p.draw(canvas);
  platform::seedRandom(8);
  for (auto [x, y] : {std::pair{20, 20}, {21, 20}, {20, 21}, {21, 21}}) {
    const std::uint32_t colour = game::FireColours[static_cast<std::size_t>(platform::nextRandom() % 16)];
    EXPECT_EQ(canvas.at(x, y), gfx::mixPixels(gfx::colourToPixel(colour), 0, 30));
  }
}

TEST(EffectTest, BlastDrawsItsRandomNumbersAroundMakingEachParticle) {
  platform::seedRandom(21);
  game::Blast blast(px(50), px(30));
  const std::uint32_t after = platform::randomState();
  platform::seedRandom(21);
  for (const Particle* p : blast.particles()) {
    const int r1 = platform::nextRandom();
    const int r2 = platform::nextRandom();
    const int r3 = platform::nextRandom();
    const int r4 = platform::nextRandom();
    EXPECT_EQ(p->vx(), (r1 - 0x3FFF) * 8);
    EXPECT_EQ(p->vy(), (r2 - 0x3FFF) * 8);
    EXPECT_EQ(p->x(), px(50 + r4 % 20 - 10));
    EXPECT_EQ(p->y(), px(30 + r3 % 12 - 6));
    EXPECT_EQ(p->kind(), ParticleKind::ConfettiSquare);
  }
  EXPECT_EQ(platform::randomState(), after);
  EXPECT_EQ(blast.particles().size(), 50);
  for (int i = 0; i < 30; ++i) blast.update(10);
  EXPECT_FALSE(blast.finished());
  blast.update(10);
  EXPECT_TRUE(blast.finished());
}

TEST(EffectTest, ExplosionPlaysSixtyFourUpdatesOnlyOnceStarted) {
  game::Explosion idle(px(50), px(30));
  for (int i = 0; i < 100; ++i) idle.update(10);
  EXPECT_FALSE(idle.finished());
  EXPECT_FALSE(idle.active());

  game::Explosion explosion(px(50), px(30));
  explosion.start();
  for (int i = 0; i < 63; ++i) explosion.update(10);
  EXPECT_TRUE(explosion.active());
  EXPECT_EQ(explosion.counter(), 63);
  explosion.update(10);
  EXPECT_TRUE(explosion.finished());
  EXPECT_FALSE(explosion.active());
}

}  // namespace

namespace {

TEST(ParticleTest, ACanvasReportingMoreThanItsBlockGetsOnlyThePixelsBlendPointPlots) {
  platform::DisplayProperties wide;
  wide.cxWidth = 480;
  gfx::Canvas canvas(wide);
  gfx::Canvas expected(wide);
  Particle p(px(300), px(318), 0, 0, 300, ParticleKind::FireCross);
  p.draw(canvas);
  const std::uint32_t red = game::FireColours[0];
  for (auto [x, y] : {std::pair{300, 318}, {301, 318}, {299, 318}, {300, 319}, {300, 317}}) {
    gfx::blendPoint(expected, px(x), px(y), red, 30);
  }
  EXPECT_TRUE(std::equal(canvas.pixelBlock(), canvas.pixelBlock() + gfx::Canvas::kBlockPixels, expected.pixelBlock()));
}

}  // namespace
