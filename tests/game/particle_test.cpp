#include "game/particle.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "game/blast.hpp"
#include "game/spark.hpp"
#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/random.hpp"
#include "tests/game/game_fixture.hpp"

namespace {

using game::Particle;
using game::ParticleKind;
using game_testing::motion;
using game_testing::px;

constexpr std::pair<int, int> kCross[] = {{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}};

std::uint16_t overBlack(std::uint32_t colour, int level) { return gfx::mixPixels(gfx::colourToPixel(colour), 0, level); }

TEST(ParticleTest, KeepsSevenEighthsOfItsVelocityAndDiesOnlyBelowZeroLife) {
  Particle p(0, 0, 0x10000, -0x10000, 20, ParticleKind::FireCross);
  p.update(10);
  p.update(10);
  EXPECT_FALSE(p.isDead());  // life 0
  p.update(10);
  EXPECT_EQ(std::tuple(p.x(), p.y(), p.isDead()), std::tuple(0x2A400, -0x2A400, true));  // 1 + 0.875 + 0.765625 pixels
  p.update(10);
  EXPECT_EQ(p.life(), -10);
  gfx::Canvas canvas;
  p.set(px(10), px(10), 0, 0, -1, ParticleKind::FireCross);
  p.draw(canvas);
  EXPECT_EQ(canvas.at(10, 10), 0);
}

TEST(ParticleTest, FadesThroughItsColourTableWhileItsMixingLevelFallsWithItsLife) {
  struct Case {
    ParticleKind kind;
    std::int32_t initialLife, life;
    std::uint32_t colour;
    int level;
  };
  const Case cases[] = {{ParticleKind::FireCross, 300, 300, game::FireColours[0], 30},
                        {ParticleKind::FireCross, 300, 10, game::FireColours[15], 1},
                        {ParticleKind::FireCross, 200, 100, game::FireColours[7], 10},
                        {ParticleKind::IceCross, 128, 128, game::IceColours[0], 31},  // 128 / 4, capped
                        {ParticleKind::IceCross, 128, 68, game::IceColours[7], 17}};
  for (const Case& c : cases) {
    gfx::Canvas canvas;
    Particle p(px(10), px(10), 0, 0, c.initialLife, c.kind);
    while (p.life() > c.life) p.update(10);
    p.draw(canvas);
    for (auto [dx, dy] : kCross) EXPECT_EQ(canvas.at(10 + dx, 10 + dy), overBlack(c.colour, c.level)) << c.life;
    EXPECT_EQ(canvas.at(11, 11), 0);
  }
}

TEST(ParticleTest, ConfettiDrawsAFreshRandomColourForEachOfItsFourPixels) {
  platform::seedRandom(8);
  gfx::Canvas canvas;
  Particle(px(20), px(20), 0, 0, 300, ParticleKind::ConfettiSquare).draw(canvas);
  platform::seedRandom(8);
  for (auto [x, y] : {std::pair{20, 20}, {21, 20}, {20, 21}, {21, 21}}) {
    EXPECT_EQ(canvas.at(x, y), overBlack(game::FireColours[static_cast<std::size_t>(platform::nextRandom() % 16)], 30));
  }
  EXPECT_EQ(canvas.at(19, 20), 0);
}

TEST(ParticleTest, PixelsOffTheCanvasOrPastItsBlockAreNotPlotted) {
  platform::DisplayProperties wide;  // reports more than its block holds
  wide.cxWidth = 480;
  for (const auto& [properties, x, y] :
       {std::tuple{platform::DisplayProperties{}, 0, 0}, {platform::DisplayProperties{}, 239, 319}, {wide, 300, 318}}) {
    gfx::Canvas canvas(properties);
    gfx::Canvas expected(properties);
    Particle(px(x), px(y), 0, 0, 300, ParticleKind::FireCross).draw(canvas);
    for (auto [dx, dy] : kCross) gfx::blendPoint(expected, px(x + dx), px(y + dy), game::FireColours[0], 30);
    EXPECT_TRUE(std::equal(canvas.pixelBlock(), canvas.pixelBlock() + gfx::Canvas::kBlockPixels, expected.pixelBlock()))
        << x << "," << y;
  }
}

TEST(EffectTest, BlastsAndSparksDrawTheirNumbersInOrderAndFinishWhenAllTheirParticlesAreDead) {
  platform::seedRandom(21);
  game::Blast blast(px(50), px(30));
  game::Spark spark(px(50), px(30));
  platform::seedRandom(21);
  for (const Particle* p : blast.particles()) {
    const int r1 = platform::nextRandom(), r2 = platform::nextRandom();
    const int r3 = platform::nextRandom(), r4 = platform::nextRandom();
    EXPECT_EQ(motion(*p), (std::array<Fixed, 4>{px(50 + r4 % 20 - 10), px(30 + r3 % 12 - 6), (r1 - 0x3FFF) * 8, (r2 - 0x3FFF) * 8}));
  }
  for (const Particle* p : spark.particles()) {
    const int r1 = platform::nextRandom(), r2 = platform::nextRandom();
    EXPECT_EQ(motion(*p), (std::array<Fixed, 4>{px(50), px(30), (r1 - 0x3FFF) * 8, (r2 - 0x3FFF) * 8}));
  }
  EXPECT_EQ(std::pair(blast.particles().size(), spark.particles().size()), std::pair(50, 5));
  for (int i = 0; i < 21; ++i) spark.update(10);  // 200 ms
  EXPECT_TRUE(spark.finished());
  for (int i = 0; i < 30; ++i) blast.update(10);  // 300 ms
  EXPECT_FALSE(blast.finished());
  blast.update(10);
  EXPECT_TRUE(blast.finished());
}

}  // namespace
