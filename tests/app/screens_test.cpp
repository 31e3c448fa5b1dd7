// The menu, options and help screens: selection moves, stylus rules at their exact bounds,
// and what each draws, on pictures made for the test.
#include "app/help_screen.hpp"
#include "app/main_menu.hpp"
#include "app/options_screen.hpp"
#include "gfx/pixel.hpp"
#include "tests/app/app_fixture.hpp"
#include "tests/support/test_files.hpp"

namespace app_test {
namespace {

using shell::process;
using testing_support::Rgb;

constexpr Rgb kBack{40, 40, 80};
constexpr Rgb kMusicMark{248, 248, 0};
constexpr Rgb kSoundMark{0, 248, 248};

Rgb rowColour(int row) { return Rgb{static_cast<std::uint8_t>(40 * row + 48), 200, 8}; }
std::uint16_t pixelOf(Rgb c) { return gfx::packRgb(c.red, c.green, c.blue); }

class ScreensTest : public ShellFixture {
 protected:
  void SetUp() override {
    ShellFixture::SetUp();
    const auto picture = [&](const char* name, int width, int height, std::function<Rgb(int, int)> colourAt) {
      testing_support::writeRgbPng(data_.file(std::string("image/") + name), width, height, colourAt);
    };
    picture("menucover.png", 240, 320, [](int, int) { return kBack; });
    picture("menuselect.png", 176, 250, [](int, int y) { return rowColour(y / 50); });
    picture("optioncover.png", 240, 320, [](int, int) { return kBack; });
    picture("optionselect.png", 144, 144, [](int, int y) { return rowColour(y / 36); });
    picture("change.png", 40, 80, [](int, int y) { return y < 40 ? kMusicMark : kSoundMark; });
    const char* help[] = {"keyhelp.png", "mousehelp.png", "brickhelp.png", "toolhelp.png"};
    for (int i = 0; i < 4; ++i) picture(help[i], 240, 320, [i](int, int) { return rowColour(i); });
  }
  gfx::Canvas canvas_;
};

TEST_F(ScreensTest, MenuRowsByKeyAndPenAndTheHighlightOfTheSelection) {
  app::MainMenu menu;
  menu.selectUp();
  EXPECT_EQ(menu.selection(), 4);
  menu.selectDown();
  EXPECT_EQ(menu.selection(), 0);
  // Pen down selects the row under the pen anywhere: above the menu row 0, below it row 5.
  for (const auto& [y, row] : {std::pair{0, 0}, {37, 0}, {87, 0}, {88, 1}, {287, 4}, {288, 5}, {319, 5}}) {
    setPen(239, y);
    menu.penSelect();
    EXPECT_EQ(menu.selection(), row) << "y " << y;
  }
  menu.draw(canvas_);  // row 5 has no highlight
  EXPECT_EQ(canvas_.at(100, 290), pixelOf(kBack));
  menu.selectDown();
  EXPECT_EQ(menu.selection(), 1);
  menu.penSelect();
  menu.selectUp();
  EXPECT_EQ(menu.selection(), 4);
  menu.selectDown();
  menu.selectDown();
  menu.selectDown();
  menu.draw(canvas_);
  EXPECT_EQ(canvas_.at(32, 138), pixelOf(rowColour(2)));
  EXPECT_EQ(canvas_.at(207, 187), pixelOf(rowColour(2)));
  EXPECT_EQ(canvas_.at(31, 138), pixelOf(kBack));
  EXPECT_EQ(canvas_.at(32, 188), pixelOf(kBack));
  // Pen moves select only inside the first row's area, bounds included.
  const int moves[][3] = {{100, 200, 2}, {100, 60, 0}, {31, 60, 2}, {32, 60, 0},  {208, 60, 0},
                          {209, 60, 2},  {100, 37, 2}, {100, 38, 0}, {100, 88, 1}, {100, 89, 2}};
  for (const auto& [x, y, selection] : moves) {
    app::MainMenu moved;
    moved.selectDown();
    moved.selectDown();
    setPen(x, y);
    moved.dragSelect();
    EXPECT_EQ(moved.selection(), selection) << x << "," << y;
  }
}

TEST_F(ScreensTest, OptionsReleaseTestHasExclusiveBoundsAndTogglesTheSwitchesItself) {
  using R = app::OptionsScreen::Release;
  const struct {
    int x, y;
    R result;
    int music, sound, selection;  // toggled, toggled, from row 1
  } cases[] = {
      {10, 110, R::Music, 1, 0, 1}, {0, 110, R::Nothing, 0, 0, 1}, {10, 104, R::Nothing, 0, 0, 1},
      {183, 147, R::Music, 1, 0, 1}, {184, 110, R::Nothing, 0, 0, 1}, {10, 148, R::Nothing, 0, 0, 1},
      {100, 160, R::Sound, 0, 1, 1}, {183, 187, R::Sound, 0, 1, 1}, {100, 152, R::Nothing, 0, 0, 1},
      {100, 188, R::Nothing, 0, 0, 1}, {1, 201, R::About, 0, 0, 2}, {143, 235, R::About, 0, 0, 2},
      {144, 210, R::Nothing, 0, 0, 1}, {10, 236, R::Nothing, 0, 0, 1}, {81, 258, R::Back, 0, 0, 3},
      {223, 292, R::Back, 0, 0, 3}, {80, 270, R::Nothing, 0, 0, 1}, {224, 270, R::Nothing, 0, 0, 1},
      {100, 293, R::Nothing, 0, 0, 1}, {100, 257, R::Nothing, 0, 0, 1},
  };
  for (const auto& [x, y, result, music, sound, selection] : cases) {
    process().musicOn = 1;
    process().soundOn = 0;
    app::OptionsScreen options;
    options.selectDown();
    setPen(x, y);
    EXPECT_EQ(options.releaseTest(), result) << x << "," << y;
    EXPECT_EQ(process().musicOn, 1 - music) << x << "," << y;
    EXPECT_EQ(process().soundOn, sound) << x << "," << y;
    EXPECT_EQ(options.selection(), selection) << x << "," << y;
  }
}

TEST_F(ScreensTest, OptionsKeysWrapAndEachSwitchThatIsOnShowsItsMark) {
  app::OptionsScreen options;
  options.selectUp();
  EXPECT_EQ(options.selection(), 3);
  options.selectDown();
  EXPECT_EQ(options.selection(), 0);
  process().musicOn = 1;
  process().soundOn = 1;
  options.draw(canvas_);
  const std::pair<std::pair<int, int>, Rgb> expected[] = {
      {{144, 108}, kMusicMark}, {{183, 147}, kMusicMark}, {{144, 148}, kSoundMark}, {{183, 187}, kSoundMark},
      {{184, 120}, kBack},      {{0, 104}, rowColour(0)},  {{143, 139}, rowColour(0)}};
  for (const auto& [at, colour] : expected) EXPECT_EQ(canvas_.at(at.first, at.second), pixelOf(colour)) << at.first;
  process().musicOn = 0;
  for (int i = 0; i < 3; ++i) options.selectDown();
  options.draw(canvas_);
  EXPECT_EQ(canvas_.at(160, 120), pixelOf(kBack));
  EXPECT_EQ(canvas_.at(160, 160), pixelOf(kSoundMark));
  EXPECT_EQ(canvas_.at(80, 257), pixelOf(rowColour(3)));
  EXPECT_EQ(canvas_.at(223, 292), pixelOf(rowColour(3)));
  EXPECT_EQ(canvas_.at(10, 110), pixelOf(kBack));
}

TEST_F(ScreensTest, HelpPagesShowKeysStylusBricksItemsAndNothingBeyond) {
  app::HelpScreen help;
  for (int page = 0; page < 4; ++page, help.nextPage()) {
    help.draw(canvas_);
    EXPECT_EQ(canvas_.at(120, 160), pixelOf(rowColour(page))) << page;
  }
  std::fill_n(canvas_.pixelBlock(), gfx::Canvas::kBlockPixels, std::uint16_t{0x1234});
  help.draw(canvas_);
  EXPECT_EQ(canvas_.at(120, 160), 0x1234);
}

}  // namespace
}  // namespace app_test
