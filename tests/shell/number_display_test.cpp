// Numbers in glyphs cut from the strip of resource 115, and the score added through them.
#include "shell/number_display.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

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

// The score is unsigned, as the score table keeps it, and stops at the ends of its range
// instead of wrapping: a saved score near the top stays the top at the next brick.
TEST(NumberDisplayTest, AddScoreAddsThroughTheDisplayAndStopsAtTheEndsOfTheRange) {
  shell::resetProcessState();
  shell::addScore(20);  // without a score display nothing happens
  EXPECT_EQ(shell::currentScore(), 0u);
  shell::process().scoreDisplay = std::make_unique<shell::NumberDisplay>(115);
  const struct {
    std::uint32_t score;
    std::int32_t points;
    std::uint32_t sum;
    std::size_t glyphs;
  } cases[] = {
      {980, 20, 1000, 4},
      {INT32_MAX, 1, 2147483648u, 10},
      {shell::kMaxScore - 5, 80, shell::kMaxScore, 10},
      {shell::kMaxScore, 1, shell::kMaxScore, 10},
      {10, -30, 0, 1},
  };
  for (const auto& c : cases) {
    shell::setScore(c.score);
    shell::addScore(c.points);
    EXPECT_EQ(shell::currentScore(), c.sum) << c.score << " + " << c.points;
    EXPECT_EQ(shell::process().scoreDisplay->glyphs().size(), c.glyphs) << c.score << " + " << c.points;
  }
  // The display itself holds what it is given within the range of both kinds of number.
  shell::NumberDisplay& display = *shell::process().scoreDisplay;
  for (const auto& [value, held] : {std::pair<std::int64_t, std::int64_t>{INT64_MAX, UINT32_MAX},
                                    {INT64_MIN, INT32_MIN}, {UINT32_MAX, UINT32_MAX}}) {
    display.setValue(value);
    EXPECT_EQ(display.value(), held);
  }
  EXPECT_EQ(std::vector<std::int32_t>(display.glyphs().begin(), display.glyphs().end()),
            (std::vector<std::int32_t>{4, 2, 9, 4, 9, 6, 7, 2, 9, 5}));
  shell::resetProcessState();
}

}  // namespace
}  // namespace shell_test
