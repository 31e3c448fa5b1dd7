// The menu, options and help screens: selection moves, stylus rules at their exact bounds,
// and what each draws, on pictures made for the test.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/help_screen.hpp"
#include "app/main_menu.hpp"
#include "app/options_screen.hpp"
#include "app/process_state.hpp"
#include "gfx/pixel.hpp"
#include "platform/files.hpp"
#include "tests/app/test_files.hpp"
#include "tests/support/scratch_folder.hpp"

namespace app_test {
namespace {

using app::process;

constexpr Rgb kMenuBack{40, 40, 80};
constexpr Rgb kOptionsBack{24, 64, 120};
constexpr Rgb kMusicMark{248, 248, 0};
constexpr Rgb kSoundMark{0, 248, 248};

Rgb rowColour(int row) { return Rgb{static_cast<std::uint8_t>(40 * row + 48), 200, 8}; }

class ScreensTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app::resetProcessState();
    platform::setDataFolder(data_.path());
    std::filesystem::create_directories(data_.file("image"));
    writeFlatPng(data_.file("image/menucover.png"), 240, 320, kMenuBack);
    writePng(data_.file("image/menuselect.png"), 176, 250, [](int, int y) { return rowColour(y / 50); });
    writeFlatPng(data_.file("image/optioncover.png"), 240, 320, kOptionsBack);
    writePng(data_.file("image/optionselect.png"), 144, 144, [](int, int y) { return rowColour(y / 36); });
    writePng(data_.file("image/change.png"), 40, 80, [](int, int y) { return y < 40 ? kMusicMark : kSoundMark; });
  }
  void TearDown() override { app::resetProcessState(); }

  static void penAt(int x, int y) {
    process().penX = toFixed(x);
    process().penY = toFixed(y);
  }

  testing_support::ScratchFolder data_;
  gfx::Canvas canvas_;
};

TEST_F(ScreensTest, MenuKeysWrapRoundTheFiveRowsAndLeaveRowFiveOnTheirWay) {
  app::MainMenu menu;
  menu.selectUp();
  EXPECT_EQ(menu.selection(), 4);
  menu.selectDown();
  EXPECT_EQ(menu.selection(), 0);
  penAt(0, 300);
  menu.penSelect();
  ASSERT_EQ(menu.selection(), 5);
  menu.selectDown();
  EXPECT_EQ(menu.selection(), 1);
  menu.penSelect();
  menu.selectUp();
  EXPECT_EQ(menu.selection(), 4);
}

TEST_F(ScreensTest, MenuPenDownSelectsTheRowUnderThePenAnywhere) {
  app::MainMenu menu;
  const std::pair<int, std::int32_t> cases[] = {{0, 0},   {10, 0},  {37, 0},  {87, 0},  {88, 1},
                                                {100, 1}, {287, 4}, {288, 5}, {300, 5}, {319, 5}};
  for (const auto& [y, row] : cases) {
    penAt(239, y);
    menu.penSelect();
    EXPECT_EQ(menu.selection(), row) << "y " << y;
  }
}

TEST_F(ScreensTest, MenuPenMoveSelectsOnlyInsideTheFirstRowsArea) {
  struct Case {
    int x, y;
    std::int32_t selection;  // after starting from row 3
  };
  const Case cases[] = {{100, 200, 3}, {100, 60, 0}, {31, 60, 3}, {32, 60, 0},  {208, 60, 0},
                        {209, 60, 3},  {100, 37, 3}, {100, 38, 0}, {100, 88, 1}, {100, 89, 3}};
  for (const Case& c : cases) {
    app::MainMenu menu;
    for (int i = 0; i < 3; ++i) menu.selectDown();
    penAt(c.x, c.y);
    menu.dragSelect();
    EXPECT_EQ(menu.selection(), c.selection) << c.x << "," << c.y;
  }
}

TEST_F(ScreensTest, MenuDrawsTheHighlightRowOfItsSelectionAndNoneForRowFive) {
  app::MainMenu menu;
  menu.selectDown();
  menu.selectDown();
  menu.draw(canvas_);
  EXPECT_EQ(canvas_.at(32, 138), pixelOf(rowColour(2)));
  EXPECT_EQ(canvas_.at(207, 187), pixelOf(rowColour(2)));
  EXPECT_EQ(canvas_.at(31, 138), pixelOf(kMenuBack));
  EXPECT_EQ(canvas_.at(32, 188), pixelOf(kMenuBack));
  penAt(0, 300);
  menu.penSelect();
  menu.draw(canvas_);
  EXPECT_EQ(canvas_.at(100, 290), pixelOf(kMenuBack));
  EXPECT_EQ(canvas_.at(100, 138), pixelOf(kMenuBack));
}

TEST_F(ScreensTest, OptionsReleaseTestHasExclusiveBoundsAndTogglesTheSwitchesItself) {
  struct Case {
    int x, y;
    std::int32_t result;
    bool musicToggled, soundToggled;
    std::int32_t selection;  // from row 1
  };
  const Case cases[] = {
      {10, 110, 0, true, false, 1},   {0, 110, 0, false, false, 1},   {10, 104, 0, false, false, 1},
      {183, 147, 0, true, false, 1},  {184, 110, 0, false, false, 1}, {10, 148, 0, false, false, 1},
      {100, 160, 1, false, true, 1},  {183, 187, 1, false, true, 1},  {100, 152, 0, false, false, 1},
      {100, 188, 0, false, false, 1}, {1, 201, 2, false, false, 2},   {143, 235, 2, false, false, 2},
      {144, 210, 0, false, false, 1}, {10, 236, 0, false, false, 1},  {81, 258, 3, false, false, 3},
      {223, 292, 3, false, false, 3}, {80, 270, 0, false, false, 1},  {224, 270, 0, false, false, 1},
      {100, 293, 0, false, false, 1}, {100, 257, 0, false, false, 1},
  };
  for (const Case& c : cases) {
    process().musicOn = 1;
    process().soundOn = 0;
    app::OptionsScreen options;
    options.selectDown();
    penAt(c.x, c.y);
    EXPECT_EQ(options.releaseTest(), c.result) << c.x << "," << c.y;
    EXPECT_EQ(process().musicOn, c.musicToggled ? 0 : 1) << c.x << "," << c.y;
    EXPECT_EQ(process().soundOn, c.soundToggled ? 1 : 0) << c.x << "," << c.y;
    EXPECT_EQ(options.selection(), c.selection) << c.x << "," << c.y;
  }
}

TEST_F(ScreensTest, OptionsKeysWrapRoundTheFourRows) {
  app::OptionsScreen options;
  options.selectUp();
  EXPECT_EQ(options.selection(), 3);
  options.selectDown();
  EXPECT_EQ(options.selection(), 0);
}

TEST_F(ScreensTest, OptionsDrawAMarkForEachSwitchThatIsOn) {
  app::OptionsScreen options;
  process().musicOn = 1;
  process().soundOn = 1;
  options.draw(canvas_);
  EXPECT_EQ(canvas_.at(144, 108), pixelOf(kMusicMark));
  EXPECT_EQ(canvas_.at(183, 147), pixelOf(kMusicMark));
  EXPECT_EQ(canvas_.at(144, 148), pixelOf(kSoundMark));
  EXPECT_EQ(canvas_.at(183, 187), pixelOf(kSoundMark));
  EXPECT_EQ(canvas_.at(184, 120), pixelOf(kOptionsBack));
  EXPECT_EQ(canvas_.at(0, 104), pixelOf(rowColour(0)));  // the highlight of row 0
  EXPECT_EQ(canvas_.at(143, 139), pixelOf(rowColour(0)));
  process().musicOn = 0;
  options.draw(canvas_);
  EXPECT_EQ(canvas_.at(160, 120), pixelOf(kOptionsBack));
  EXPECT_EQ(canvas_.at(160, 160), pixelOf(kSoundMark));
  process().soundOn = 0;
  for (int i = 0; i < 3; ++i) options.selectDown();
  options.draw(canvas_);
  EXPECT_EQ(canvas_.at(160, 160), pixelOf(kOptionsBack));
  EXPECT_EQ(canvas_.at(80, 257), pixelOf(rowColour(3)));
  EXPECT_EQ(canvas_.at(223, 292), pixelOf(rowColour(3)));
  EXPECT_EQ(canvas_.at(10, 110), pixelOf(kOptionsBack));
}

TEST_F(ScreensTest, HelpPagesShowKeysStylusBricksItemsAndNothingBeyond) {
  const char* names[] = {"keyhelp.png", "mousehelp.png", "brickhelp.png", "toolhelp.png"};
  for (int i = 0; i < 4; ++i) writeFlatPng(data_.file(std::string("image/") + names[i]), 240, 320, rowColour(i));
  app::HelpScreen help;
  for (int page = 0; page < 4; ++page) {
    ASSERT_EQ(help.page(), page);
    help.draw(canvas_);
    EXPECT_EQ(canvas_.at(120, 160), pixelOf(rowColour(page))) << page;
    help.nextPage();
  }
  std::fill_n(canvas_.pixelBlock(), gfx::Canvas::kBlockPixels, std::uint16_t{0x1234});
  help.draw(canvas_);
  EXPECT_EQ(canvas_.at(120, 160), 0x1234);
  help.resetPage();
  EXPECT_EQ(help.page(), 0);
}

}  // namespace
}  // namespace app_test
