#include "game/brick.hpp"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "game/fire_brick.hpp"
#include "shell/process_state.hpp"
#include "tests/game/game_fixture.hpp"

namespace {

using game::BrickKind;
using game::makeBrick;
using game_testing::px;

class BrickTest : public game_testing::GameFixture {};

TEST_F(BrickTest, ALevelMapValueGivesTheKindByItsTensAndThePictureRowByItsUnits) {
  struct Case {
    std::int32_t value;
    BrickKind kind;
    std::int32_t hitPoints, variant;
  };
  const Case cases[] = {{0, BrickKind::Empty, 0, 0},     {9, BrickKind::Empty, 0, 9}, {13, BrickKind::Stone, 1, 3},
                        {20, BrickKind::Metal, 2, 0},    {39, BrickKind::Gem, 3, 9},  {41, BrickKind::Hide, 2, 1},
                        {55, BrickKind::Stable, 100, 5}, {62, BrickKind::Fire, 1, 2}, {70, BrickKind::Empty, 0, 0},
                        {-13, BrickKind::Empty, 0, -3},  {-5, BrickKind::Empty, 0, -5}};
  for (const Case& c : cases) {
    const auto brick = makeBrick(c.value, 3, 2);
    EXPECT_EQ(std::tuple(brick->kind(), brick->hitPoints(), brick->variant(), brick->x(), brick->y()),
              std::tuple(c.kind, c.hitPoints, c.variant, px(60), px(24)))
        << c.value;
  }
}

TEST_F(BrickTest, ABrickScoresOnceOnTheHitThatBreaksItAndWeakeningLeavesOneHitPoint) {
  const auto stone = makeBrick(10, 0, 0);
  const auto metal = makeBrick(20, 0, 0);
  for (auto [brick, hitPointsLeft, total] : {std::tuple{stone.get(), 0, 20}, {stone.get(), 0, 20}, {metal.get(), 1, 20},
                                             {metal.get(), 0, 60}}) {
    EXPECT_EQ(brick->hit(), hitPointsLeft);
    EXPECT_EQ(score(), total);
  }
  stone->weaken();
  EXPECT_EQ(stone->hitPoints(), 0);
  for (std::int32_t value : {40, 50, 30}) {
    const auto brick = makeBrick(value, 0, 0);
    brick->weaken();
    EXPECT_EQ(brick->hitPoints(), 1) << value;
  }
  makeBrick(50, 0, 0)->destroy();
  EXPECT_EQ(score(), 60 + 90);
}

TEST_F(BrickTest, AFireBrickFlickersAndOnceDestroyedExplodesAndRaisesItsFlagAtEveryLaterUpdate) {
  loadBlastSound();
  game::FireBrick fire(0, 0, 0);
  for (int i = 0; i < 29; ++i) fire.update(10);
  EXPECT_EQ(fire.animTime(), 290);
  fire.update(10);
  EXPECT_EQ(fire.animTime(), 0);
  fire.update(310);
  EXPECT_EQ(fire.animTime(), 10);  // one subtraction only

  fire.destroy();
  EXPECT_EQ(std::pair(score(), shell::process().assets.blastSound->plays()), std::pair(80u, 1));
  for (int i = 0; i < 63; ++i) fire.update(10);
  EXPECT_FALSE(fire.takeExploded());
  fire.update(10);
  EXPECT_TRUE(fire.takeExploded());
  EXPECT_FALSE(fire.takeExploded());
  fire.update(10);  // raised again at every update from now on
  EXPECT_TRUE(fire.takeExploded());

  shell::process().muted = true;
  game::FireBrick(0, 0, 0).destroy();
  shell::process().muted = false;
  shell::process().soundOn = 0;
  game::FireBrick(0, 0, 0).destroy();
  EXPECT_EQ(shell::process().assets.blastSound->plays(), 1);
}

}  // namespace
