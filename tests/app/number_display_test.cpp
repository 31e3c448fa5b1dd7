// Numbers in glyphs: the score display's strip and the big digits of the level and
// game-over pictures.
#include "app/number_display.hpp"

#include <gtest/gtest.h>

#include <climits>

#include "app/game_app.hpp"
#include "app/process_state.hpp"
#include "gfx/pixel.hpp"

namespace app_test {
namespace {

TEST(NumberDisplayTest, GlyphsOfTheDecimalTextCutFromResource115) {
  app::NumberDisplay display(115);
  const std::pair<std::int32_t, std::vector<std::int32_t>> cases[] = {
      {0, {0}},
      {-45, {12, 4, 5}},
      {INT32_MAX, {2, 1, 4, 7, 4, 8, 3, 6, 4, 7}},
      {INT32_MIN, {12, 2, 1, 4, 7, 4, 8, 3, 6, 4, 8}},
  };
  for (const auto& [value, glyphs] : cases) {
    display.setValue(value);
    EXPECT_EQ(std::vector<std::int32_t>(display.glyphs().begin(), display.glyphs().end()), glyphs) << value;
  }
  // Drawn left to right from (10, 20), each glyph the 12 x 16 cell of its index.
  gfx::Surface strip;
  gfx::loadPictureResource(strip, 115);
  display.setValue(-45);
  gfx::Canvas canvas;
  display.draw(canvas, toFixed(10), toFixed(20), gfx::kNoColourKey);
  for (int x = 0; x < 36; ++x) {
    for (int y = 0; y < 16; ++y) {
      const int glyph = std::vector<int>{12, 4, 5}[static_cast<std::size_t>(x / 12)];
      ASSERT_EQ(canvas.at(10 + x, 20 + y), strip.pixels[static_cast<std::size_t>(y * 192 + 12 * glyph + x % 12)]);
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
  EXPECT_EQ(app::process().scoreDisplay->glyphs().size(), 4u);
  app::process().scoreDisplay->setValue(INT32_MAX);
  app::addScore(1);
  EXPECT_EQ(app::process().scoreDisplay->value(), INT32_MIN);
  app::resetProcessState();
}

// Digit d of the test's big digits is the colour 0x0841 x (d + 1), with one blue key pixel at
// its top-left corner; the number is centred at y 208 and keyed; 0 and below draw nothing.
TEST(BigNumberTest, CentredAtY208AndKeyed) {
  constexpr std::uint16_t kBackground = 0x7BCF;
  gfx::Surface digits;
  digits.width = 160;
  digits.height = 16;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 160; ++x) digits.pixels.push_back(x % 16 == 0 && y == 0 ? 0x001F : 0x0841 * (x / 16 + 1));
  }
  const std::pair<std::int32_t, std::vector<int>> cases[] = {
      {1203, {1, 2, 0, 3}}, {INT32_MAX, {2, 1, 4, 7, 4, 8, 3, 6, 4, 7}}, {0, {}}, {-7, {}}, {INT32_MIN, {}}};
  for (const auto& [value, expected] : cases) {
    gfx::Canvas canvas;
    std::fill_n(canvas.pixelBlock(), gfx::Canvas::kBlockPixels, kBackground);
    app::drawBigNumber(canvas, digits, value);
    const int left = 120 - 8 * static_cast<int>(expected.size());
    for (int x = 0; x < 240; ++x) {
      const int cell = (x - left) / 16;
      const bool inside = x >= left && cell < static_cast<int>(expected.size());
      const auto colour = static_cast<std::uint16_t>(inside ? 0x0841 * (expected[static_cast<std::size_t>(cell)] + 1) : kBackground);
      ASSERT_EQ(canvas.at(x, 208), inside && (x - left) % 16 == 0 ? kBackground : colour) << value << " x " << x;
      ASSERT_EQ(canvas.at(x, 223), colour) << value << " x " << x;
      ASSERT_EQ(canvas.at(x, 207), kBackground);
      ASSERT_EQ(canvas.at(x, 224), kBackground);
    }
  }
}

}  // namespace
}  // namespace app_test
