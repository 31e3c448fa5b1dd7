// How a game frame is drawn: the frame each object picks from its picture, where it lands,
// and what covers what.
#include <gtest/gtest.h>

#include "game/fire_brick.hpp"
#include "shell/process_state.hpp"
#include "tests/game/game_fixture.hpp"

namespace {

using game::BallKind;
using game_testing::coordinatePicture;
using game_testing::px;
using game_testing::sourcePixel;

class DrawTest : public game_testing::GameFixture {
 protected:
  gfx::Canvas canvas_;
};

TEST_F(DrawTest, EachObjectDrawsTheFrameOfItsStateAtItsPlace) {
  auto& assets = shell::process().assets;
  assets.metalPicture = coordinatePicture(40, 120);
  assets.gemPicture = coordinatePicture(60, 120);
  assets.stonePicture = coordinatePicture(20, 120);
  assets.hidePicture = coordinatePicture(20, 120);
  assets.firePicture = coordinatePicture(60, 120);
  assets.ballPicture = coordinatePicture(48, 36);
  assets.itemPicture = coordinatePicture(210, 60);
  assets.blastPicture = coordinatePicture(384, 192);

  const auto metal = game::makeBrick(20, 0, 0);
  metal->hit();
  const auto gem = game::makeBrick(31, 1, 0);
  gem->hit();
  const auto stone = game::makeBrick(13, 2, 1);
  game::FireBrick fire(px(60), 0, 0);
  for (int i = 0; i < 25; ++i) fire.update(10);
  const auto hide = game::makeBrick(40, 4, 0);
  for (game::Brick* brick : {metal.get(), gem.get(), stone.get(), static_cast<game::Brick*>(&fire), hide.get()}) brick->draw(canvas_);
  EXPECT_EQ(canvas_.at(0, 0), sourcePixel(40, 20, 0));     // Metal, damaged
  EXPECT_EQ(canvas_.at(20, 0), sourcePixel(60, 20, 12));   // Gem with 2 hit points, picture row 1
  EXPECT_EQ(canvas_.at(40, 12), sourcePixel(20, 0, 36));   // value 13: picture row 3
  EXPECT_EQ(canvas_.at(60, 0), sourcePixel(60, 40, 0));    // Fire at 250 ms
  EXPECT_EQ(canvas_.at(80, 0), 0);                         // Hide, intact: invisible
  gem->hit();
  hide->hit();
  gem->draw(canvas_);
  hide->draw(canvas_);
  EXPECT_EQ(canvas_.at(39, 11), sourcePixel(60, 59, 23));  // Gem with 1 hit point
  EXPECT_EQ(canvas_.at(80, 0), sourcePixel(20, 0, 0));

  game::Ball fireBall(px(100), px(100), 0, 0, 0x4000, BallKind::Fire);
  for (int i = 0; i < 119; ++i) fireBall.update(10);
  fireBall.draw(canvas_);
  game::Ball(px(120), px(100), 0, 0, 0x4000, BallKind::Pierce).draw(canvas_);
  game::Ball(px(140), px(100), 0, 0, 0x4000, BallKind::Normal).draw(canvas_);
  EXPECT_EQ(canvas_.at(100, 100), sourcePixel(48, 36, 12));  // the counter wraps at 40: frame 39 / 10
  EXPECT_EQ(canvas_.at(120, 100), sourcePixel(48, 0, 24));
  EXPECT_EQ(canvas_.at(151, 111), sourcePixel(48, 11, 11));

  game::Item(px(10), px(200), 0, 0, game::ItemKind::Shorter).draw(canvas_);
  game::Item(px(50), px(200), 0, 0, game::ItemKind::WeakBricks).draw(canvas_);
  game::Item(px(90), px(200), 0, 0, game::ItemKind::None).draw(canvas_);
  EXPECT_EQ(canvas_.at(10, 200), sourcePixel(210, 30, 30));
  EXPECT_EQ(canvas_.at(50, 200), sourcePixel(210, 180, 30));
  EXPECT_EQ(canvas_.at(90, 200), 0);

  game::Explosion explosion(px(200), px(280));
  explosion.draw(canvas_);
  EXPECT_EQ(canvas_.at(176, 256), 0);  // not started
  explosion.start();
  for (int i = 0; i < 23; ++i) explosion.update(10);
  explosion.draw(canvas_);
  EXPECT_EQ(canvas_.at(176, 256), sourcePixel(384, 144, 48));  // frame 11: column 3, row 1
  EXPECT_EQ(canvas_.at(223, 303), sourcePixel(384, 191, 95));
}

TEST_F(DrawTest, BricksCoverBallsExplosionsCoverBricksItemsCoverBothAndEffectsCoverItems) {
  constexpr std::uint16_t kExplosion = 0x1111, kStone = 0x2222, kItem = 0x3333, kBall = 0x4444;
  const auto filled = [](int width, int height, std::uint16_t value) {
    gfx::Surface s;
    s.width = width;
    s.height = height;
    s.pixels.assign(static_cast<std::size_t>(width * height), value);
    return s;
  };
  auto& assets = shell::process().assets;
  assets.blastPicture = filled(384, 192, kExplosion);
  assets.stonePicture = filled(20, 120, kStone);
  assets.firePicture = filled(60, 120, 0x6666);
  assets.itemPicture = filled(210, 60, kItem);
  assets.ballPicture = filled(12, 36, kBall);
  game::GameScreen& game = emptyField();
  rig().setCell(5, 3, 60);
  rig().setCell(0, 10, 10);
  rig().addRestingBall(px(110));
  rig().strikeCell(5, 3);  // as a shot strikes it: the Fire brick explodes
  rig().setCell(5, 4, 10);
  rig().addFlyingBall(px(2), px(122), 0, 0, 0x4000, BallKind::Normal);  // under the brick at (0, 10)
  rig().addItem(game::ItemKind::Guns, px(105), px(50), 0, 0);
  rig().setCell(8, 5, 20);
  rig().strikeCell(8, 5);  // a Spark at the brick's centre, (170, 66)
  rig().addItem(game::ItemKind::Guns, px(160), px(55), 0, 0);
  game.draw(canvas_);
  EXPECT_EQ(canvas_.at(101, 49), kExplosion);  // over the brick at (5, 4)
  EXPECT_EQ(canvas_.at(110, 55), kItem);
  EXPECT_EQ(canvas_.at(90, 62), kExplosion);
  EXPECT_EQ(canvas_.at(5, 125), kStone);  // the ball lies under the brick
  EXPECT_EQ(canvas_.at(5, 133), kBall);
  EXPECT_NE(canvas_.at(170, 66), kItem);  // effects lie over items
}

}  // namespace
