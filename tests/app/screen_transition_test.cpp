// The wipe: which tiles show the screen left, the screen entered, or a mix at which level;
// when it ends; and its click.
#include "app/screen_transition.hpp"

#include "gfx/pixel.hpp"
#include "platform/headless/headless_audio.hpp"
#include "tests/app/app_fixture.hpp"

namespace app_test {
namespace {

using app::ScreenTransition;

constexpr std::uint16_t kFrom = 0xF800;  // red
constexpr std::uint16_t kTo = 0x001F;    // blue

// Tile (row a, column b) lies on diagonal d = 2a + b - step: from -4 to 5 a mix of the screen
// left over the one entered, beyond that the one left, before it the one entered.
std::uint16_t expectedTile(int a, int b, int step) {
  const int d = 2 * a + b - step;
  if (d < -4) return kTo;
  if (d > 5) return kFrom;
  static constexpr int kLevels[] = {4, 4, 10, 10, 16, 16, 22, 22, 27, 27};
  return gfx::mixPixels(kFrom, kTo, kLevels[d + 4]);
}

using TransitionTest = ShellFixture;

TEST_F(TransitionTest, EveryTileAtEveryStepAndTheEndAfter56Updates) {
  ScreenTransition transition;
  std::fill_n(transition.from().pixelBlock(), gfx::Canvas::kBlockPixels, kFrom);
  std::fill_n(transition.to().pixelBlock(), gfx::Canvas::kBlockPixels, kTo);
  gfx::Canvas canvas;
  for (int step = 0; step < ScreenTransition::kSteps; ++step) {
    ASSERT_EQ(transition.step(), step);
    transition.draw(canvas);
    for (int y = 0; y < 320; ++y) {
      for (int x = 0; x < 240; ++x) ASSERT_EQ(canvas.at(x, y), expectedTile(y / 16, x / 16, step)) << step << ": " << x << "," << y;
    }
    ASSERT_EQ(transition.advance(), step == ScreenTransition::kSteps - 1);
  }
  EXPECT_EQ(transition.step(), 0);
  EXPECT_EQ(expectedTile(19, 14, 55), gfx::mixPixels(kFrom, kTo, 4));  // only the last corner is left
}

TEST_F(TransitionTest, ClicksAtBeginWhenSoundIsOnEvenWhileMutedButNotTwiceAtOnce) {
  ScreenTransition transition;
  shell::process().muted = true;
  transition.begin(app::AppState::Help);
  transition.begin(app::AppState::Menu);  // the click of 100 ms is still sounding
  EXPECT_EQ(transition.target(), app::AppState::Menu);
  EXPECT_EQ(transition.clickSound().plays(), 1);
  for (int i = 0; i < 10; ++i) platform::headlessAudio().advance10ms();
  shell::process().soundOn = 0;
  transition.begin(app::AppState::About);
  EXPECT_EQ(transition.clickSound().plays(), 1);
  shell::process().soundOn = 1;
  transition.begin(app::AppState::About);
  EXPECT_EQ(transition.clickSound().plays(), 2);
}

}  // namespace
}  // namespace app_test
