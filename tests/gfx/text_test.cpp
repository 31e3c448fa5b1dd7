// Text pictures: the size rule, rendering on the inverse colour, and drawing only the ink.
#include <gtest/gtest.h>

#include <algorithm>

#include "gfx/pixel.hpp"
#include "gfx/text_surface.hpp"
#include "platform/text_rasteriser.hpp"

namespace {

// Each non-blank character becomes a 3 x 4 block of the text colour in its 12 x 14 cell, with
// a pixel of a shade beside it, as a blended glyph edge would leave.
class FakeRasteriser : public platform::TextRasteriser {
 public:
  void render(std::string_view utf8, std::uint32_t colour, int width, int height, std::uint32_t* pixels) override {
    text = std::string(utf8);
    background = pixels[0];
    size = {width, height};
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      const int left = 12 * static_cast<int>(i) + 2;
      if (utf8[i] == ' ' || left + 3 >= width) continue;
      for (int y = 3; y < 7; ++y) std::fill_n(pixels + y * width + left, 3, colour);
      pixels[3 * width + left + 3] = 0x808080;
    }
  }
  std::string text;
  std::uint32_t background = 0;
  std::pair<int, int> size;
};

TEST(TextSize, TwelveByFourteenPerCharacterWithinTheWidth) {
  const int cases[][4] = {
      {1, 176, 12, 14},   {14, 176, 168, 14}, {15, 176, 176, 28},  // 180 / 176 = 1
      {16, 176, 176, 28}, {29, 176, 176, 28}, {30, 176, 176, 42},  // 360 / 176 = 2
      {0, 176, 0, 14},    {2, 12, 12, 42},    {1, 11, 11, 28},    {1, 0, 0, 0}, {1, -5, 0, 0},  // no width to wrap in
  };
  for (const auto& [characters, maxWidth, width, height] : cases) {
    std::pair<int, int> size{-1, -1};
    gfx::textSize(static_cast<std::size_t>(characters), maxWidth, size.first, size.second);
    EXPECT_EQ(size, std::make_pair(width, height)) << characters << " at " << maxWidth;
  }
}

TEST(RenderText, OnTheInverseColourAtTheRuleSizeThenDrawsOnlyTheInk) {
  FakeRasteriser rasteriser;
  platform::setTextRasteriser(&rasteriser);
  gfx::TextSurface text;
  // Red, green and blue each become 255 minus themselves; the high byte plays no part. The
  // rasteriser gets UTF-8; the size counts UTF-16 units.
  gfx::renderText(text, u"Zo\u00EB Ab", 0x12008040, 176);
  EXPECT_EQ(rasteriser.text, "Zo\xC3\xAB Ab");
  EXPECT_EQ(rasteriser.background, 0x00FF7FBFu);
  EXPECT_EQ(rasteriser.size, std::make_pair(72, 14));
  EXPECT_EQ(text.pixels[0], gfx::colourToPixel(0xFF7FBF));
  gfx::renderText(text, u"ABCDEFGHIJKLMNOP", 0xFFFFFF, 176);
  EXPECT_EQ(std::make_pair(text.width, text.height), std::make_pair(176, 28));
  EXPECT_EQ(text.pixels.size(), 176u * 28u);

  gfx::renderText(text, u"1 ", 0xFFFFFF, 176);
  ASSERT_EQ(text.colour, 0xFFFFFFu);
  gfx::Canvas canvas(platform::DisplayProperties{});
  std::fill_n(canvas.pixelBlock(), gfx::Canvas::kBlockPixels, 0x1234);
  EXPECT_EQ(gfx::drawText(canvas, toFixed(100), toFixed(50), &text), 1);
  for (int y = 0; y < 320; ++y) {
    for (int x = 0; x < 240; ++x) {
      const bool ink = x >= 102 && x < 105 && y >= 53 && y < 57;  // not the shade, not the background
      ASSERT_EQ(canvas.at(x, y), ink ? 0xFFDF : 0x1234) << x << ", " << y;
    }
  }

  // An empty text is an empty picture; without a rasteriser only the background is there.
  gfx::renderText(text, u"", 0xFFFFFF, 176);
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(gfx::drawText(canvas, 0, 0, &text), 0);
  platform::setTextRasteriser(nullptr);
  gfx::renderText(text, u"42", 0xFFFFFF, 176);
  EXPECT_EQ(std::count(text.pixels.begin(), text.pixels.end(), 0x0000), 24 * 14);
}

}  // namespace
