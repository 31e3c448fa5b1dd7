// The picture tools' raster library where a fault would spoil every picture quietly: the
// rounding to the game's colour levels, the colour keys, exact pixel coverage and UTF-8.
#include <gtest/gtest.h>

#include "tools/common/picture_file.hpp"
#include "tools/common/shapes.hpp"
#include "tools/common/text.hpp"

namespace {

using tools::Colour;
using tools::Image;
using tools::Key;

TEST(ColourLevels, EveryLevelSurvivesTheGamesTopFiveBits) {
  for (int level = 0; level < 32; ++level) {
    EXPECT_EQ(tools::levelToByte(level) >> 3, level);
    EXPECT_EQ(tools::toLevel(static_cast<float>(tools::levelToByte(level)) / 255.0F), level);
  }
  EXPECT_EQ(tools::levelToByte(31), 255);
  EXPECT_EQ(tools::levelToByte(0), 0);
}

TEST(KeyedFlattening, KeyExactlyWhereTransparentAndNowhereElse) {
  struct Case {
    Colour colour;
    Key key;
  };
  // Colours that the game's 16-bit conversion would turn into the key.
  const Case cases[] = {
      {tools::rgb(3, 2, 250), Key::Blue},   {tools::rgb(0, 0, 255), Key::Blue},
      {tools::rgb(7, 7, 248), Key::Blue},   {tools::rgb(0, 0, 0), Key::Black},
      {tools::rgb(6, 1, 7), Key::Black},    {tools::rgb(2, 7, 0), Key::Black},
  };
  for (const Case& c : cases) {
    Image image(2, 1);
    image.set(0, 0, c.colour);
    image.set(1, 0, tools::withAlpha(c.colour, 0.2F));
    const tools::RgbPicture flat = tools::flattenKeyed(image, c.key, tools::rgb(0, 0, 0));
    int r = 0;
    int g = 0;
    int b = 0;
    flat.pixel(0, 0, r, g, b);
    EXPECT_FALSE(tools::readsAsKey(r, g, b, c.key)) << r << "," << g << "," << b;
    flat.pixel(1, 0, r, g, b);
    EXPECT_TRUE(tools::readsAsKey(r, g, b, c.key));
    if (c.key == Key::Blue) {
      EXPECT_TRUE(r == 0 && g == 0 && b == 255) << "the exact key, not just its look";
    } else {
      EXPECT_TRUE(r == 0 && g == 0 && b == 0);
    }
  }
}

TEST(KeyedFlattening, SoftEdgesBlendIntoTheMatte) {
  Image image(1, 1);
  image.set(0, 0, tools::withAlpha(tools::rgb(255, 255, 255), 0.6F));
  const tools::RgbPicture flat = tools::flattenKeyed(image, Key::Blue, tools::rgb(0, 0, 0));
  int r = 0;
  int g = 0;
  int b = 0;
  flat.pixel(0, 0, r, g, b);
  EXPECT_EQ(r, tools::levelToByte(19));  // 0.6 of the way from black to white, on the levels
  EXPECT_EQ(r, g);
  EXPECT_EQ(g, b);
}

TEST(Dither, SnapsOntoTheLevelsAndKeepsFlatColoursFlat) {
  Image image(8, 8, tools::rgb(tools::levelToByte(12), tools::levelToByte(20), tools::levelToByte(3)));
  tools::dither(image);
  const tools::RgbPicture flat = tools::flatten(image, tools::rgb(0, 0, 0));
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      int r = 0;
      int g = 0;
      int b = 0;
      flat.pixel(x, y, r, g, b);
      EXPECT_EQ(r >> 3, 12);
      EXPECT_EQ(g >> 3, 20);
      EXPECT_EQ(b >> 3, 3);
    }
  }
}

TEST(Coverage, PixelAlignedBoxesCoverWholePixelsOnly) {
  const tools::Mask mask = tools::coverage(6, 4, tools::box(1, 1, 3, 2), 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
      EXPECT_FLOAT_EQ(mask.at(x, y), inside ? 1.0F : 0.0F) << x << "," << y;
    }
  }
  EXPECT_FLOAT_EQ(mask.at(-1, 0), 0.0F);
  EXPECT_FLOAT_EQ(mask.at(6, 3), 0.0F);
}

TEST(Text, RendersOnTheBaselineWithinItsMask) {
  const tools::Font font("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
  tools::TextStyle style;
  style.size = 20;
  const tools::TextMask text = font.render("HI", style);
  EXPECT_EQ(text.ascent, font.capHeight(style));
  EXPECT_GT(text.ascent, 12);
  EXPECT_EQ(text.descent, 0);
  float below = 0;
  float above = 0;
  for (int x = 0; x < text.mask.width(); ++x) {
    below += text.mask.at(x, text.baseline);
    above += text.mask.at(x, text.baseline - 1);
  }
  EXPECT_FLOAT_EQ(below, 0.0F);
  EXPECT_GT(above, 4.0F);
}

}  // namespace
