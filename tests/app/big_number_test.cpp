// The big digits of the level and game-over pictures: centred, keyed, nothing for zero.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "app/game_app.hpp"
#include "gfx/pixel.hpp"

namespace app_test {
namespace {

// Digit d of the test's big digits is the colour 0x0841 x (d + 1), with one blue key pixel at
// its top-left corner; the number is centred at y 208 and keyed; 0 draws nothing. Scores run
// to the top of the unsigned range.
TEST(BigNumberTest, CentredAtY208AndKeyed) {
  constexpr std::uint16_t kBackground = 0x7BCF;
  gfx::Surface digits;
  digits.width = 160;
  digits.height = 16;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 160; ++x) digits.pixels.push_back(x % 16 == 0 && y == 0 ? 0x001F : 0x0841 * (x / 16 + 1));
  }
  const std::pair<std::uint32_t, std::vector<int>> cases[] = {{1203, {1, 2, 0, 3}},
                                                               {INT32_MAX, {2, 1, 4, 7, 4, 8, 3, 6, 4, 7}},
                                                               {2147483648u, {2, 1, 4, 7, 4, 8, 3, 6, 4, 8}},
                                                               {UINT32_MAX, {4, 2, 9, 4, 9, 6, 7, 2, 9, 5}},
                                                               {0, {}}};
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
