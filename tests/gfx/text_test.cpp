#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "gfx/pixel.hpp"
#include "gfx/text_surface.hpp"
#include "platform/text_rasteriser.hpp"

namespace {

using gfx::Canvas;
using gfx::TextSurface;

// Stands in for the font engine: each non-blank character becomes a 3 x 4 block of the text
// colour in its 12 x 14 cell, with one pixel of a shade beside it (as anti-aliasing or a
// blended glyph edge would leave).
class FakeRasteriser : public platform::TextRasteriser {
 public:
  static constexpr std::uint32_t kShade = 0x808080;

  void render(std::string_view utf8, std::uint32_t colour, int width, int height, std::uint32_t* pixels) override {
    lastText = std::string(utf8);
    lastColour = colour;
    lastWidth = width;
    lastHeight = height;
    background = pixels[0];
    const int perLine = std::max(1, width / 12);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      if (utf8[i] == ' ') continue;
      const int left = 12 * (static_cast<int>(i) % perLine) + 2;
      const int top = 14 * (static_cast<int>(i) / perLine) + 3;
      for (int y = top; y < top + 4 && y < height; ++y) {
        for (int x = left; x < left + 3 && x < width; ++x) pixels[y * width + x] = colour;
      }
      if (left + 3 < width && top < height) pixels[top * width + left + 3] = kShade;
    }
  }

  std::string lastText;
  std::uint32_t lastColour = 0;
  int lastWidth = 0;
  int lastHeight = 0;
  std::uint32_t background = 0;
};

class Text : public ::testing::Test {
 protected:
  void SetUp() override { platform::setTextRasteriser(&rasteriser_); }
  void TearDown() override { platform::setTextRasteriser(nullptr); }

  FakeRasteriser rasteriser_;
};

TEST(TextSize, TwelveByFourteenPerCharacterWithinTheWidth) {
  const struct {
    std::size_t characters;
    int maxWidth, width, height;
  } cases[] = {
      {1, 176, 12, 14},   {3, 176, 36, 14},  {14, 176, 168, 14}, {15, 176, 176, 28},  // 180 / 176 = 1
      {16, 176, 176, 28}, {29, 176, 176, 28}, {30, 176, 176, 42},                      // 348 / 176 = 1, 360 / 176 = 2
      {0, 176, 0, 14},    {1, 12, 12, 14},   {2, 12, 12, 42},    {1, 11, 11, 28},
      {1, 0, 0, 0},       {1, -5, 0, 0},     // no width to wrap in
  };
  for (const auto& c : cases) {
    int width = -1;
    int height = -1;
    gfx::textSize(c.characters, c.maxWidth, width, height);
    EXPECT_EQ(width, c.width) << c.characters << " at " << c.maxWidth;
    EXPECT_EQ(height, c.height) << c.characters << " at " << c.maxWidth;
  }
}

TEST_F(Text, RendersOnTheInverseColourAtTheEstimatedSize) {
  TextSurface text;
  gfx::renderText(text, u"100", 0xFFFFFF, 176);
  EXPECT_EQ(text.width, 36);
  EXPECT_EQ(text.height, 14);
  EXPECT_EQ(text.colour, 0xFFFFFFu);
  EXPECT_EQ(rasteriser_.lastText, "100");
  EXPECT_EQ(rasteriser_.lastColour, 0xFFFFFFu);
  EXPECT_EQ(rasteriser_.lastWidth, 36);
  EXPECT_EQ(rasteriser_.lastHeight, 14);
  EXPECT_EQ(rasteriser_.background, 0x000000u);
  EXPECT_EQ(text.pixels[0], 0x0000);
  EXPECT_EQ(text.pixels[3 * 36 + 2], 0xFFDF);

  // Each of red, green and blue becomes 255 minus itself; the high byte plays no part.
  gfx::renderText(text, u"Zo\u00EB Ab", 0x12008040, 176);
  EXPECT_EQ(rasteriser_.lastText, "Zo\xC3\xAB Ab");
  EXPECT_EQ(rasteriser_.background, 0x00FF7FBFu);
  EXPECT_EQ(text.width, 72);  // six UTF-16 units
  EXPECT_EQ(text.pixels[0], gfx::colourToPixel(0xFF7FBF));

  gfx::renderText(text, u"ABCDEFGHIJKLMNOP", 0xFFFFFF, 176);
  EXPECT_EQ(text.width, 176);
  EXPECT_EQ(text.height, 28);
  EXPECT_EQ(text.pixels.size(), 176u * 28u);
}

TEST_F(Text, ABlankScoreHasNoVisiblePixel) {
  TextSurface text;
  gfx::renderText(text, u" ", 0xFFFFFF, 176);
  ASSERT_EQ(text.width, 12);
  ASSERT_EQ(text.height, 14);
  Canvas canvas(platform::DisplayProperties{});
  EXPECT_EQ(gfx::drawText(canvas, toFixed(10), toFixed(10), &text), 1);
  EXPECT_EQ(std::count(canvas.pixels.get(), canvas.pixels.get() + Canvas::kBlockPixels, 0), Canvas::kBlockPixels);
}

TEST_F(Text, WithoutARasteriserOnlyTheBackgroundIsThere) {
  platform::setTextRasteriser(nullptr);
  TextSurface text;
  gfx::renderText(text, u"42", 0xFFFFFF, 176);
  ASSERT_EQ(text.pixels.size(), 24u * 14u);
  EXPECT_EQ(std::count(text.pixels.begin(), text.pixels.end(), 0x0000), 24 * 14);
}

TEST_F(Text, AnEmptyTextIsAnEmptyPicture) {
  TextSurface text;
  gfx::renderText(text, u"99", 0xFFFFFF, 176);
  gfx::renderText(text, u"", 0xFFFFFF, 176);
  EXPECT_TRUE(text.empty());
  Canvas canvas(platform::DisplayProperties{});
  EXPECT_EQ(gfx::drawText(canvas, 0, 0, &text), 0);
  EXPECT_EQ(gfx::drawText(canvas, 0, 0, nullptr), 0);
}

TEST_F(Text, DrawsOnlyThePixelsOfTheTextColour) {
  TextSurface text;
  gfx::renderText(text, u"1", 0xFFFFFF, 176);
  Canvas canvas(platform::DisplayProperties{});
  std::fill(canvas.pixels.get(), canvas.pixels.get() + Canvas::kBlockPixels, 0x1234);
  EXPECT_EQ(gfx::drawText(canvas, toFixed(100), toFixed(50), &text), 1);
  int ink = 0;
  for (int y = 0; y < 320; ++y) {
    for (int x = 0; x < 240; ++x) {
      const bool glyph = x >= 102 && x < 105 && y >= 53 && y < 57;
      EXPECT_EQ(canvas.at(x, y), glyph ? 0xFFDF : 0x1234) << x << ", " << y;
      ink += glyph;
    }
  }
  EXPECT_EQ(ink, 12);
}

// A text picture whose every pixel is ink: what lands on the canvas is the clipped rectangle.
TextSurface solidText(int width, int height) {
  TextSurface text;
  text.width = width;
  text.height = height;
  text.colour = 0xFF0000;
  text.pixels.assign(static_cast<std::size_t>(width * height), 0x001F);
  return text;
}

TEST(DrawText, ClipsLikeDrawSprite) {
  const TextSurface text = solidText(12, 14);
  const struct {
    Fixed x, y;
    int result;
    int left, top, width, height;  // the inked rectangle; width 0 for none
  } cases[] = {
      {toFixed(-5), toFixed(10), 1, 0, 10, 7, 14},   {toFixed(235), toFixed(315), 1, 235, 315, 5, 5},
      {toFixed(240), toFixed(10), 1, 0, 0, 0, 0},    {toFixed(241), toFixed(10), 1, 0, 0, 0, 0},
      {toFixed(10), toFixed(320), 1, 0, 0, 0, 0},    {toFixed(-12), toFixed(10), 1, 0, 0, 0, 0},
      {toFixed(10), toFixed(-14), 1, 0, 0, 0, 0},    {toFixed(10), toFixed(-13), 1, 10, 0, 12, 1},
      {-0x8000, -0x8000, 1, 0, 0, 11, 13},           {toFixed(20) + 0xFFFF, toFixed(30), 1, 20, 30, 12, 14},
  };
  for (const auto& c : cases) {
    Canvas canvas(platform::DisplayProperties{});
    EXPECT_EQ(gfx::drawText(canvas, c.x, c.y, &text), c.result);
    int wrong = 0;
    for (int y = 0; y < 320; ++y) {
      for (int x = 0; x < 240; ++x) {
        const bool inside = x >= c.left && x < c.left + c.width && y >= c.top && y < c.top + c.height;
        wrong += canvas.at(x, y) != (inside ? 0x001F : 0);
      }
    }
    EXPECT_EQ(wrong, 0) << c.x << ", " << c.y;
    EXPECT_EQ(canvas.pixels[Canvas::kBlockPixels - 1], 0);
  }
  TextSurface lying = solidText(4, 4);
  lying.width = 5;
  Canvas canvas(platform::DisplayProperties{});
  EXPECT_EQ(gfx::drawText(canvas, 0, 0, &lying), 0);
}

}  // namespace
