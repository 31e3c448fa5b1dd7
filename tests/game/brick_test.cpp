#include "game/brick.hpp"

#include <gtest/gtest.h>

#include "app/process_state.hpp"
#include "game/fire_brick.hpp"
#include "tests/game/game_fixture.hpp"

namespace {

using game::BrickKind;
using game::makeBrick;
using game_testing::px;

class BrickTest : public game_testing::GameFixture {
 protected:
  // A picture whose every pixel tells where in the picture it lies (never black).
  static gfx::Surface coordinatePicture(int width, int height) {
    gfx::Surface s;
    s.width = width;
    s.height = height;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) s.pixels.push_back(static_cast<std::uint16_t>(y * width + x + 1));
    }
    return s;
  }
  static std::uint16_t source(int width, int x, int y) { return static_cast<std::uint16_t>(y * width + x + 1); }
  std::int32_t score() const { return app::process().scoreDisplay->value(); }
};

TEST_F(BrickTest, ALevelMapValueGivesKindAndPictureRowByItsDecimalDigits) {
  struct Case {
    std::int32_t value;
    BrickKind kind;
    std::int32_t hitPoints;
    std::int32_t variant;
  };
  const Case cases[] = {{0, BrickKind::Empty, 0, 0},   {9, BrickKind::Empty, 0, 9},      {13, BrickKind::Stone, 1, 3},
                        {20, BrickKind::Metal, 2, 0},  {39, BrickKind::Gem, 3, 9},       {41, BrickKind::Hide, 2, 1},
                        {55, BrickKind::Stable, 100, 5}, {62, BrickKind::Fire, 1, 2},    {70, BrickKind::Empty, 0, 0},
                        {-13, BrickKind::Empty, 0, -3}, {-5, BrickKind::Empty, 0, -5}};
  for (const Case& c : cases) {
    const auto brick = makeBrick(c.value, 3, 2);
    EXPECT_EQ(brick->kind(), c.kind) << c.value;
    EXPECT_EQ(brick->hitPoints(), c.hitPoints) << c.value;
    EXPECT_EQ(brick->variant(), c.variant) << c.value;
    EXPECT_EQ(brick->x(), px(60));
    EXPECT_EQ(brick->y(), px(24));
  }
}

TEST_F(BrickTest, HitGivesTheScoreOnlyOnTheLastHit) {
  const auto stone = makeBrick(10, 0, 0);
  EXPECT_EQ(stone->hit(), 0);
  EXPECT_EQ(score(), 20);
  EXPECT_EQ(stone->hit(), 0);
  EXPECT_EQ(score(), 20);
  const auto metal = makeBrick(20, 0, 0);
  EXPECT_EQ(metal->hit(), 1);
  EXPECT_EQ(score(), 20);
  EXPECT_EQ(metal->hit(), 0);
  EXPECT_EQ(score(), 60);
}

TEST_F(BrickTest, WeakenLeavesOneHitPointOnAnyBrickThatHasSome) {
  const auto hide = makeBrick(40, 0, 0);
  const auto stable = makeBrick(50, 0, 0);
  const auto broken = makeBrick(10, 0, 0);
  broken->destroy();
  for (game::Brick* b : {hide.get(), stable.get(), broken.get()}) b->weaken();
  EXPECT_EQ(hide->hitPoints(), 1);
  EXPECT_EQ(stable->hitPoints(), 1);
  EXPECT_EQ(broken->hitPoints(), 0);
  EXPECT_EQ(stable->hit(), 0);
  EXPECT_EQ(score(), 20 + 90);
}

TEST_F(BrickTest, FramesShowDamageFlickerAndThePictureRow) {
  auto& assets = app::process().assets;
  assets.gemPicture = coordinatePicture(60, 120);
  assets.firePicture = coordinatePicture(60, 120);
  assets.stonePicture = coordinatePicture(20, 120);
  assets.hidePicture = coordinatePicture(20, 120);
  gfx::Canvas canvas;

  const auto gem = makeBrick(30, 0, 0);
  gem->hit();
  gem->draw(canvas);
  EXPECT_EQ(canvas.at(0, 0), source(60, 20, 0));
  gem->hit();
  gem->draw(canvas);
  EXPECT_EQ(canvas.at(0, 0), source(60, 40, 0));

  const auto stone = makeBrick(13, 1, 0);
  stone->draw(canvas);
  EXPECT_EQ(canvas.at(20, 0), source(20, 0, 36));

  game::FireBrick fire(px(40), 0, 0);
  for (int i = 0; i < 25; ++i) fire.update(10);
  EXPECT_EQ(fire.animTime(), 250);
  fire.draw(canvas);
  EXPECT_EQ(canvas.at(40, 0), source(60, 40, 0));
  for (int i = 0; i < 5; ++i) fire.update(10);
  EXPECT_EQ(fire.animTime(), 0);

  const auto hide = makeBrick(40, 3, 0);
  hide->draw(canvas);
  EXPECT_EQ(canvas.at(60, 0), 0);
  hide->hit();
  hide->draw(canvas);
  EXPECT_EQ(canvas.at(60, 0), source(20, 0, 0));
}

TEST_F(BrickTest, FireBrickDestroyScoresStartsItsExplosionAndRaisesTheFlagWhenItEnds) {
  game_testing::writeBytes(data_.file("blast.wav"), game_testing::waveFile(0));
  app::process().assets.blastSound = std::make_unique<sound::SoundClip>(data_.file("blast.wav"), false);
  game::FireBrick fire(0, 0, 0);
  fire.destroy();
  EXPECT_EQ(score(), 80);
  EXPECT_EQ(app::process().assets.blastSound->plays(), 1);
  EXPECT_TRUE(fire.explosion().active());
  for (int i = 0; i < 63; ++i) fire.update(10);
  EXPECT_FALSE(fire.takeExploded());
  fire.update(10);
  EXPECT_TRUE(fire.takeExploded());
  EXPECT_FALSE(fire.takeExploded());
  fire.update(10);
  EXPECT_TRUE(fire.takeExploded());

  app::process().muted = true;
  game::FireBrick silent(0, 0, 0);
  silent.destroy();
  EXPECT_EQ(app::process().assets.blastSound->plays(), 1);
}

}  // namespace
