#include "gfx/blit.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "gfx/pixel.hpp"

namespace {

using gfx::Canvas;
using gfx::Surface;

constexpr std::uint16_t kPaper = 0x1234;  // what a canvas holds before a test draws on it

void paper(Canvas& canvas) { std::fill(canvas.pixels.get(), canvas.pixels.get() + Canvas::kBlockPixels, kPaper); }

// Every pixel of the test picture tells where it came from; none equals a colour key.
std::uint16_t pictureValue(int x, int y) { return static_cast<std::uint16_t>(0x8000 | y << 6 | x); }

Surface picture(int width, int height) {
  Surface s;
  s.width = width;
  s.height = height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) s.pixels.push_back(pictureValue(x, y));
  }
  return s;
}

// Where a call should have drawn: destination rectangle and the source pixel at its corner.
struct Region {
  int x, y, width, height, sourceX, sourceY;
};

// Checks the whole canvas: inside the region the source pixels, elsewhere the paper.
template <typename Source>
void expectDrawn(const Canvas& canvas, const std::optional<Region>& region, Source source, const std::string& name) {
  int wrong = 0;
  for (int y = 0; y < 320 && wrong < 5; ++y) {
    for (int x = 0; x < 240 && wrong < 5; ++x) {
      std::uint16_t expected = kPaper;
      if (region && x >= region->x && x < region->x + region->width && y >= region->y && y < region->y + region->height) {
        expected = source(region->sourceX + x - region->x, region->sourceY + y - region->y);
      }
      const std::uint16_t actual = canvas.pixels[static_cast<std::size_t>(x + 240 * y)];
      if (actual != expected) {
        ADD_FAILURE() << name << ": pixel (" << x << ", " << y << ") is " << actual << ", expected " << expected;
        ++wrong;
      }
    }
  }
  EXPECT_EQ(canvas.pixels[Canvas::kBlockPixels - 1], kPaper) << name << ": the spare pixel is never drawn";
}

struct SpriteCase {
  const char* name;
  Fixed x, y, width, height, sourceX, sourceY;
  int result;
  std::optional<Region> drawn;
};

constexpr Fixed px(int pixels) { return toFixed(pixels); }

// The picture is 12 x 10.
const SpriteCase kSpriteCases[] = {
    {"WholePictureWhenBothZero", px(10), px(20), 0, 0, 0, 0, 1, Region{10, 20, 12, 10, 0, 0}},
    {"WholePictureWhenWidthZero", px(10), px(20), 0, px(5), 0, 0, 1, Region{10, 20, 12, 10, 0, 0}},
    {"WholePictureWhenHeightZero", px(10), px(20), px(3), 0, 0, 0, 1, Region{10, 20, 12, 10, 0, 0}},
    {"WholePictureKeepsSourceX", px(10), px(20), 0, 0, px(1), 0, 0, std::nullopt},
    {"WholePictureKeepsSourceY", px(10), px(20), 0, 0, 0, px(1), 0, std::nullopt},
    {"PartOfThePicture", px(5), px(6), px(4), px(3), px(2), px(1), 1, Region{5, 6, 4, 3, 2, 1}},
    {"SourceReachesTheRightEdge", px(5), px(6), px(4), px(3), px(8), px(7), 1, Region{5, 6, 4, 3, 8, 7}},
    {"SourceOnePastTheRightEdge", px(5), px(6), px(4), px(3), px(9), 0, 0, std::nullopt},
    {"SourceOnePastTheBottomEdge", px(5), px(6), px(4), px(3), 0, px(8), 0, std::nullopt},
    {"SourcePastTheEdgeEvenWhenClippedAway", px(-50), px(6), px(4), px(3), px(9), 0, 0, std::nullopt},
    {"SourcePastTheEdgeEvenWhenOffTheRight", px(300), px(6), px(4), px(3), px(9), 0, 0, std::nullopt},
    {"NegativeSourceX", px(5), px(6), px(4), px(3), px(-1), 0, 0, std::nullopt},
    {"NegativeSourceY", px(5), px(6), px(4), px(3), 0, px(-1), 0, std::nullopt},
    {"NegativeWidth", px(5), px(6), px(-4), px(3), 0, 0, 0, std::nullopt},
    {"NegativeHeight", px(5), px(6), px(4), px(-3), 0, 0, 0, std::nullopt},
    {"LeftEdgeKeepsTheRightColumns", px(-5), px(30), px(12), px(10), 0, 0, 1, Region{0, 30, 7, 10, 5, 0}},
    {"TopEdgeKeepsTheBottomRows", px(30), px(-3), 0, 0, 0, 0, 1, Region{30, 0, 12, 7, 0, 3}},
    {"TopLeftCorner", px(-11), px(-9), 0, 0, 0, 0, 1, Region{0, 0, 1, 1, 11, 9}},
    {"EntirelyLeft", px(-12), px(30), 0, 0, 0, 0, 1, std::nullopt},
    {"EntirelyAbove", px(30), px(-10), 0, 0, 0, 0, 1, std::nullopt},
    {"RightEdgeShortens", px(235), px(30), 0, 0, 0, 0, 1, Region{235, 30, 5, 10, 0, 0}},
    {"BottomEdgeShortens", px(30), px(315), 0, 0, 0, 0, 1, Region{30, 315, 12, 5, 0, 0}},
    {"BottomRightCorner", px(239), px(319), 0, 0, 0, 0, 1, Region{239, 319, 1, 1, 0, 0}},
    {"AtTheRightEdgeDrawsNothing", px(240), px(30), 0, 0, 0, 0, 1, std::nullopt},
    {"PastTheRightEdge", px(241), px(30), 0, 0, 0, 0, 1, std::nullopt},
    {"AtTheBottomEdgeDrawsNothing", px(30), px(320), 0, 0, 0, 0, 1, std::nullopt},
    {"PastTheBottomEdge", px(30), px(321), 0, 0, 0, 0, 1, std::nullopt},
    {"FarOffEveryEdge", px(32767), px(-32768), 0, 0, 0, 0, 1, std::nullopt},
    {"MinusHalfIsMinusOne", -0x8000, px(40), 0, 0, 0, 0, 1, Region{0, 40, 11, 10, 1, 0}},
    {"FractionsAreDropped", px(10) + 0xFFFF, px(40) + 0x8000, px(3) + 0xFFFF, px(2) + 1, px(1) + 0xFFFF, 0x7FFF, 1,
     Region{10, 40, 3, 2, 1, 0}},
    {"SmallNegativeSizeIsMinusOne", px(10), px(40), -1, px(2), 0, 0, 0, std::nullopt},
    {"SizeUnderOnePixelMeansWhole", px(10), px(40), 0xFFFF, 0xFFFF, 0, 0, 1, Region{10, 40, 12, 10, 0, 0}},
};

void PrintTo(const SpriteCase& c, std::ostream* out) { *out << c.name; }

class DrawSprite : public ::testing::TestWithParam<SpriteCase> {};

TEST_P(DrawSprite, ValidatesClipsAndCopies) {
  const SpriteCase& c = GetParam();
  const Surface sprite = picture(12, 10);
  Canvas canvas(platform::DisplayProperties{});
  paper(canvas);
  EXPECT_EQ(gfx::drawSprite(canvas, c.x, c.y, c.width, c.height, &sprite, c.sourceX, c.sourceY, gfx::kNoColourKey),
            c.result);
  expectDrawn(canvas, c.drawn, pictureValue, c.name);
  // The keyed path clips alike.
  Canvas keyed(platform::DisplayProperties{});
  paper(keyed);
  EXPECT_EQ(gfx::drawSprite(keyed, c.x, c.y, c.width, c.height, &sprite, c.sourceX, c.sourceY, gfx::kKeyBlue), c.result);
  expectDrawn(keyed, c.drawn, pictureValue, std::string(c.name) + " keyed");
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawSprite, ::testing::ValuesIn(kSpriteCases),
                         [](const ::testing::TestParamInfo<SpriteCase>& p) { return std::string(p.param.name); });

TEST(DrawSpriteSource, MissingOrEmptyPicturesDrawNothing) {
  Canvas canvas(platform::DisplayProperties{});
  paper(canvas);
  Surface empty;
  EXPECT_EQ(gfx::drawSprite(canvas, 0, 0, 0, 0, nullptr, 0, 0, gfx::kNoColourKey), 0);
  EXPECT_EQ(gfx::drawSprite(canvas, 0, 0, px(1), px(1), nullptr, 0, 0, gfx::kNoColourKey), 0);
  EXPECT_EQ(gfx::drawSprite(canvas, 0, 0, 0, 0, &empty, 0, 0, gfx::kNoColourKey), 0);
  EXPECT_EQ(gfx::drawSprite(canvas, 0, 0, px(1), px(1), &empty, 0, 0, gfx::kNoColourKey), 0);
  // A size that promises more pixels than the block holds is refused, not read past.
  Surface lying = picture(4, 4);
  lying.height = 5;
  EXPECT_EQ(gfx::drawSprite(canvas, 0, 0, 0, 0, &lying, 0, 0, gfx::kNoColourKey), 0);
  expectDrawn(canvas, std::nullopt, pictureValue, "nothing");
}

TEST(DrawSpriteKey, SkipsOnlyTheKeyColour) {
  Surface sprite;
  sprite.width = 4;
  sprite.height = 1;
  sprite.pixels = {0x001F, 0x0000, 0xFFDF, 0x003F};
  const struct {
    std::int32_t key;
    std::vector<std::uint16_t> expected;
  } cases[] = {
      {gfx::kNoColourKey, {0x001F, 0x0000, 0xFFDF, 0x003F}},
      {gfx::kKeyBlue, {kPaper, 0x0000, 0xFFDF, 0x003F}},
      {gfx::kKeyBlack, {0x001F, kPaper, 0xFFDF, 0x003F}},
      {0xFFFFFF, {0x001F, 0x0000, kPaper, 0x003F}},  // white as the key
      {0x07FF0000, {kPaper, 0x0000, 0xFFDF, 0x003F}},  // the high byte plays no part
  };
  for (const auto& c : cases) {
    Canvas canvas(platform::DisplayProperties{});
    paper(canvas);
    ASSERT_EQ(gfx::drawSprite(canvas, px(3), px(2), 0, 0, &sprite, 0, 0, c.key), 1);
    const std::vector<std::uint16_t> row(&canvas.at(3, 2), &canvas.at(3, 2) + 4);
    EXPECT_EQ(row, c.expected) << "key " << c.key;
    EXPECT_EQ(canvas.at(2, 2), kPaper);
    EXPECT_EQ(canvas.at(7, 2), kPaper);
  }
}

// A Canvas of other reported properties: the clip is its cxWidth x cyHeight, the pixel at
// x * xStep + y * yStep.
TEST(DrawSpriteCanvas, ClipsToTheReportedSizeAndUsesTheSteps) {
  platform::DisplayProperties narrow;
  narrow.cxWidth = 100;
  narrow.cyHeight = 50;
  Canvas canvas(narrow);
  paper(canvas);
  const Surface sprite = picture(12, 10);
  EXPECT_EQ(gfx::drawSprite(canvas, px(95), px(45), 0, 0, &sprite, 0, 0, gfx::kNoColourKey), 1);
  EXPECT_EQ(gfx::drawSprite(canvas, px(101), px(0), 0, 0, &sprite, 0, 0, gfx::kNoColourKey), 1);
  expectDrawn(canvas, Region{95, 45, 5, 5, 0, 0}, pictureValue, "narrow");

  // Landscape: 320 wide, rows of 320 pixels.
  platform::DisplayProperties landscape;
  landscape.cxWidth = 320;
  landscape.cyHeight = 240;
  landscape.cbyPitch = 640;
  Canvas wide(landscape);
  paper(wide);
  EXPECT_EQ(gfx::drawSprite(wide, px(315), px(235), 0, 0, &sprite, 0, 0, gfx::kKeyBlue), 1);
  EXPECT_EQ(wide.pixels[319 + 320 * 239], pictureValue(4, 4));
  EXPECT_EQ(wide.pixels[315 + 320 * 235], pictureValue(0, 0));
  EXPECT_EQ(wide.pixels[Canvas::kBlockPixels - 1], kPaper);

  // Columns instead of rows (xStep 320, yStep 1): opaque rows cannot be block copies.
  platform::DisplayProperties rotated;
  rotated.cbxPitch = 640;
  rotated.cbyPitch = 2;
  Canvas turned(rotated);
  paper(turned);
  EXPECT_EQ(gfx::drawSprite(turned, px(2), px(3), px(2), px(2), &sprite, px(1), px(1), gfx::kNoColourKey), 1);
  EXPECT_EQ(turned.pixels[2 * 320 + 3], pictureValue(1, 1));
  EXPECT_EQ(turned.pixels[3 * 320 + 3], pictureValue(2, 1));
  EXPECT_EQ(turned.pixels[2 * 320 + 4], pictureValue(1, 2));
}

TEST(DrawSpriteCanvas, ALayoutReachingPastTheBlockIsNotDrawnOn) {
  const Surface sprite = picture(12, 10);
  platform::DisplayProperties tooBig;
  tooBig.cxWidth = 242;  // 241 still fits: its last pixel is the spare one
  platform::DisplayProperties upsideDown;
  upsideDown.cbyPitch = -480;
  platform::DisplayProperties wideRows;
  wideRows.cbyPitch = 482;
  const struct {
    platform::DisplayProperties properties;
    int pointInside;  // blendPoint at (239, 319): only the pixel itself must lie in the block
  } cases[] = {{tooBig, 1}, {upsideDown, 0}, {wideRows, 0}};
  for (const auto& c : cases) {
    Canvas canvas(c.properties);
    paper(canvas);
    EXPECT_EQ(gfx::drawSprite(canvas, 0, 0, 0, 0, &sprite, 0, 0, gfx::kNoColourKey), 0);
    EXPECT_EQ(gfx::copyScreenRect(canvas, 0, 0, 0, 0, &canvas, 0, 0, gfx::kNoColourKey), c.properties.cxWidth == 242 ? 1 : 0);
    EXPECT_EQ(gfx::blendPoint(canvas, px(239), px(319), 0xFFFFFF, 31), c.pointInside);
  }
}

// The source canvas of the screen operations: every pixel tells its index in the block.
void pattern(Canvas& canvas) {
  for (std::size_t i = 0; i < Canvas::kBlockPixels; ++i) canvas.pixels[i] = static_cast<std::uint16_t>(0x4000 + i);
}

std::uint16_t screenValue(int x, int y) { return static_cast<std::uint16_t>(0x4000 + x + 240 * y); }

struct ScreenCase {
  const char* name;
  Fixed x, y, width, height, sourceX, sourceY;
  int result;
  std::optional<Region> drawn;
};

const ScreenCase kScreenCases[] = {
    {"WholeScreenWhenZero", 0, 0, 0, 0, 0, 0, 1, Region{0, 0, 240, 320, 0, 0}},
    {"WholeScreenWhenWidthZero", px(0), px(0), 0, px(10), 0, 0, 1, Region{0, 0, 240, 320, 0, 0}},
    {"WholeScreenShiftedClips", px(10), px(-5), 0, 0, 0, 0, 1, Region{10, 0, 230, 315, 0, 5}},
    {"Tile", px(20), px(40), px(20), px(20), px(20), px(40), 1, Region{20, 40, 20, 20, 20, 40}},
    {"TileFromElsewhere", px(0), px(0), px(20), px(20), px(220), px(300), 1, Region{0, 0, 20, 20, 220, 300}},
    {"SourceOnePastTheRight", 0, 0, px(20), px(20), px(221), 0, 0, std::nullopt},
    {"SourceOnePastTheBottom", 0, 0, px(20), px(20), 0, px(301), 0, std::nullopt},
    {"NegativeSource", 0, 0, px(20), px(20), px(-1), 0, 0, std::nullopt},
    {"NegativeSize", 0, 0, px(-20), px(20), 0, 0, 0, std::nullopt},
    {"AtTheRightEdge", px(240), 0, px(20), px(20), 0, 0, 1, std::nullopt},
    {"PastTheBottomEdge", 0, px(321), px(20), px(20), 0, 0, 1, std::nullopt},
    {"LeftEdge", px(-5), px(300), px(20), px(20), 0, 0, 1, Region{0, 300, 15, 20, 5, 0}},
};

void PrintTo(const ScreenCase& c, std::ostream* out) { *out << c.name; }

class ScreenRect : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(ScreenRect, CopyValidatesClipsAndCopies) {
  const ScreenCase& c = GetParam();
  Canvas source(platform::DisplayProperties{});
  pattern(source);
  Canvas canvas(platform::DisplayProperties{});
  paper(canvas);
  EXPECT_EQ(gfx::copyScreenRect(canvas, c.x, c.y, c.width, c.height, &source, c.sourceX, c.sourceY, gfx::kNoColourKey),
            c.result);
  expectDrawn(canvas, c.drawn, screenValue, c.name);
}

TEST_P(ScreenRect, BlendClipsAlike) {
  const ScreenCase& c = GetParam();
  Canvas source(platform::DisplayProperties{});
  pattern(source);
  Canvas canvas(platform::DisplayProperties{});
  paper(canvas);
  EXPECT_EQ(gfx::blendScreenRect(canvas, c.x, c.y, c.width, c.height, &source, c.sourceX, c.sourceY, 16), c.result);
  expectDrawn(
      canvas, c.drawn, [](int x, int y) { return gfx::mixPixels(screenValue(x, y), kPaper, 16); }, c.name);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScreenRect, ::testing::ValuesIn(kScreenCases),
                         [](const ::testing::TestParamInfo<ScreenCase>& p) { return std::string(p.param.name); });

TEST(ScreenRectSource, ReadAs240WideAndClippedAt240x320WhateverTheCanvasesReport) {
  // The source's own steps are not used, and the destination's reported size is not the clip.
  platform::DisplayProperties odd;
  odd.cxWidth = 100;
  odd.cyHeight = 100;
  odd.cbyPitch = 200;
  Canvas source(odd);
  pattern(source);
  Canvas canvas(platform::DisplayProperties{});
  paper(canvas);
  canvas.properties.cxWidth = 100;
  EXPECT_EQ(gfx::copyScreenRect(canvas, px(150), px(200), px(60), px(10), &source, px(5), px(7), gfx::kNoColourKey), 1);
  expectDrawn(canvas, Region{150, 200, 60, 10, 5, 7}, screenValue, "odd canvases");
  EXPECT_EQ(gfx::copyScreenRect(canvas, 0, 0, 0, 0, nullptr, 0, 0, gfx::kNoColourKey), 0);
  EXPECT_EQ(gfx::blendScreenRect(canvas, 0, 0, 0, 0, nullptr, 0, 0, 16), 0);
}

TEST(ScreenRectKey, KeyedCopySkipsTheKey) {
  Canvas source(platform::DisplayProperties{});
  pattern(source);
  source.at(1, 0) = 0x001F;
  source.at(2, 0) = 0x0000;
  Canvas canvas(platform::DisplayProperties{});
  paper(canvas);
  EXPECT_EQ(gfx::copyScreenRect(canvas, 0, 0, px(4), px(1), &source, 0, 0, gfx::kKeyBlue), 1);
  EXPECT_EQ(canvas.at(0, 0), screenValue(0, 0));
  EXPECT_EQ(canvas.at(1, 0), kPaper);
  EXPECT_EQ(canvas.at(2, 0), 0x0000);
  EXPECT_EQ(canvas.at(3, 0), screenValue(3, 0));
}

struct MixCase {
  std::uint16_t newer, older;
  int level;
  std::uint16_t expected;
};

TEST(Mixing, EachFiveBitFieldOnItsOwn) {
  // (new x level + old x (31 - level)) >> 5 in each of red, green and blue; bit 5 stays 0.
  const MixCase cases[] = {
      {0xFFDF, 0x0000, 31, 0xF79E},  // white over black at 31: 30 in each field, not 31
      {0xFFDF, 0x0000, 0, 0x0000},   // level 0 over black leaves it black
      {0x0000, 0x0000, 17, 0x0000},
      {0x0000, 0xFFDF, 0, 0xF79E},   // level 0 still weighs the old pixel by 31/32
      {0x0000, 0x0001, 0, 0x0000},
      {0xF800, 0x001F, 16, 0x780E},  // red 31*16>>5 = 15, blue 31*15>>5 = 14
      {0x07C0, 0x0000, 4, 0x00C0},   // green 31*4>>5 = 3
      {0x0840, 0x0000, 31, 0x0000},  // red 1 and green 1 at 31: 31>>5 = 0
      {0xFFDF, 0xFFDF, 10, 0xF79E},
      {0xFFFF, 0x0000, 31, 0xF79E},  // a set bit 5 in the source is dropped
      {0xFFDF, 0x0000, 40, 0xF79E},  // levels beyond 31 act as 31
      {0xFFDF, 0x0000, -3, 0x0000},  // and below 0 as 0
  };
  for (const MixCase& c : cases) {
    EXPECT_EQ(gfx::mixPixels(c.newer, c.older, c.level), c.expected)
        << std::hex << c.newer << " over " << c.older << " at " << std::dec << c.level;
  }
}

TEST(Mixing, BlendScreenRectMixesSourceOverDestination) {
  Canvas white(platform::DisplayProperties{});
  std::fill(white.pixels.get(), white.pixels.get() + Canvas::kBlockPixels, 0xFFDF);
  Canvas canvas(platform::DisplayProperties{});
  EXPECT_EQ(gfx::blendScreenRect(canvas, px(10), px(10), px(2), px(2), &white, 0, 0, 31), 1);
  EXPECT_EQ(canvas.at(10, 10), 0xF79E);
  EXPECT_EQ(canvas.at(11, 11), 0xF79E);
  EXPECT_EQ(canvas.at(12, 11), 0x0000);
  EXPECT_EQ(gfx::blendScreenRect(canvas, px(10), px(10), px(1), px(1), &white, 0, 0, 0), 1);
  EXPECT_EQ(canvas.at(10, 10), 0xEF5D);  // 30 * 31 >> 5 = 29 in each field
}

TEST(BlendPoint, MixesTheColourIntoOnePixelInsideTheCanvas) {
  Canvas canvas(platform::DisplayProperties{});
  // 0x00BBGGRR: pure red at 31 over black gives red 30.
  EXPECT_EQ(gfx::blendPoint(canvas, px(5), px(7), 0x0000FF, 31), 1);
  EXPECT_EQ(canvas.at(5, 7), 30 << 11);
  EXPECT_EQ(gfx::blendPoint(canvas, px(6), px(7) + 0xFFFF, 0xFF0000, 16), 1);  // blue, 15
  EXPECT_EQ(canvas.at(6, 7), 15);
  EXPECT_EQ(gfx::blendPoint(canvas, px(239), px(319), 0x00FF00, 31), 1);
  EXPECT_EQ(canvas.at(239, 319), 30 << 6);
  EXPECT_EQ(canvas.pixels[Canvas::kBlockPixels - 1], 0);
  const Fixed outside[][2] = {{px(240), 0}, {0, px(320)}, {-1, 0}, {0, -0x8000}, {px(-1), px(5)}, {px(1000), px(-1000)}};
  for (const auto& at : outside) {
    EXPECT_EQ(gfx::blendPoint(canvas, at[0], at[1], 0xFFFFFF, 31), 0) << at[0] << ", " << at[1];
  }
  int changed = 0;
  for (std::size_t i = 0; i < Canvas::kBlockPixels; ++i) changed += canvas.pixels[i] != 0;
  EXPECT_EQ(changed, 3);
}

TEST(CopyCanvas, CopiesTheWholeBlockSparePixelIncluded) {
  Canvas source(platform::DisplayProperties{});
  pattern(source);
  Canvas canvas(platform::DisplayProperties{});
  paper(canvas);
  EXPECT_EQ(gfx::copyCanvas(canvas, &source), 1);
  EXPECT_EQ(std::memcmp(canvas.pixelBlock(), source.pixelBlock(), Canvas::kBlockBytes), 0);
  EXPECT_EQ(canvas.pixels[Canvas::kBlockPixels - 1], source.pixels[Canvas::kBlockPixels - 1]);
  EXPECT_EQ(gfx::copyCanvas(canvas, &canvas), 1);
  EXPECT_EQ(canvas.pixels[7], source.pixels[7]);
  EXPECT_EQ(gfx::copyCanvas(canvas, nullptr), 0);
}

}  // namespace
