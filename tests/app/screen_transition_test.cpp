// The wipe: which tiles show the screen left, the screen entered, or a mix, at which level.
#include "app/screen_transition.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/process_state.hpp"
#include "gfx/pixel.hpp"
#include "platform/files.hpp"
#include "platform/headless/headless_audio.hpp"
#include "tests/app/test_files.hpp"
#include "tests/support/scratch_folder.hpp"

namespace app_test {
namespace {

using app::ScreenTransition;

constexpr std::uint16_t kFrom = 0xF800;  // red
constexpr std::uint16_t kTo = 0x001F;    // blue

class TransitionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app::resetProcessState();
    platform::setDataFolder(data_.path());
    writeWav(data_.file("menu_select.wav"), 100);
    transition_ = std::make_unique<ScreenTransition>();
    std::fill_n(transition_->from().pixelBlock(), gfx::Canvas::kBlockPixels, kFrom);
    std::fill_n(transition_->to().pixelBlock(), gfx::Canvas::kBlockPixels, kTo);
  }
  void TearDown() override {
    transition_.reset();
    app::resetProcessState();
  }

  void advanceTo(std::int32_t step) {
    while (transition_->step() != step) ASSERT_FALSE(transition_->advance());
    transition_->draw(canvas_);
  }

  // Every pixel of tile (row a, column b) must be `expected`.
  void expectTile(int a, int b, std::uint16_t expected) {
    for (int y = 16 * a; y < 16 * a + 16; ++y) {
      for (int x = 16 * b; x < 16 * b + 16; ++x) {
        ASSERT_EQ(canvas_.at(x, y), expected) << "tile row " << a << " column " << b << " pixel " << x << "," << y;
      }
    }
  }

  static std::uint16_t mixed(int level) { return gfx::mixPixels(kFrom, kTo, level); }

  testing_support::ScratchFolder data_;
  std::unique_ptr<ScreenTransition> transition_;
  gfx::Canvas canvas_;
};

TEST_F(TransitionTest, AtStepTenTheSoftEdgeRunsAlongTenDiagonals) {
  advanceTo(10);
  // d = 2a + b - 10
  expectTile(0, 5, kTo);         // d = -5
  expectTile(0, 6, mixed(4));    // d = -4
  expectTile(0, 7, mixed(4));    // d = -3
  expectTile(1, 6, mixed(10));   // d = -2
  expectTile(0, 9, mixed(10));   // d = -1
  expectTile(5, 0, mixed(16));   // d = 0
  expectTile(2, 7, mixed(16));   // d = 1
  expectTile(6, 0, mixed(22));   // d = 2
  expectTile(4, 5, mixed(22));   // d = 3
  expectTile(7, 0, mixed(27));   // d = 4
  expectTile(7, 1, mixed(27));   // d = 5
  expectTile(8, 0, kFrom);       // d = 6
  expectTile(19, 14, kFrom);
  expectTile(0, 0, kTo);
}

TEST_F(TransitionTest, AtStepZeroTheTopLeftTileIsAlreadyHalfMixed) {
  advanceTo(0);
  transition_->draw(canvas_);
  expectTile(0, 0, mixed(16));
  expectTile(0, 5, mixed(27));
  expectTile(0, 6, kFrom);
  expectTile(3, 0, kFrom);
}

TEST_F(TransitionTest, AtTheLastStepOnlyTheBottomRightCornerStillShowsTheOldScreen) {
  advanceTo(55);
  expectTile(19, 14, mixed(4));  // d = -3
  expectTile(19, 13, mixed(4));  // d = -4
  expectTile(19, 12, kTo);       // d = -5
  expectTile(18, 14, kTo);
  expectTile(0, 0, kTo);
}

TEST_F(TransitionTest, EndsAfter56AdvancesAndStartsTheNextAtZero) {
  for (int i = 1; i < ScreenTransition::kSteps; ++i) ASSERT_FALSE(transition_->advance());
  EXPECT_EQ(transition_->step(), 55);
  EXPECT_TRUE(transition_->advance());
  EXPECT_EQ(transition_->step(), 0);
  EXPECT_FALSE(transition_->advance());
}

TEST_F(TransitionTest, ClicksAtBeginWhenSoundIsOnEvenWhileMutedButNotTwiceAtOnce) {
  app::process().soundOn = 1;
  app::process().muted = true;
  transition_->begin(app::AppState::Help);
  EXPECT_EQ(transition_->target(), app::AppState::Help);
  EXPECT_EQ(transition_->clickSound().plays(), 1);
  transition_->begin(app::AppState::Menu);  // the click of 100 ms is still sounding
  EXPECT_EQ(transition_->clickSound().plays(), 1);
  for (int i = 0; i < 10; ++i) platform::headlessAudio().advance10ms();
  transition_->begin(app::AppState::Menu);
  EXPECT_EQ(transition_->clickSound().plays(), 2);
  for (int i = 0; i < 10; ++i) platform::headlessAudio().advance10ms();
  app::process().soundOn = 0;
  transition_->begin(app::AppState::About);
  EXPECT_EQ(transition_->target(), app::AppState::About);
  EXPECT_EQ(transition_->clickSound().plays(), 2);
}

}  // namespace
}  // namespace app_test
