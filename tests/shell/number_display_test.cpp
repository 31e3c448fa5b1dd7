// Numbers in glyphs cut from the strip of resource 115, and the score added through them.
#include "shell/number_display.hpp"

#include <gtest/gtest.h>

#include <climits>

#include "gfx/pixel.hpp"
#include "shell/process_state.hpp"

namespace shell_test {
namespace {

TEST(NumberDisplayTest, GlyphsOfTheDecimalTextCutFromResource115) {
  shell::NumberDisplay display(115);
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
  shell::resetProcessState();
  shell::addScore(20);  // without a score display nothing happens
  shell::process().scoreDisplay = std::make_unique<shell::NumberDisplay>(115);
  shell::process().scoreDisplay->setValue(980);
  shell::addScore(20);
  EXPECT_EQ(shell::process().scoreDisplay->glyphs().size(), 4u);
  shell::process().scoreDisplay->setValue(INT32_MAX);
  shell::addScore(1);
  EXPECT_EQ(shell::process().scoreDisplay->value(), INT32_MIN);
  shell::resetProcessState();
}

}  // namespace
}  // namespace shell_test
