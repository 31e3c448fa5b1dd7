// The drawing operations: argument checks, clipping at every edge, colour keys and mixing.
#include "gfx/blit.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "gfx/pixel.hpp"
#include "gfx/text_surface.hpp"

namespace {

using gfx::Canvas;
using Properties = platform::DisplayProperties;

constexpr std::uint16_t kPaper = 0x1234;  // what a canvas holds before a test draws on it
constexpr Fixed px(int pixels) { return toFixed(pixels); }

void paper(Canvas& canvas) { std::fill_n(canvas.pixelBlock(), Canvas::kBlockPixels, kPaper); }

// Every pixel of the test picture tells where it came from; none equals a colour key.
std::uint16_t pictureValue(int x, int y) { return static_cast<std::uint16_t>(0x8000 | y << 6 | x); }
// A screen canvas whose every pixel tells its index.
std::uint16_t screenValue(int x, int y) { return static_cast<std::uint16_t>(0x4000 + x + 240 * y); }

gfx::Surface picture(int width, int height) {
  gfx::Surface s;
  s.width = width;
  s.height = height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) s.pixels.push_back(pictureValue(x, y));
  }
  return s;
}

void pattern(Canvas& canvas) {
  for (std::size_t i = 0; i < Canvas::kBlockPixels; ++i) canvas.pixelBlock()[i] = static_cast<std::uint16_t>(0x4000 + i);
}

// Where a call should have drawn: the destination rectangle and the source pixel at its corner.
struct Region {
  int x, y, width, height, sourceX, sourceY;
};

// Inside the region the source's pixels, elsewhere (the spare pixel included) the paper.
template <typename Source>
void expectDrawn(const Canvas& canvas, const std::optional<Region>& r, Source source, const std::string& name) {
  int wrong = 0;
  for (int y = 0; y < 320; ++y) {
    for (int x = 0; x < 240; ++x) {
      const bool inside = r && x >= r->x && x < r->x + r->width && y >= r->y && y < r->y + r->height;
      const std::uint16_t expected = inside ? source(r->sourceX + x - r->x, r->sourceY + y - r->y) : kPaper;
      if (canvas.pixelBlock()[x + 240 * y] != expected && ++wrong <= 3) ADD_FAILURE() << name << " at " << x << "," << y;
    }
  }
  EXPECT_EQ(canvas.pixelBlock()[Canvas::kBlockPixels - 1], kPaper) << name;
}

struct Case {
  const char* name;
  Fixed x, y, width, height, sourceX, sourceY;
  int result;
  std::optional<Region> drawn;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }
std::string caseName(const ::testing::TestParamInfo<Case>& p) { return p.param.name; }

// On a 12 x 10 picture.
const Case kSpriteCases[] = {
    {"WholeWhenWidthZero", px(10), px(20), 0, px(5), 0, 0, 1, Region{10, 20, 12, 10, 0, 0}},
    {"WholeWhenHeightZero", px(10), px(20), px(3), 0, 0, 0, 1, Region{10, 20, 12, 10, 0, 0}},
    {"WholeKeepsSourceX", px(10), px(20), 0, 0, px(1), 0, 0, std::nullopt},
    {"SourceReachesTheCorner", px(5), px(6), px(4), px(3), px(8), px(7), 1, Region{5, 6, 4, 3, 8, 7}},
    {"SourceOnePastTheRight", px(5), px(6), px(4), px(3), px(9), 0, 0, std::nullopt},
    {"SourceOnePastTheBottom", px(5), px(6), px(4), px(3), 0, px(8), 0, std::nullopt},
    {"SourcePastEvenWhenClippedAway", px(-50), px(6), px(4), px(3), px(9), 0, 0, std::nullopt},
    {"NegativeSourceX", px(5), px(6), px(4), px(3), px(-1), 0, 0, std::nullopt},
    {"NegativeSourceY", px(5), px(6), px(4), px(3), 0, px(-1), 0, std::nullopt},
    {"NegativeHeight", px(5), px(6), px(4), px(-3), 0, 0, 0, std::nullopt},
    {"LeftEdgeKeepsTheRightColumns", px(-5), px(30), px(12), px(10), 0, 0, 1, Region{0, 30, 7, 10, 5, 0}},
    {"TopEdgeKeepsTheBottomRows", px(30), px(-3), 0, 0, 0, 0, 1, Region{30, 0, 12, 7, 0, 3}},
    {"TopLeftCorner", px(-11), px(-9), 0, 0, 0, 0, 1, Region{0, 0, 1, 1, 11, 9}},
    {"EntirelyLeft", px(-12), px(30), 0, 0, 0, 0, 1, std::nullopt},
    {"RightEdgeShortens", px(235), px(30), 0, 0, 0, 0, 1, Region{235, 30, 5, 10, 0, 0}},
    {"BottomEdgeShortens", px(30), px(315), 0, 0, 0, 0, 1, Region{30, 315, 12, 5, 0, 0}},
    {"BottomRightCorner", px(239), px(319), 0, 0, 0, 0, 1, Region{239, 319, 1, 1, 0, 0}},
    {"AtTheRightEdge", px(240), px(30), 0, 0, 0, 0, 1, std::nullopt},
    {"PastTheRightEdge", px(241), px(30), 0, 0, 0, 0, 1, std::nullopt},
    {"AtTheBottomEdge", px(30), px(320), 0, 0, 0, 0, 1, std::nullopt},
    {"FarOffEveryEdge", px(32767), px(-32768), 0, 0, 0, 0, 1, std::nullopt},
    {"MinusHalfIsMinusOne", -0x8000, px(40), 0, 0, 0, 0, 1, Region{0, 40, 11, 10, 1, 0}},
    {"FractionsAreDropped", px(10) + 0xFFFF, px(40) + 0x8000, px(3) + 0xFFFF, px(2) + 1, px(1) + 0xFFFF, 0x7FFF, 1,
     Region{10, 40, 3, 2, 1, 0}},
    {"SmallNegativeSizeIsMinusOne", px(10), px(40), -1, px(2), 0, 0, 0, std::nullopt},
    {"SizeUnderOnePixelMeansWhole", px(10), px(40), 0xFFFF, 0xFFFF, 0, 0, 1, Region{10, 40, 12, 10, 0, 0}},
};

class DrawSprite : public ::testing::TestWithParam<Case> {};

// The opaque and the keyed copy clip alike; text, always drawn whole, clips as the whole picture.
TEST_P(DrawSprite, ValidatesClipsAndCopies) {
  const Case& c = GetParam();
  const gfx::Surface sprite = picture(12, 10);
  for (const std::int32_t key : {gfx::kNoColourKey, gfx::kKeyBlue}) {
    Canvas canvas(Properties{});
    paper(canvas);
    EXPECT_EQ(gfx::drawSprite(canvas, c.x, c.y, c.width, c.height, &sprite, c.sourceX, c.sourceY, key), c.result);
    expectDrawn(canvas, c.drawn, pictureValue, std::string(c.name) + " key " + std::to_string(key));
  }
  if (c.width != 0 || c.height != 0 || c.sourceX != 0 || c.sourceY != 0) return;
  gfx::TextSurface text;
  static_cast<gfx::Surface&>(text) = sprite;
  text.colour = 0x00FF00;
  std::fill(text.pixels.begin(), text.pixels.end(), gfx::colourToPixel(text.colour));
  Canvas canvas(Properties{});
  paper(canvas);
  EXPECT_EQ(gfx::drawText(canvas, c.x, c.y, &text), c.result);
  expectDrawn(canvas, c.drawn, [](int, int) { return gfx::colourToPixel(0x00FF00); }, std::string(c.name) + " text");
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawSprite, ::testing::ValuesIn(kSpriteCases), caseName);

TEST(DrawSpriteSource, MissingEmptyOrInconsistentPicturesDrawNothing) {
  Canvas canvas(Properties{});
  paper(canvas);
  gfx::Surface empty;
  gfx::Surface lying = picture(4, 4);
  lying.height = 5;  // promises more pixels than its block holds
  for (const gfx::Surface* s : std::initializer_list<const gfx::Surface*>{nullptr, &empty, &lying}) {
    EXPECT_EQ(gfx::drawSprite(canvas, 0, 0, 0, 0, s, 0, 0, gfx::kNoColourKey), 0);
    EXPECT_EQ(gfx::drawSprite(canvas, 0, 0, px(1), px(1), s, 0, 0, gfx::kKeyBlue), 0);
  }
  gfx::TextSurface lyingText;
  static_cast<gfx::Surface&>(lyingText) = lying;
  EXPECT_EQ(gfx::drawText(canvas, 0, 0, &lyingText), 0);
  EXPECT_EQ(gfx::drawText(canvas, 0, 0, nullptr), 0);
  expectDrawn(canvas, std::nullopt, pictureValue, "nothing");
}

TEST(DrawSpriteKey, SkipsOnlyTheKeyColour) {
  gfx::Surface sprite;
  sprite.width = 4;
  sprite.height = 1;
  sprite.pixels = {0x001F, 0x0000, 0xFFDF, 0x003F};
  const std::pair<std::int32_t, std::vector<std::uint16_t>> cases[] = {
      {gfx::kNoColourKey, {0x001F, 0x0000, 0xFFDF, 0x003F}}, {gfx::kKeyBlue, {kPaper, 0x0000, 0xFFDF, 0x003F}},
      {gfx::kKeyBlack, {0x001F, kPaper, 0xFFDF, 0x003F}},   {0xFFFFFF, {0x001F, 0x0000, kPaper, 0x003F}},
      {0x07FF0000, {kPaper, 0x0000, 0xFFDF, 0x003F}},  // the high byte plays no part
  };
  for (const auto& [key, expected] : cases) {
    Canvas canvas(Properties{});
    paper(canvas);
    ASSERT_EQ(gfx::drawSprite(canvas, px(3), px(2), 0, 0, &sprite, 0, 0, key), 1);
    EXPECT_EQ(std::vector<std::uint16_t>(&canvas.at(2, 2), &canvas.at(2, 2) + 6),
              (std::vector<std::uint16_t>{kPaper, expected[0], expected[1], expected[2], expected[3], kPaper}))
        << key;
  }
}

// The clip is the Canvas's reported size and the pixel lies at x * xStep + y * yStep; a
// layout that would reach past the block is refused.
TEST(DrawSpriteCanvas, ClipsToTheReportedSizeUsesTheStepsAndStaysInsideTheBlock) {
  const gfx::Surface sprite = picture(12, 10);
  Canvas narrow(Properties{100, 50});
  paper(narrow);
  EXPECT_EQ(gfx::drawSprite(narrow, px(95), px(45), 0, 0, &sprite, 0, 0, gfx::kNoColourKey), 1);
  EXPECT_EQ(gfx::drawSprite(narrow, px(101), 0, 0, 0, &sprite, 0, 0, gfx::kNoColourKey), 1);
  expectDrawn(narrow, Region{95, 45, 5, 5, 0, 0}, pictureValue, "narrow");

  Canvas landscape(Properties{320, 240, 2, 640});
  paper(landscape);
  EXPECT_EQ(gfx::drawSprite(landscape, px(315), px(235), 0, 0, &sprite, 0, 0, gfx::kKeyBlue), 1);
  EXPECT_EQ(landscape.pixelBlock()[319 + 320 * 239], pictureValue(4, 4));
  EXPECT_EQ(landscape.pixelBlock()[315 + 320 * 235], pictureValue(0, 0));
  EXPECT_EQ(landscape.pixelBlock()[Canvas::kBlockPixels - 1], kPaper);

  Canvas columns(Properties{240, 320, 640, 2});  // xStep 320, yStep 1: rows are not contiguous
  paper(columns);
  gfx::Surface keyed = sprite;
  keyed.pixels[1 + 12 * 1] = 0x001F;
  EXPECT_EQ(gfx::drawSprite(columns, px(2), px(3), px(2), px(2), &keyed, px(1), px(1), gfx::kKeyBlue), 1);
  EXPECT_EQ(columns.pixelBlock()[2 * 320 + 3], kPaper);
  EXPECT_EQ(columns.pixelBlock()[3 * 320 + 3], pictureValue(2, 1));
  EXPECT_EQ(gfx::drawSprite(columns, px(2), px(3), px(2), px(2), &keyed, px(1), px(1), gfx::kNoColourKey), 1);
  EXPECT_EQ(columns.pixelBlock()[2 * 320 + 3], 0x001F);
  EXPECT_EQ(columns.pixelBlock()[2 * 320 + 4], pictureValue(1, 2));

  // 241 wide still fits (its last pixel is the spare one); the others reach outside.
  const std::pair<Properties, int> layouts[] = {
      {Properties{242}, 1}, {Properties{240, 320, 2, -480}, 0}, {Properties{240, 320, 2, 482}, 0}};
  for (const auto& [properties, pointInside] : layouts) {
    Canvas canvas(properties);
    paper(canvas);
    EXPECT_EQ(gfx::drawSprite(canvas, 0, 0, 0, 0, &sprite, 0, 0, gfx::kNoColourKey), 0);
    EXPECT_EQ(gfx::copyScreenRect(canvas, 0, 0, 0, 0, &canvas, 0, 0, gfx::kNoColourKey), properties.cxWidth == 242 ? 1 : 0);
    EXPECT_EQ(gfx::blendPoint(canvas, px(239), px(319), 0xFFFFFF, 31), pointInside);
  }
}

const Case kScreenCases[] = {
    {"WholeScreenWhenWidthZero", 0, 0, 0, px(10), 0, 0, 1, Region{0, 0, 240, 320, 0, 0}},
    {"WholeScreenShiftedClips", px(10), px(-5), 0, 0, 0, 0, 1, Region{10, 0, 230, 315, 0, 5}},
    {"TileFromTheCorner", 0, 0, px(20), px(20), px(220), px(300), 1, Region{0, 0, 20, 20, 220, 300}},
    {"SourceOnePastTheRight", 0, 0, px(20), px(20), px(221), 0, 0, std::nullopt},
    {"SourceOnePastTheBottom", 0, 0, px(20), px(20), 0, px(301), 0, std::nullopt},
    {"AtTheRightEdge", px(240), 0, px(20), px(20), 0, 0, 1, std::nullopt},
    {"LeftEdge", px(-5), px(300), px(20), px(20), 0, 0, 1, Region{0, 300, 15, 20, 5, 0}},
};

class ScreenRect : public ::testing::TestWithParam<Case> {};

TEST_P(ScreenRect, CopyAndBlendValidateAndClipAlike) {
  const Case& c = GetParam();
  Canvas source(Properties{});
  pattern(source);
  Canvas copied(Properties{});
  paper(copied);
  EXPECT_EQ(gfx::copyScreenRect(copied, c.x, c.y, c.width, c.height, &source, c.sourceX, c.sourceY, gfx::kNoColourKey),
            c.result);
  expectDrawn(copied, c.drawn, screenValue, std::string(c.name) + " copy");
  Canvas blended(Properties{});
  paper(blended);
  EXPECT_EQ(gfx::blendScreenRect(blended, c.x, c.y, c.width, c.height, &source, c.sourceX, c.sourceY, 16), c.result);
  expectDrawn(
      blended, c.drawn, [](int x, int y) { return gfx::mixPixels(screenValue(x, y), kPaper, 16); },
      std::string(c.name) + " blend");
}

INSTANTIATE_TEST_SUITE_P(Cases, ScreenRect, ::testing::ValuesIn(kScreenCases), caseName);

TEST(ScreenRectSource, ReadAs240WideClippedAt240x320AndKeyed) {
  // The source's own steps are not used, and the destination's reported size is not the clip.
  Canvas source(Properties{100, 100, 2, 200});
  pattern(source);
  Canvas canvas(Properties{});
  paper(canvas);
  canvas.properties.cxWidth = 100;
  EXPECT_EQ(gfx::copyScreenRect(canvas, px(150), px(200), px(60), px(10), &source, px(5), px(7), gfx::kNoColourKey), 1);
  expectDrawn(canvas, Region{150, 200, 60, 10, 5, 7}, screenValue, "odd canvases");
  EXPECT_EQ(gfx::copyScreenRect(canvas, 0, 0, 0, 0, nullptr, 0, 0, gfx::kNoColourKey), 0);
  EXPECT_EQ(gfx::blendScreenRect(canvas, 0, 0, 0, 0, nullptr, 0, 0, 16), 0);

  source.at(1, 0) = 0x001F;
  source.at(2, 0) = 0x0000;
  EXPECT_EQ(gfx::copyScreenRect(canvas, 0, 0, px(4), px(1), &source, 0, 0, gfx::kKeyBlue), 1);
  EXPECT_EQ(std::vector<std::uint16_t>(&canvas.at(0, 0), &canvas.at(0, 0) + 4),
            (std::vector<std::uint16_t>{screenValue(0, 0), kPaper, 0x0000, screenValue(3, 0)}));
}

TEST(Mixing, EachFiveBitFieldOnItsOwn) {
  // (new x level + old x (31 - level)) >> 5 in each of red, green and blue; bit 5 stays 0.
  const struct {
    std::uint16_t newer, older;
    int level;
    std::uint16_t expected;
  } cases[] = {
      {0xFFDF, 0x0000, 31, 0xF79E},  // white over black at 31: 30 in each field, not 31
      {0xFFDF, 0x0000, 0, 0x0000},   {0x0000, 0xFFDF, 0, 0xF79E},  // level 0 still weighs the old by 31/32
      {0x0000, 0x0001, 0, 0x0000},   {0xF800, 0x001F, 16, 0x780E},  // red 31*16>>5 = 15, blue 31*15>>5 = 14
      {0x07C0, 0x0000, 4, 0x00C0},   {0x0840, 0x0000, 31, 0x0000},  // 1 * 31 >> 5 = 0
      {0xFFFF, 0x0000, 31, 0xF79E},  // a set bit 5 in the source is dropped
      {0xFFDF, 0x0000, 40, 0xF79E},  {0xFFDF, 0x0000, -3, 0x0000},  // levels held within 0 .. 31
  };
  for (const auto& c : cases) EXPECT_EQ(gfx::mixPixels(c.newer, c.older, c.level), c.expected) << c.level;

  Canvas white(Properties{});
  std::fill_n(white.pixelBlock(), Canvas::kBlockPixels, 0xFFDF);
  Canvas canvas(Properties{});
  EXPECT_EQ(gfx::blendScreenRect(canvas, px(10), px(10), px(2), px(2), &white, 0, 0, 31), 1);
  EXPECT_EQ(gfx::blendScreenRect(canvas, px(10), px(10), px(1), px(1), &white, 0, 0, 0), 1);
  EXPECT_EQ(canvas.at(10, 10), 0xEF5D);  // 30 * 31 >> 5 = 29 in each field
  EXPECT_EQ(canvas.at(11, 11), 0xF79E);
  EXPECT_EQ(canvas.at(12, 11), 0x0000);
}

TEST(BlendPoint, MixesTheColourIntoOnePixelInsideTheCanvas) {
  Canvas canvas(Properties{});
  EXPECT_EQ(gfx::blendPoint(canvas, px(5), px(7), 0x0000FF, 31), 1);  // 0x00BBGGRR: red 30
  EXPECT_EQ(gfx::blendPoint(canvas, px(6), px(7) + 0xFFFF, 0xFF0000, 16), 1);  // blue 15
  EXPECT_EQ(gfx::blendPoint(canvas, px(239), px(319), 0x00FF00, 31), 1);
  EXPECT_EQ(canvas.at(5, 7), 30 << 11);
  EXPECT_EQ(canvas.at(6, 7), 15);
  EXPECT_EQ(canvas.at(239, 319), 30 << 6);
  for (const auto& [x, y] : {std::pair{px(240), 0}, {0, px(320)}, {-1, 0}, {0, -0x8000}, {px(1000), px(-1000)}}) {
    EXPECT_EQ(gfx::blendPoint(canvas, x, y, 0xFFFFFF, 31), 0) << x << ", " << y;
  }
  EXPECT_EQ(std::count(canvas.pixelBlock(), canvas.pixelBlock() + Canvas::kBlockPixels, 0), Canvas::kBlockPixels - 3);
}

TEST(CopyCanvas, CopiesTheWholeBlockSparePixelIncluded) {
  Canvas source(Properties{});
  pattern(source);
  Canvas canvas(Properties{});
  EXPECT_EQ(gfx::copyCanvas(canvas, &source), 1);
  EXPECT_EQ(std::memcmp(canvas.pixelBlock(), source.pixelBlock(), Canvas::kBlockBytes), 0);
  EXPECT_EQ(gfx::copyCanvas(canvas, &canvas), 1);
  EXPECT_EQ(gfx::copyCanvas(canvas, nullptr), 0);
  EXPECT_EQ(canvas.pixelBlock()[Canvas::kBlockPixels - 1], source.pixelBlock()[Canvas::kBlockPixels - 1]);
}

}  // namespace
