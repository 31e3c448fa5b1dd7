// The drawing operations: argument checks, clipping at every edge, colour keys and mixing.
#include "gfx/blit.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "gfx/pixel.hpp"
#include "gfx/text_surface.hpp"

namespace {

using gfx::Canvas;
using Properties = platform::DisplayProperties;

constexpr std::uint16_t kPaper = 0x1234;  // what a canvas holds before a test draws on it
constexpr Fixed px(int pixels) { return toFixed(pixels); }

void fill(Canvas& canvas, std::uint16_t value) { std::fill_n(canvas.pixelBlock(), Canvas::kBlockPixels, value); }
// Every pixel of the test picture, and of the test screen, tells where it came from; none is a key.
std::uint16_t pictureValue(int x, int y) { return static_cast<std::uint16_t>(0x8000 | y << 6 | x); }
std::uint16_t screenValue(int x, int y) { return static_cast<std::uint16_t>(0x4000 + x + 240 * y); }

gfx::Surface picture(int width, int height) {
  gfx::Surface s{{}, width, height};
  for (int i = 0; i < width * height; ++i) s.pixels.push_back(pictureValue(i % width, i / width));
  return s;
}

Canvas& screen() {
  static Canvas canvas(Properties{});
  for (std::size_t i = 0; i < Canvas::kBlockPixels; ++i) canvas.pixelBlock()[i] = static_cast<std::uint16_t>(0x4000 + i);
  return canvas;
}

// A call and where it should draw: the destination rectangle (none when its width is 0) and
// the source pixel at its corner.
struct Case {
  const char* name;
  Fixed x = 0, y = 0, width = 0, height = 0, sourceX = 0, sourceY = 0;
  int result = 0;
  int left = 0, top = 0, drawnWidth = 0, drawnHeight = 0, fromX = 0, fromY = 0;
};

// Inside the rectangle the source's pixels, elsewhere (the spare pixel included) the paper.
template <typename Source>
void expectDrawn(const Canvas& canvas, const Case& c, Source source, const char* what) {
  int wrong = 0;
  for (int y = 0; y < 320; ++y) {
    for (int x = 0; x < 240; ++x) {
      const bool in = x >= c.left && x < c.left + c.drawnWidth && y >= c.top && y < c.top + c.drawnHeight;
      const std::uint16_t expected = in ? source(c.fromX + x - c.left, c.fromY + y - c.top) : kPaper;
      if (canvas.pixelBlock()[x + 240 * y] != expected && ++wrong <= 3) ADD_FAILURE() << c.name << " " << what << " at " << x << "," << y;
    }
  }
  EXPECT_EQ(canvas.pixelBlock()[Canvas::kBlockPixels - 1], kPaper) << c.name << " " << what;
}

// On a 12 x 10 picture. The opaque and the keyed copy clip alike; text, always drawn whole,
// clips as the whole picture.
TEST(DrawSprite, ValidatesClipsAndCopies) {
  const Case cases[] = {
      {"WholeWhenWidthZero", px(10), px(20), 0, px(5), 0, 0, 1, 10, 20, 12, 10, 0, 0},
      {"WholeWhenHeightZero", px(10), px(20), px(3), 0, 0, 0, 1, 10, 20, 12, 10, 0, 0},
      {"WholeKeepsSourceX", px(10), px(20), 0, 0, px(1), 0, 0, 0, 0, 0, 0, 0, 0},
      {"SourceReachesTheCorner", px(5), px(6), px(4), px(3), px(8), px(7), 1, 5, 6, 4, 3, 8, 7},
      {"SourceOnePastTheRight", px(5), px(6), px(4), px(3), px(9), 0, 0, 0, 0, 0, 0, 0, 0},
      {"SourceOnePastTheBottom", px(5), px(6), px(4), px(3), 0, px(8), 0, 0, 0, 0, 0, 0, 0},
      {"SourcePastEvenWhenClippedAway", px(-50), px(6), px(4), px(3), px(9), 0, 0, 0, 0, 0, 0, 0, 0},
      {"NegativeSourceX", px(5), px(6), px(4), px(3), px(-1), 0, 0, 0, 0, 0, 0, 0, 0},
      {"NegativeSourceY", px(5), px(6), px(4), px(3), 0, px(-1), 0, 0, 0, 0, 0, 0, 0},
      {"NegativeHeight", px(5), px(6), px(4), px(-3), 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {"SmallNegativeWidthIsMinusOne", px(10), px(40), -1, px(2), 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {"LeftEdgeKeepsTheRightColumns", px(-5), px(30), px(12), px(10), 0, 0, 1, 0, 30, 7, 10, 5, 0},
      {"TopEdgeKeepsTheBottomRows", px(30), px(-3), 0, 0, 0, 0, 1, 30, 0, 12, 7, 0, 3},
      {"TopLeftCorner", px(-11), px(-9), 0, 0, 0, 0, 1, 0, 0, 1, 1, 11, 9},
      {"EntirelyLeft", px(-12), px(30), 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0},
      {"RightEdgeShortens", px(235), px(30), 0, 0, 0, 0, 1, 235, 30, 5, 10, 0, 0},
      {"BottomEdgeShortens", px(30), px(315), 0, 0, 0, 0, 1, 30, 315, 12, 5, 0, 0},
      {"BottomRightCorner", px(239), px(319), 0, 0, 0, 0, 1, 239, 319, 1, 1, 0, 0},
      {"AtTheRightEdge", px(240), px(30), 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0},
      {"PastTheRightEdge", px(241), px(30), 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0},
      {"AtTheBottomEdge", px(30), px(320), 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0},
      {"FarOffEveryEdge", px(32767), px(-32768), 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0},
      {"MinusHalfIsMinusOne", -0x8000, px(40), 0, 0, 0, 0, 1, 0, 40, 11, 10, 1, 0},
      {"FractionsAreDropped", px(10) + 0xFFFF, px(40) + 0x8000, px(3) + 0xFFFF, px(2) + 1, px(1) + 0xFFFF, 0x7FFF, 1,
       10, 40, 3, 2, 1, 0},
      {"SizeUnderOnePixelMeansWhole", px(10), px(40), 0xFFFF, 0xFFFF, 0, 0, 1, 10, 40, 12, 10, 0, 0},
  };
  const gfx::Surface sprite = picture(12, 10);
  gfx::TextSurface text;
  static_cast<gfx::Surface&>(text) = sprite;
  text.colour = 0x00FF00;
  std::fill(text.pixels.begin(), text.pixels.end(), gfx::colourToPixel(text.colour));
  Canvas canvas(Properties{});
  for (const Case& c : cases) {
    for (const std::int32_t key : {gfx::kNoColourKey, gfx::kKeyBlue}) {
      fill(canvas, kPaper);
      EXPECT_EQ(gfx::drawSprite(canvas, c.x, c.y, c.width, c.height, &sprite, c.sourceX, c.sourceY, key), c.result) << c.name;
      expectDrawn(canvas, c, pictureValue, key == gfx::kNoColourKey ? "opaque" : "keyed");
    }
    if (c.width != 0 || c.height != 0 || c.sourceX != 0 || c.sourceY != 0) continue;
    fill(canvas, kPaper);
    EXPECT_EQ(gfx::drawText(canvas, c.x, c.y, &text), c.result) << c.name;
    expectDrawn(canvas, c, [](int, int) { return gfx::colourToPixel(0x00FF00); }, "text");
  }
}

TEST(DrawSprite, MissingEmptyOrInconsistentPicturesDrawNothing) {
  Canvas canvas(Properties{});
  fill(canvas, kPaper);
  const gfx::Surface empty;
  gfx::TextSurface lying;
  static_cast<gfx::Surface&>(lying) = picture(4, 4);
  lying.height = 5;  // promises more pixels than its block holds
  for (const gfx::Surface* s : std::initializer_list<const gfx::Surface*>{nullptr, &empty, &lying}) {
    EXPECT_EQ(gfx::drawSprite(canvas, 0, 0, 0, 0, s, 0, 0, gfx::kNoColourKey), 0);
    EXPECT_EQ(gfx::drawSprite(canvas, 0, 0, px(1), px(1), s, 0, 0, gfx::kKeyBlue), 0);
  }
  EXPECT_EQ(gfx::drawText(canvas, 0, 0, &lying), 0);
  EXPECT_EQ(gfx::drawText(canvas, 0, 0, nullptr), 0);
  expectDrawn(canvas, Case{"nothing"}, pictureValue, "");
}

TEST(DrawSprite, SkipsOnlyTheKeyColour) {
  const gfx::Surface sprite{{0x001F, 0x0000, 0xFFDF, 0x003F}, 4, 1};
  const std::pair<std::int32_t, std::vector<std::uint16_t>> cases[] = {
      {gfx::kNoColourKey, {0x001F, 0x0000, 0xFFDF, 0x003F}}, {gfx::kKeyBlue, {kPaper, 0x0000, 0xFFDF, 0x003F}},
      {gfx::kKeyBlack, {0x001F, kPaper, 0xFFDF, 0x003F}},   {0xFFFFFF, {0x001F, 0x0000, kPaper, 0x003F}},
      {0x07FF0000, {kPaper, 0x0000, 0xFFDF, 0x003F}},  // the high byte plays no part
  };
  Canvas canvas(Properties{});
  for (const auto& [key, expected] : cases) {
    fill(canvas, kPaper);
    ASSERT_EQ(gfx::drawSprite(canvas, px(3), px(2), 0, 0, &sprite, 0, 0, key), 1);
    EXPECT_EQ(std::vector<std::uint16_t>(&canvas.at(2, 2), &canvas.at(2, 2) + 6),
              (std::vector<std::uint16_t>{kPaper, expected[0], expected[1], expected[2], expected[3], kPaper})) << key;
  }
}

// The clip is the Canvas's reported size and the pixel lies at x * xStep + y * yStep; a
// layout that would reach past the block is refused.
TEST(DrawSprite, ClipsToTheReportedSizeUsesTheStepsAndStaysInsideTheBlock) {
  gfx::Surface sprite = picture(12, 10);
  Canvas narrow(Properties{100, 50});
  fill(narrow, kPaper);
  EXPECT_EQ(gfx::drawSprite(narrow, px(95), px(45), 0, 0, &sprite, 0, 0, gfx::kNoColourKey), 1);
  EXPECT_EQ(gfx::drawSprite(narrow, px(101), 0, 0, 0, &sprite, 0, 0, gfx::kNoColourKey), 1);
  expectDrawn(narrow, Case{"narrow", 0, 0, 0, 0, 0, 0, 1, 95, 45, 5, 5, 0, 0}, pictureValue, "");

  Canvas columns(Properties{240, 320, 640, 2});  // xStep 320, yStep 1: rows are not contiguous
  sprite.pixels[1 + 12 * 1] = 0x001F;
  EXPECT_EQ(gfx::drawSprite(columns, px(2), px(3), px(2), px(2), &sprite, px(1), px(1), gfx::kKeyBlue), 1);
  EXPECT_EQ(columns.pixelBlock()[2 * 320 + 3], 0);
  EXPECT_EQ(columns.pixelBlock()[3 * 320 + 3], pictureValue(2, 1));
  EXPECT_EQ(gfx::drawSprite(columns, px(2), px(3), px(2), px(2), &sprite, px(1), px(1), gfx::kNoColourKey), 1);
  EXPECT_EQ(columns.pixelBlock()[2 * 320 + 3], 0x001F);
  EXPECT_EQ(columns.pixelBlock()[2 * 320 + 4], pictureValue(1, 2));

  // 241 wide still fits (its last pixel is the spare one); the others reach outside.
  for (const auto& [properties, inside] : {std::pair{Properties{242}, 1}, {Properties{240, 320, 2, -480}, 0},
                                           {Properties{240, 320, 2, 482}, 0}}) {
    Canvas canvas(properties);
    EXPECT_EQ(gfx::drawSprite(canvas, 0, 0, 0, 0, &sprite, 0, 0, gfx::kNoColourKey), 0);
    EXPECT_EQ(gfx::copyScreenRect(canvas, 0, 0, 0, 0, &screen(), 0, 0, gfx::kNoColourKey), properties.cxWidth == 242 ? 1 : 0);
    EXPECT_EQ(gfx::blendPoint(canvas, px(239), px(319), 0xFFFFFF, 31), inside);  // only its own pixel must fit
  }
}

// The source is read as a plain 240-pixel-wide picture whatever it reports, width or height 0
// means 240 x 320, and the clip is 240 x 320 whatever the destination reports.
TEST(ScreenRect, CopyAndBlendValidateAndClipAlike) {
  const Case cases[] = {
      {"WholeScreenWhenWidthZero", 0, 0, 0, px(10), 0, 0, 1, 0, 0, 240, 320, 0, 0},
      {"WholeScreenShiftedClips", px(10), px(-5), 0, 0, 0, 0, 1, 10, 0, 230, 315, 0, 5},
      {"TileFromTheCorner", 0, 0, px(20), px(20), px(220), px(300), 1, 0, 0, 20, 20, 220, 300},
      {"SourceOnePastTheRight", 0, 0, px(20), px(20), px(221), 0, 0, 0, 0, 0, 0, 0, 0},
      {"SourceOnePastTheBottom", 0, 0, px(20), px(20), 0, px(301), 0, 0, 0, 0, 0, 0, 0},
      {"AtTheRightEdge", px(240), 0, px(20), px(20), 0, 0, 1, 0, 0, 0, 0, 0, 0},
      {"LeftEdge", px(-5), px(300), px(20), px(20), 0, 0, 1, 0, 300, 15, 20, 5, 0},
      {"OddCanvases", px(150), px(200), px(60), px(10), px(5), px(7), 1, 150, 200, 60, 10, 5, 7},
  };
  Canvas source(Properties{100, 100, 2, 200});
  std::copy_n(screen().pixelBlock(), Canvas::kBlockPixels, source.pixelBlock());
  Canvas canvas(Properties{100});
  for (const Case& c : cases) {
    fill(canvas, kPaper);
    EXPECT_EQ(gfx::copyScreenRect(canvas, c.x, c.y, c.width, c.height, &source, c.sourceX, c.sourceY, -1), c.result) << c.name;
    expectDrawn(canvas, c, screenValue, "copy");
    fill(canvas, kPaper);
    EXPECT_EQ(gfx::blendScreenRect(canvas, c.x, c.y, c.width, c.height, &source, c.sourceX, c.sourceY, 16), c.result);
    expectDrawn(canvas, c, [](int x, int y) { return gfx::mixPixels(screenValue(x, y), kPaper, 16); }, "blend");
  }
  EXPECT_EQ(gfx::copyScreenRect(canvas, 0, 0, 0, 0, nullptr, 0, 0, gfx::kNoColourKey), 0);
  EXPECT_EQ(gfx::blendScreenRect(canvas, 0, 0, 0, 0, nullptr, 0, 0, 16), 0);
  source.at(1, 0) = 0x001F;
  source.at(2, 0) = 0x0000;
  EXPECT_EQ(gfx::copyScreenRect(canvas, 0, 0, px(4), px(1), &source, 0, 0, gfx::kKeyBlue), 1);
  EXPECT_EQ(std::vector<std::uint16_t>(&canvas.at(0, 0), &canvas.at(0, 0) + 4),
            (std::vector<std::uint16_t>{screenValue(0, 0), kPaper, 0x0000, screenValue(3, 0)}));
}

// (new x level + old x (31 - level)) >> 5 in each of red, green and blue; bit 5 stays 0.
TEST(Mixing, EachFiveBitFieldOnItsOwnForRectanglesAndPoints) {
  const int cases[][4] = {
      {0xFFDF, 0x0000, 31, 0xF79E},  // white over black at 31: 30 in each field, not 31
      {0x0000, 0xFFDF, 0, 0xF79E},   // level 0 still weighs the old by 31/32
      {0xF800, 0x001F, 16, 0x780E},  // red 31*16>>5 = 15, blue 31*15>>5 = 14
      {0x07C0, 0x0000, 4, 0x00C0},   {0x0840, 0x0000, 31, 0x0000},  // 1 * 31 >> 5 = 0
      {0xFFFF, 0x0000, 31, 0xF79E},  // a set bit 5 in the source is dropped
      {0xFFDF, 0x0000, 40, 0xF79E},  {0xFFDF, 0x0000, -3, 0x0000},  // levels held within 0 .. 31
  };
  Canvas canvas(Properties{});
  Canvas source(Properties{});
  for (const auto& [newer, older, level, expected] : cases) {
    EXPECT_EQ(gfx::mixPixels(static_cast<std::uint16_t>(newer), static_cast<std::uint16_t>(older), level), expected) << level;
    fill(canvas, static_cast<std::uint16_t>(older));
    fill(source, static_cast<std::uint16_t>(newer));
    EXPECT_EQ(gfx::blendScreenRect(canvas, px(10), px(10), px(1), px(1), &source, 0, 0, level), 1);
    EXPECT_EQ(canvas.at(10, 10), expected) << level;
  }
  fill(canvas, 0);
  EXPECT_EQ(gfx::blendPoint(canvas, px(5), px(7), 0x0000FF, 31), 1);  // 0x00BBGGRR: red 30
  EXPECT_EQ(gfx::blendPoint(canvas, px(6), px(7) + 0xFFFF, 0xFF0000, 16), 1);  // blue 15
  EXPECT_EQ(gfx::blendPoint(canvas, px(239), px(319), 0x00FF00, 31), 1);
  EXPECT_EQ(std::vector<std::uint16_t>({canvas.at(5, 7), canvas.at(6, 7), canvas.at(239, 319)}),
            std::vector<std::uint16_t>({30 << 11, 15, 30 << 6}));
  for (const auto& [x, y] : {std::pair{px(240), 0}, {0, px(320)}, {-1, 0}, {0, -0x8000}, {px(1000), px(-1000)}}) {
    EXPECT_EQ(gfx::blendPoint(canvas, x, y, 0xFFFFFF, 31), 0) << x << ", " << y;
  }
  EXPECT_EQ(std::count(canvas.pixelBlock(), canvas.pixelBlock() + Canvas::kBlockPixels, 0), Canvas::kBlockPixels - 3);
}

TEST(CopyCanvas, CopiesTheWholeBlockSparePixelIncluded) {
  Canvas canvas(Properties{});
  EXPECT_EQ(gfx::copyCanvas(canvas, &screen()), 1);
  EXPECT_EQ(std::memcmp(canvas.pixelBlock(), screen().pixelBlock(), Canvas::kBlockBytes), 0);
  EXPECT_EQ(gfx::copyCanvas(canvas, &canvas), 1);
  EXPECT_EQ(gfx::copyCanvas(canvas, nullptr), 0);
}

}  // namespace
