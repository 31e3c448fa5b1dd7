// The generated pictures as the game loads them (16-bit pixels): the sizes and positions its
// drawing code relies on, colour keys where it expects them and nowhere inside a sprite, and
// the parts that are drawn over one another matching where they must.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

#include "gfx/surface.hpp"
#include "platform/resources.hpp"
#include "tests/support/scratch_folder.hpp"

namespace {

constexpr std::uint16_t kBlue = 0x001F;
constexpr std::uint16_t kBlack = 0x0000;

gfx::Surface picture(const std::string& name) {
  gfx::Surface surface;
  gfx::loadPicture(surface, testing_support::gameFolder() + "image/" + name);
  return surface;
}

gfx::Surface resource(int number) {
  gfx::Surface surface;
  gfx::loadPictureResource(surface, number);
  return surface;
}

std::uint16_t at(const gfx::Surface& s, int x, int y) { return s.pixels[static_cast<std::size_t>(y) * s.width + x]; }

int count(const gfx::Surface& s, int x0, int y0, int w, int h, const std::function<bool(std::uint16_t)>& test) {
  int n = 0;
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) n += test(at(s, x, y)) ? 1 : 0;
  }
  return n;
}

int countKey(const gfx::Surface& s, int x0, int y0, int w, int h, std::uint16_t key) {
  return count(s, x0, y0, w, h, [key](std::uint16_t p) { return p == key; });
}

bool sameArea(const gfx::Surface& a, int ax, int ay, const gfx::Surface& b, int bx, int by, int w, int h) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (at(a, ax + x, ay + y) != at(b, bx + x, by + y)) return false;
    }
  }
  return true;
}

// The outermost ring of pixels of a w x h area at (bx, by) on the screen is the same in both
// pictures; a side along the screen's left edge can show no seam and is not compared.
bool sameRim(const gfx::Surface& a, int ax, int ay, const gfx::Surface& b, int bx, int by, int w, int h) {
  return sameArea(a, ax, ay, b, bx, by, w, 1) && sameArea(a, ax, ay + h - 1, b, bx, by + h - 1, w, 1) &&
         (bx == 0 || sameArea(a, ax, ay, b, bx, by, 1, h)) && sameArea(a, ax + w - 1, ay, b, bx + w - 1, by, 1, h);
}

bool flat(const gfx::Surface& s, int x0, int y0, int w, int h) {
  const std::uint16_t first = at(s, x0, y0);
  return count(s, x0, y0, w, h, [first](std::uint16_t p) { return p == first; }) == w * h;
}

struct Expected {
  const char* name;
  int width;
  int height;
};

class PictureFile : public ::testing::TestWithParam<Expected> {};

TEST_P(PictureFile, LoadsAtItsSize) {
  const gfx::Surface s = picture(GetParam().name);
  EXPECT_EQ(s.width, GetParam().width);
  EXPECT_EQ(s.height, GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(
    EveryPicture, PictureFile,
    ::testing::Values(Expected{"cover.png", 240, 320}, Expected{"about.png", 240, 320}, Expected{"win.png", 240, 320},
                      Expected{"fail.png", 240, 320}, Expected{"pass.png", 240, 320}, Expected{"pause.png", 240, 320},
                      Expected{"menucover.png", 240, 320}, Expected{"menuselect.png", 176, 250},
                      Expected{"keyhelp.png", 240, 320}, Expected{"mousehelp.png", 240, 320},
                      Expected{"brickhelp.png", 240, 320}, Expected{"toolhelp.png", 240, 320},
                      Expected{"optioncover.png", 240, 320}, Expected{"optionselect.png", 144, 144},
                      Expected{"change.png", 40, 80}, Expected{"ball.png", 48, 36}, Expected{"blast.png", 384, 192},
                      Expected{"Brick_Stone.png", 20, 120}, Expected{"Brick_Hide.png", 20, 120},
                      Expected{"Brick_Stable.png", 20, 120}, Expected{"Brick_Metal.png", 40, 120},
                      Expected{"Brick_Gem.png", 60, 120}, Expected{"Brick_Fire.png", 60, 120},
                      Expected{"background.png", 240, 320}, Expected{"digitpanel.png", 240, 24},
                      Expected{"board.png", 80, 30}, Expected{"highscore.png", 240, 320},
                      Expected{"updating.png", 128, 60}, Expected{"input.png", 240, 320},
                      Expected{"font.png", 240, 112}),
    [](const ::testing::TestParamInfo<Expected>& param) {
      std::string name = param.param.name;
      return name.substr(0, name.find('.'));
    });

TEST(ResourcePictures, HaveTheSizesTheirUsersCutThemBy) {
  const Expected expected[] = {{"115", 192, 16}, {"143", 160, 16}, {"154", 5, 10}, {"162", 210, 60}};
  for (const Expected& e : expected) {
    const gfx::Surface s = resource(std::stoi(e.name));
    EXPECT_EQ(s.width, e.width) << e.name;
    EXPECT_EQ(s.height, e.height) << e.name;
  }
}

TEST(DigitStrips, DigitsStandOnBlueAndTheSixSignCellsAreBlank) {
  const gfx::Surface small = resource(115);
  ASSERT_EQ(small.width, 192);
  for (int cell = 0; cell < 16; ++cell) {
    const int ink = 12 * 16 - countKey(small, 12 * cell, 0, 12, 16, kBlue);
    if (cell < 10) {
      EXPECT_GT(ink, 30) << "digit " << cell;
      EXPECT_EQ(at(small, 12 * cell, 0), kBlue) << "digit " << cell;
    } else {
      EXPECT_EQ(ink, 0) << "cell " << cell;
    }
  }
  const gfx::Surface big = resource(143);
  ASSERT_EQ(big.width, 160);
  for (int cell = 0; cell < 10; ++cell) {
    EXPECT_GT(16 * 16 - countKey(big, 16 * cell, 0, 16, 16, kBlue), 40) << "digit " << cell;
    EXPECT_EQ(at(big, 16 * cell, 0), kBlue);
    EXPECT_EQ(at(big, 16 * cell + 15, 15), kBlue);
  }
}

TEST(ShotResource, BoltWithBlueAroundIt) {
  const gfx::Surface shot = resource(154);
  ASSERT_EQ(shot.width, 5);
  EXPECT_EQ(at(shot, 0, 0), kBlue);
  EXPECT_EQ(at(shot, 4, 9), kBlue);
  EXPECT_EQ(countKey(shot, 1, 1, 3, 5, kBlue), 0);
}

TEST(ItemIcons, BlackOnlyOutsideEachFramedTile) {
  const gfx::Surface items = resource(162);
  ASSERT_EQ(items.width, 210);
  for (int kind = 1; kind <= 14; ++kind) {
    const int x = 30 * ((kind - 1) % 7);
    const int y = 30 * ((kind - 1) / 7);
    EXPECT_EQ(at(items, x, y), kBlack) << "kind " << kind;
    EXPECT_EQ(at(items, x + 29, y + 29), kBlack) << "kind " << kind;
    EXPECT_EQ(countKey(items, x + 2, y + 2, 26, 26, kBlack), 0) << "kind " << kind;
    EXPECT_EQ(countKey(items, x + 14, y, 2, 30, kBlack), 0) << "kind " << kind;
  }
}

TEST(Balls, EachCellHoldsABallWithNoHoleAndBlackCorners) {
  const gfx::Surface balls = picture("ball.png");
  ASSERT_EQ(balls.width, 48);
  const int cells[][2] = {{0, 0}, {0, 12}, {12, 12}, {24, 12}, {36, 12}, {0, 24}};
  for (const auto& c : cells) {
    EXPECT_EQ(at(balls, c[0], c[1]), kBlack);
    EXPECT_EQ(at(balls, c[0] + 11, c[1] + 11), kBlack);
    EXPECT_EQ(countKey(balls, c[0] + 4, c[1] + 4, 4, 4, kBlack), 0) << c[0] << "," << c[1];
  }
  // The unused cells of the sheet are empty.
  EXPECT_EQ(countKey(balls, 12, 0, 36, 12, kBlack), 36 * 12);
  EXPECT_EQ(countKey(balls, 12, 24, 36, 12, kBlack), 36 * 12);
}

TEST(Blast, FramesStayInTheirCellsGrowThenFade) {
  const gfx::Surface blast = picture("blast.png");
  ASSERT_EQ(blast.width, 384);
  auto lit = [&blast](int f) { return 48 * 48 - countKey(blast, 48 * (f % 8), 48 * (f / 8), 48, 48, kBlack); };
  for (int f = 0; f < 32; ++f) {
    const int x = 48 * (f % 8);
    const int y = 48 * (f / 8);
    EXPECT_EQ(countKey(blast, x, y, 48, 1, kBlack) + countKey(blast, x, y + 47, 48, 1, kBlack) +
                  countKey(blast, x, y, 1, 48, kBlack) + countKey(blast, x + 47, y, 1, 48, kBlack),
              4 * 48)
        << "frame " << f;
  }
  EXPECT_NE(at(blast, 24, 24), kBlack);
  EXPECT_LT(lit(0), lit(8));
  EXPECT_GT(lit(12), lit(31) * 2);
}

TEST(Board, PaddlesOnBlueAttachmentsOnBlack) {
  const gfx::Surface board = picture("board.png");
  ASSERT_EQ(board.width, 80);
  const int widths[3] = {80, 60, 40};
  for (int size = 0; size < 3; ++size) {
    const int y = 10 * size;
    const int w = widths[size];
    EXPECT_EQ(at(board, 0, y), kBlue) << "rounded left end";
    EXPECT_EQ(at(board, w - 1, y), kBlue) << "rounded right end";
    EXPECT_EQ(countKey(board, 1, y + 2, w - 2, 6, kBlue), 0) << "body of width " << w;
    EXPECT_EQ(countKey(board, 1, y + 2, w - 2, 6, kBlack), 0) << "body of width " << w;
  }
  for (const int x : {64, 72}) {
    EXPECT_EQ(at(board, x, 22), kBlack);
    EXPECT_EQ(countKey(board, x, 22, 8, 8, kBlue), 0);
    EXPECT_GT(64 - countKey(board, x, 22, 8, 8, kBlack), 12);
  }
}

TEST(Bricks, OpaqueSheetsAndGemsWithBlackCorners) {
  for (const char* name : {"Brick_Stone.png", "Brick_Hide.png", "Brick_Stable.png", "Brick_Metal.png",
                           "Brick_Fire.png"}) {
    const gfx::Surface sheet = picture(name);
    EXPECT_EQ(countKey(sheet, 0, 0, sheet.width, sheet.height, kBlack), 0) << name;
  }
  const gfx::Surface gems = picture("Brick_Gem.png");
  for (int v = 0; v < 10; ++v) {
    for (int f = 0; f < 3; ++f) {
      EXPECT_EQ(at(gems, 20 * f, 12 * v), kBlack);
      EXPECT_EQ(at(gems, 20 * f, 12 * v + 11), kBlack);
      EXPECT_EQ(countKey(gems, 20 * f + 3, 12 * v + 3, 12, 6, kBlack), 0) << "variant " << v << " frame " << f;
    }
  }
}

// Levels name colours by picture row: 0 red, 1 orange, 2 yellow, 3 lime, 4 green, 5 cyan,
// 6 blue, 7 violet, 8 magenta, 9 silver.
TEST(Bricks, PictureRowsKeepTheColourOrder) {
  const gfx::Surface stone = picture("Brick_Stone.png");
  ASSERT_EQ(stone.height, 120);
  struct Mean {
    int r, g, b;
  };
  auto mean = [&stone](int v) {
    long r = 0;
    long g = 0;
    long b = 0;
    for (int y = 12 * v + 2; y < 12 * v + 10; ++y) {
      for (int x = 2; x < 18; ++x) {
        const std::uint16_t p = at(stone, x, y);
        r += p >> 11;
        g += (p >> 6) & 31;
        b += p & 31;
      }
    }
    return Mean{static_cast<int>(r / 128), static_cast<int>(g / 128), static_cast<int>(b / 128)};
  };
  const Mean red = mean(0);
  const Mean orange = mean(1);
  const Mean yellow = mean(2);
  const Mean lime = mean(3);
  const Mean green = mean(4);
  const Mean cyan = mean(5);
  const Mean blue = mean(6);
  const Mean violet = mean(7);
  const Mean magenta = mean(8);
  const Mean silver = mean(9);
  EXPECT_TRUE(red.r > 2 * red.g && red.r > 2 * red.b);
  EXPECT_TRUE(orange.r > orange.g && orange.g > orange.b && orange.g > red.g);
  EXPECT_TRUE(yellow.r > yellow.b * 2 && yellow.g > yellow.b * 2 && yellow.g > orange.g);
  EXPECT_TRUE(lime.g > lime.r && lime.r > lime.b);
  EXPECT_TRUE(green.g > green.r * 2 && green.g > green.b);
  EXPECT_TRUE(cyan.g > cyan.r * 2 && cyan.b > cyan.r * 2);
  EXPECT_TRUE(blue.b > blue.g && blue.b > blue.r * 2);
  EXPECT_TRUE(violet.b > violet.g && violet.r > violet.g);
  EXPECT_TRUE(magenta.r > magenta.g * 2 && magenta.b > magenta.g);
  EXPECT_LE(std::max({silver.r, silver.g, silver.b}) - std::min({silver.r, silver.g, silver.b}), 3);
}

// Highlights are drawn opaque over their screen: outside the lit part they must be the
// screen itself, or a seam would show.
TEST(Highlights, MenuRowsMatchTheMenuAroundTheLitButton) {
  const gfx::Surface menu = picture("menucover.png");
  const gfx::Surface lit = picture("menuselect.png");
  ASSERT_EQ(lit.height, 250);
  for (int row = 0; row < 5; ++row) {
    EXPECT_TRUE(sameRim(lit, 0, 50 * row, menu, 32, 38 + 50 * row, 176, 50)) << "row " << row;
    EXPECT_FALSE(sameArea(lit, 0, 50 * row, menu, 32, 38 + 50 * row, 176, 50)) << "row " << row;
  }
}

TEST(Highlights, OptionRowsAndMarksMatchTheOptionsScreen) {
  const gfx::Surface options = picture("optioncover.png");
  const gfx::Surface lit = picture("optionselect.png");
  const gfx::Surface marks = picture("change.png");
  const int rows[4][2] = {{0, 104}, {0, 152}, {0, 200}, {80, 257}};
  for (int row = 0; row < 4; ++row) {
    EXPECT_TRUE(sameRim(lit, 0, 36 * row, options, rows[row][0], rows[row][1], 144, 36)) << "row " << row;
    EXPECT_FALSE(sameArea(lit, 0, 36 * row, options, rows[row][0], rows[row][1], 144, 36)) << "row " << row;
  }
  EXPECT_TRUE(sameRim(marks, 0, 0, options, 144, 108, 40, 40));
  EXPECT_TRUE(sameRim(marks, 0, 40, options, 144, 148, 40, 40));
  EXPECT_FALSE(sameArea(marks, 0, 0, options, 144, 108, 40, 40));
  EXPECT_FALSE(sameArea(marks, 0, 40, options, 144, 148, 40, 40));
}

TEST(NameEntry, LitKeysOnBlueInTheKeyboardLayout) {
  const gfx::Surface font = picture("font.png");
  ASSERT_EQ(font.width, 240);
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 10; ++col) {
      const int x = 24 * col;
      const int y = 28 * row;
      EXPECT_EQ(at(font, x, y), kBlue) << col << "," << row;
      EXPECT_EQ(at(font, x + 23, y + 27), kBlue) << col << "," << row;
      EXPECT_EQ(countKey(font, x + 3, y + 3, 18, 22, kBlue), 0) << col << "," << row;
    }
  }
}

TEST(HighScores, SendingSignOnBlueAndAPlainDarkList) {
  const gfx::Surface sign = picture("updating.png");
  EXPECT_EQ(at(sign, 0, 0), kBlue);
  EXPECT_EQ(at(sign, 127, 59), kBlue);
  EXPECT_EQ(countKey(sign, 6, 6, 116, 48, kBlue), 0);
  const gfx::Surface scores = picture("highscore.png");
  // Place, name and score columns from x 32, 17 rows of 12 pixels from y 52.
  EXPECT_TRUE(flat(scores, 30, 52, 202, 17 * 12));
  const std::uint16_t list = at(scores, 30, 52);
  EXPECT_LT((list >> 11) + ((list >> 6) & 31) + (list & 31), 18) << "white text needs a dark list";
}

TEST(FullScreens, TheBigDigitsBandIsClear) {
  // Level numbers of up to two digits, final scores of up to nine, centred at y 208.
  const gfx::Surface level = picture("pass.png");
  EXPECT_TRUE(flat(level, 104, 208, 32, 16));
  const gfx::Surface over = picture("fail.png");
  EXPECT_TRUE(flat(over, 48, 208, 144, 16));
  EXPECT_EQ(at(level, 120, 216), at(over, 120, 216)) << "the digits' edges are blended into this colour";
}

TEST(ScorePanel, NumberSlotsAreFlatWhereTheDigitsGo) {
  const gfx::Surface panel = picture("digitpanel.png");
  // Score from x 22 (eight digits shown in the slot), lives from 144, level from 198; y 300 .. 316.
  EXPECT_TRUE(flat(panel, 22, 4, 96, 16));
  EXPECT_TRUE(flat(panel, 144, 4, 34, 16));
  EXPECT_TRUE(flat(panel, 198, 4, 36, 16));
}

TEST(ApplicationIcon, EverySizeIsDrawnOnATransparentTile) {
  for (const int size : {16, 32, 48, 64}) {
    const platform::IconResource* icon = platform::findIconResource(131, size);
    ASSERT_NE(icon, nullptr) << size;
    ASSERT_EQ(icon->size, size);
    EXPECT_EQ(icon->rgba[3], 0) << "corner of " << size;
    const std::size_t centre = (static_cast<std::size_t>(size / 2) * size + size / 2) * 4;
    EXPECT_EQ(icon->rgba[centre + 3], 255) << "centre of " << size;
  }
}

}  // namespace
