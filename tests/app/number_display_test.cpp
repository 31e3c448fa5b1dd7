// Numbers in glyphs: the score display's strip and the big digits of the level and
// game-over pictures.
#include "app/number_display.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "app/game_app.hpp"
#include "app/process_state.hpp"
#include "gfx/pixel.hpp"

namespace app_test {
namespace {

std::vector<std::int32_t> glyphsOf(std::int32_t value) {
  app::NumberDisplay display(115);
  display.setValue(value);
  return {display.glyphs().begin(), display.glyphs().end()};
}

TEST(NumberDisplayTest, GlyphsOfTheDecimalText) {
  EXPECT_EQ(glyphsOf(0), (std::vector<std::int32_t>{0}));
  EXPECT_EQ(glyphsOf(-45), (std::vector<std::int32_t>{12, 4, 5}));
  EXPECT_EQ(glyphsOf(INT32_MAX), (std::vector<std::int32_t>{2, 1, 4, 7, 4, 8, 3, 6, 4, 7}));
  EXPECT_EQ(glyphsOf(INT32_MIN), (std::vector<std::int32_t>{12, 2, 1, 4, 7, 4, 8, 3, 6, 4, 8}));
  EXPECT_EQ(glyphsOf(1000), (std::vector<std::int32_t>{1, 0, 0, 0}));
}

TEST(NumberDisplayTest, GlyphsAre12By16CellsOfResource115DrawnLeftToRight) {
  app::NumberDisplay display(115);
  ASSERT_EQ(display.glyphWidth(), 12);
  ASSERT_EQ(display.glyphHeight(), 16);
  gfx::Surface strip;
  gfx::loadPictureResource(strip, 115);
  display.setValue(-45);
  gfx::Canvas canvas;
  display.draw(canvas, toFixed(10), toFixed(20), gfx::kNoColourKey);
  const int glyphs[] = {12, 4, 5};
  for (int i = 0; i < 3; ++i) {
    for (int v = 0; v < 16; ++v) {
      for (int u = 0; u < 12; ++u) {
        ASSERT_EQ(canvas.at(10 + 12 * i + u, 20 + v), strip.pixels[static_cast<std::size_t>(v * 192 + 12 * glyphs[i] + u)]);
      }
    }
  }
  EXPECT_EQ(canvas.at(46, 20), 0);
  EXPECT_EQ(canvas.at(10, 36), 0);
}

TEST(NumberDisplayTest, AddScoreAddsThroughTheDisplayAndWrapsLikeA32BitCounter) {
  app::resetProcessState();
  app::addScore(20);  // without a score display nothing happens
  app::process().scoreDisplay = std::make_unique<app::NumberDisplay>(115);
  app::process().scoreDisplay->setValue(980);
  app::addScore(20);
  EXPECT_EQ(app::process().scoreDisplay->value(), 1000);
  EXPECT_EQ(app::process().scoreDisplay->glyphs().size(), 4u);
  app::process().scoreDisplay->setValue(INT32_MAX);
  app::addScore(1);
  EXPECT_EQ(app::process().scoreDisplay->value(), INT32_MIN);
  app::resetProcessState();
}

// Digit d of the test's big digits is the colour 0x0841 x (d + 1), with one blue key pixel
// at its top-left corner.
gfx::Surface testDigits() {
  gfx::Surface digits;
  digits.width = 160;
  digits.height = 16;
  digits.pixels.resize(160 * 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 160; ++x) {
      const bool key = x % 16 == 0 && y == 0;
      digits.pixels[static_cast<std::size_t>(y * 160 + x)] =
          key ? gfx::colourToPixel(gfx::kKeyBlue) : static_cast<std::uint16_t>(0x0841 * (x / 16 + 1));
    }
  }
  return digits;
}

constexpr std::uint16_t kBackground = 0x7BCF;

std::uint16_t digitColour(int digit) { return static_cast<std::uint16_t>(0x0841 * (digit + 1)); }

class BigNumberTest : public ::testing::Test {
 protected:
  void SetUp() override { std::fill_n(canvas_.pixelBlock(), gfx::Canvas::kBlockPixels, kBackground); }
  // The digits expected from x = left on, each checked inside its cell and at its key pixel.
  void expectDigits(int left, const std::vector<int>& digits) {
    for (std::size_t i = 0; i < digits.size(); ++i) {
      const int x = left + 16 * static_cast<int>(i);
      EXPECT_EQ(canvas_.at(x, 208), kBackground) << i;  // keyed
      EXPECT_EQ(canvas_.at(x + 1, 208), digitColour(digits[i])) << i;
      EXPECT_EQ(canvas_.at(x + 15, 223), digitColour(digits[i])) << i;
    }
    EXPECT_EQ(canvas_.at(left - 1, 215), kBackground);
    EXPECT_EQ(canvas_.at(left + 16 * static_cast<int>(digits.size()), 215), kBackground);
    EXPECT_EQ(canvas_.at(left + 1, 207), kBackground);
    EXPECT_EQ(canvas_.at(left + 1, 224), kBackground);
  }
  gfx::Canvas canvas_;
  gfx::Surface digits_ = testDigits();
};

TEST_F(BigNumberTest, CentredAtY208) {
  app::drawBigNumber(canvas_, digits_, 1203);
  expectDigits(88, {1, 2, 0, 3});
}

TEST_F(BigNumberTest, TheLargestNumberFitsTheWidth) {
  app::drawBigNumber(canvas_, digits_, INT32_MAX);
  expectDigits(40, {2, 1, 4, 7, 4, 8, 3, 6, 4, 7});
}

TEST_F(BigNumberTest, ZeroAndNegativeNumbersDrawNothing) {
  for (const std::int32_t value : {0, -7, INT32_MIN}) {
    app::drawBigNumber(canvas_, digits_, value);
    for (int x = 0; x < 240; ++x) ASSERT_EQ(canvas_.at(x, 215), kBackground) << value;
  }
}

}  // namespace
}  // namespace app_test
