#include "scores/name_entry_screen.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "gfx/canvas.hpp"
#include "gfx/pixel.hpp"
#include "tests/scores/scores_fixture.hpp"
#include "tools/common/png_write.hpp"

namespace scores_test {
namespace {

using scores::NameEntryScreen;

struct Cell {
  int col, row;
  bool operator==(const Cell&) const = default;
};

void setPen(int x, int y) {
  app::process().penX = toFixed(x);
  app::process().penY = toFixed(y);
}

// Places the cursor through a pen press in the middle of the key.
void placeCursor(NameEntryScreen& screen, Cell cell) {
  setPen(24 * cell.col + 12, 92 + 28 * cell.row + 14);
  screen.penAt();
  ASSERT_EQ((Cell{screen.col(), screen.row()}), cell);
}

using NameEntryTest = ScoresTest;

TEST_F(NameEntryTest, CursorMovesStepOverTheWideKeys) {
  enum Move { Left, Right, Up, Down };
  struct Case {
    Cell from;
    Move move;
    Cell to;
  };
  const Case cases[] = {
      {{0, 0}, Left, {9, 0}},  {{5, 1}, Left, {4, 1}},  {{8, 3}, Left, {6, 3}},  {{0, 3}, Left, {8, 3}},
      {{6, 3}, Left, {5, 3}},  {{1, 3}, Left, {0, 3}},  {{9, 0}, Right, {0, 0}}, {{4, 2}, Right, {5, 2}},
      {{5, 3}, Right, {6, 3}}, {{6, 3}, Right, {8, 3}}, {{8, 3}, Right, {0, 3}}, {{7, 0}, Up, {7, 2}},
      {{9, 0}, Up, {9, 2}},    {{8, 0}, Up, {8, 3}},    {{6, 0}, Up, {6, 3}},    {{0, 0}, Up, {0, 3}},
      {{3, 2}, Up, {3, 1}},    {{9, 2}, Down, {9, 0}},  {{7, 2}, Down, {7, 0}},  {{8, 2}, Down, {8, 3}},
      {{6, 2}, Down, {6, 3}},  {{8, 3}, Down, {8, 0}},  {{2, 3}, Down, {2, 0}},  {{0, 0}, Down, {0, 1}},
  };
  NameEntryScreen screen;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from.col << "," << c.from.row << " move " << c.move);
    placeCursor(screen, c.from);
    switch (c.move) {
      case Left: screen.cursorLeft(); break;
      case Right: screen.cursorRight(); break;
      case Up: screen.cursorUp(); break;
      case Down: screen.cursorDown(); break;
    }
    EXPECT_EQ((Cell{screen.col(), screen.row()}), c.to);
  }
}

TEST_F(NameEntryTest, PicksBuildTheNameUpToEightCharacters) {
  NameEntryScreen screen;
  screen.pickCell();  // delete is not under the cursor: "0"
  placeCursor(screen, {8, 3});
  screen.pickCell();
  screen.pickCell();  // nothing left to delete
  EXPECT_EQ(screen.count(), 0);
  for (Cell key : {Cell{1, 1}, Cell{4, 1}, Cell{3, 1}}) {
    placeCursor(screen, key);
    screen.pickCell();
  }
  EXPECT_EQ(screen.nameText(), u"BED");
  placeCursor(screen, {6, 3});
  screen.pickCell();
  placeCursor(screen, {5, 0});
  screen.pickCell();
  placeCursor(screen, {5, 3});
  screen.pickCell();
  EXPECT_EQ(screen.nameText(), u"BED 5Z");
  screen.pickCell();
  screen.pickCell();
  screen.pickCell();
  EXPECT_EQ(screen.nameText(), u"BED 5ZZZ");
  EXPECT_EQ((Cell{screen.col(), screen.row()}), (Cell{5, 3}));
  placeCursor(screen, {8, 3});
  screen.pickCell();
  EXPECT_EQ(screen.nameText(), u"BED 5ZZ");
}

TEST_F(NameEntryTest, PenPressMovesTheCursorOnlyInsideTheKeyboard) {
  struct Case {
    int x, y;
    Cell to;
  };
  const Cell stay{2, 1};
  const Case cases[] = {
      {230, 190, {8, 3}}, {170, 190, {6, 3}}, {1, 93, {0, 0}},  {239, 203, {8, 3}}, {239, 150, {9, 2}},
      {0, 150, stay},     {240, 150, stay},   {120, 92, stay},  {120, 204, stay},   {120, 300, stay},
  };
  NameEntryScreen screen;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    placeCursor(screen, stay);
    setPen(c.x, c.y);
    screen.penAt();
    EXPECT_EQ((Cell{screen.col(), screen.row()}), c.to);
  }
}

TEST_F(NameEntryTest, ReleaseIsClassifiedByArea) {
  struct Case {
    int x, y, result;
  };
  const Case cases[] = {
      {112, 300, 0}, {113, 300, 1}, {0, 300, 2},   {1, 256, 0},   {1, 255, 2},   {240, 319, 1},
      {241, 300, 2}, {50, 320, 2},  {120, 150, 3}, {239, 93, 3},  {120, 92, 2},  {120, 204, 2},
      {0, 150, 2},   {120, 220, 2},
  };
  NameEntryScreen screen;
  for (const Case& c : cases) {
    setPen(c.x, c.y);
    EXPECT_EQ(screen.classifyRelease(), c.result) << c.x << "," << c.y;
  }
}

TEST_F(NameEntryTest, TypedKeysMoveTheCursorAndPick) {
  NameEntryScreen screen;
  for (char16_t c : std::u16string(u"zE!9 .")) screen.typeCharacter(c);
  EXPECT_EQ(screen.nameText(), u"ZE9 ");
  EXPECT_EQ((Cell{screen.col(), screen.row()}), (Cell{6, 3}));
  screen.typeDelete();
  EXPECT_EQ(screen.nameText(), u"ZE9");
  EXPECT_EQ((Cell{screen.col(), screen.row()}), (Cell{8, 3}));
  screen.typeCharacter(u'k');
  EXPECT_EQ((Cell{screen.col(), screen.row()}), (Cell{0, 2}));
  EXPECT_EQ(screen.nameText(), u"ZE9K");
}

// The keyboard picture is grey; every cell of the highlight sheet has its own colour, with a
// blue (transparent) top-left pixel.
class NameEntryDrawTest : public ScoresTest {
 protected:
  static std::uint16_t cellPixel(int col, int row) { return gfx::packRgb(20u * (col + 1), 50u * (row + 1), 0); }

  void SetUp() override {
    ScoresTest::SetUp();
    std::filesystem::create_directory(dataFolder.file("image"));
    std::vector<std::uint8_t> grey(240 * 320 * 3, 0x80);
    ASSERT_TRUE(tools::writePngRgb(dataFolder.file("image/input.png"), 240, 320, grey));
    std::vector<std::uint8_t> sheet(240 * 112 * 3);
    for (int y = 0; y < 112; ++y) {
      for (int x = 0; x < 240; ++x) {
        const int col = x / 24;
        const int row = y / 28;
        std::uint8_t* p = &sheet[(static_cast<std::size_t>(y) * 240 + x) * 3];
        const bool key = x % 24 == 0 && y % 28 == 0;
        p[0] = key ? 0 : static_cast<std::uint8_t>(20 * (col + 1));
        p[1] = key ? 0 : static_cast<std::uint8_t>(50 * (row + 1));
        p[2] = key ? 255 : 0;
      }
    }
    ASSERT_TRUE(tools::writePngRgb(dataFolder.file("image/font.png"), 240, 112, sheet));
  }
};

TEST_F(NameEntryDrawTest, DrawsCursorCellAndPicksFromTheSheet) {
  NameEntryScreen screen;
  screen.typeCharacter(u'B');
  screen.typeCharacter(u' ');
  gfx::Canvas canvas;
  screen.draw(canvas);
  const std::uint16_t grey = gfx::packRgb(0x80, 0x80, 0x80);
  // Cursor on space: only its left cell is lit.
  EXPECT_EQ(canvas.at(6 * 24 + 5, 92 + 3 * 28 + 5), cellPixel(6, 3));
  EXPECT_EQ(canvas.at(6 * 24, 92 + 3 * 28), grey);
  EXPECT_EQ(canvas.at(7 * 24 + 5, 92 + 3 * 28 + 5), grey);
  // The name row: B, then the space's right half.
  EXPECT_EQ(canvas.at(24 + 5, 225), cellPixel(1, 1));
  EXPECT_EQ(canvas.at(48 + 23, 220 + 27), cellPixel(7, 3));
  EXPECT_EQ(canvas.at(48, 220), grey);
  EXPECT_EQ(canvas.at(72 + 5, 225), grey);
  EXPECT_EQ(canvas.at(5, 5), grey);
}

}  // namespace
}  // namespace scores_test
