// The name entry: every cursor move, the picks, the pen rules at their bounds and the drawing.
#include "scores/name_entry_screen.hpp"

#include <filesystem>

#include "gfx/pixel.hpp"
#include "tests/scores/scores_fixture.hpp"

namespace scores_test {
namespace {

using scores::NameEntryScreen;
using Cell = std::pair<int, int>;  // column, row

Cell cursor(const NameEntryScreen& screen) { return {screen.col(), screen.row()}; }

// Places the cursor through a pen press in the middle of the key.
void placeCursor(NameEntryScreen& screen, Cell cell) {
  setPen(24 * cell.first + 12, 92 + 28 * cell.second + 14);
  screen.penAt();
  ASSERT_EQ(cursor(screen), cell);
}

using NameEntryTest = ScoresTest;

TEST_F(NameEntryTest, CursorMovesStepOverTheWideKeys) {
  const struct {
    Cell from;
    char move;
    Cell to;
  } cases[] = {
      {{0, 0}, 'L', {9, 0}}, {{5, 1}, 'L', {4, 1}}, {{8, 3}, 'L', {6, 3}}, {{0, 3}, 'L', {8, 3}}, {{6, 3}, 'L', {5, 3}},
      {{9, 0}, 'R', {0, 0}}, {{5, 3}, 'R', {6, 3}}, {{6, 3}, 'R', {8, 3}}, {{8, 3}, 'R', {0, 3}}, {{4, 2}, 'R', {5, 2}},
      {{7, 0}, 'U', {7, 2}}, {{9, 0}, 'U', {9, 2}}, {{8, 0}, 'U', {8, 3}}, {{3, 2}, 'U', {3, 1}}, {{0, 0}, 'U', {0, 3}},
      {{9, 2}, 'D', {9, 0}}, {{7, 2}, 'D', {7, 0}}, {{8, 2}, 'D', {8, 3}}, {{8, 3}, 'D', {8, 0}}, {{0, 0}, 'D', {0, 1}},
  };
  NameEntryScreen screen;
  for (const auto& c : cases) {
    placeCursor(screen, c.from);
    (screen.*(c.move == 'L'   ? &NameEntryScreen::cursorLeft
              : c.move == 'R' ? &NameEntryScreen::cursorRight
              : c.move == 'U' ? &NameEntryScreen::cursorUp
                              : &NameEntryScreen::cursorDown))();
    EXPECT_EQ(cursor(screen), c.to) << c.move << " from " << c.from.first << "," << c.from.second;
  }
}

TEST_F(NameEntryTest, PicksBuildTheNameUpToEightCharacters) {
  NameEntryScreen screen;
  placeCursor(screen, {8, 3});
  screen.pickCell();  // nothing to delete
  for (const Cell& key : {Cell{1, 1}, Cell{4, 1}, Cell{3, 1}, Cell{6, 3}, Cell{5, 0}, Cell{5, 3}}) {
    placeCursor(screen, key);
    screen.pickCell();
  }
  EXPECT_EQ(screen.nameText(), u"BED 5Z");
  for (int i = 0; i < 3; ++i) screen.pickCell();  // the ninth pick changes nothing
  EXPECT_EQ(screen.nameText(), u"BED 5ZZZ");
  placeCursor(screen, {8, 3});
  screen.pickCell();
  EXPECT_EQ(screen.nameText(), u"BED 5ZZ");
  // The desktop keyboard moves the cursor to the key it types, then picks it.
  NameEntryScreen typed;
  for (const char16_t c : std::u16string(u"zE!9 .")) typed.typeCharacter(c);
  EXPECT_EQ(typed.nameText(), u"ZE9 ");
  EXPECT_EQ(cursor(typed), (Cell{6, 3}));
  typed.typeDelete();
  EXPECT_EQ(typed.nameText(), u"ZE9");
  EXPECT_EQ(cursor(typed), (Cell{8, 3}));
}

TEST_F(NameEntryTest, PenPressAndReleaseAreasHaveTheirBounds) {
  using R = NameEntryScreen::Release;
  const struct {
    int x, y;
    Cell pressed;  // from (2, 1)
    R released;
  } cases[] = {
      {230, 190, {8, 3}, R::Keyboard}, {170, 190, {6, 3}, R::Keyboard}, {1, 93, {0, 0}, R::Keyboard},
      {239, 203, {8, 3}, R::Keyboard}, {239, 150, {9, 2}, R::Keyboard}, {0, 150, {2, 1}, R::Nothing},
      {120, 92, {2, 1}, R::Nothing}, {120, 204, {2, 1}, R::Nothing}, {120, 220, {2, 1}, R::Nothing},
      {112, 300, {2, 1}, R::Ok}, {113, 300, {2, 1}, R::Cancel}, {0, 300, {2, 1}, R::Nothing},
      {1, 256, {2, 1}, R::Ok}, {1, 255, {2, 1}, R::Nothing}, {239, 319, {2, 1}, R::Cancel},
  };
  NameEntryScreen screen;
  for (const auto& c : cases) {
    placeCursor(screen, {2, 1});
    setPen(c.x, c.y);
    EXPECT_EQ(screen.classifyRelease(), c.released) << c.x << "," << c.y;
    screen.penAt();
    EXPECT_EQ(cursor(screen), c.pressed) << c.x << "," << c.y;
  }
}

// The keyboard picture is grey; every cell of the highlight sheet has a colour of its own and
// a blue (transparent) top-left pixel.
TEST_F(NameEntryTest, DrawsTheCursorCellAndThePicksFromTheSheet) {
  const auto cellColour = [](int col, int row) {
    return testing_support::Rgb{static_cast<std::uint8_t>(20 * (col + 1)), static_cast<std::uint8_t>(50 * (row + 1)), 0};
  };
  std::filesystem::create_directory(dataFolder.file("image"));
  testing_support::writeRgbPng(dataFolder.file("image/input.png"), 240, 320, [](int, int) {
    return testing_support::Rgb{0x80, 0x80, 0x80};
  });
  testing_support::writeRgbPng(dataFolder.file("image/font.png"), 240, 112, [&](int x, int y) {
    return x % 24 == 0 && y % 28 == 0 ? testing_support::Rgb{0, 0, 255} : cellColour(x / 24, y / 28);
  });
  const auto cell = [&](int col, int row) {
    const testing_support::Rgb c = cellColour(col, row);
    return gfx::packRgb(c.red, c.green, c.blue);
  };
  NameEntryScreen screen;
  screen.typeCharacter(u'B');
  screen.typeCharacter(u' ');
  gfx::Canvas canvas;
  screen.draw(canvas);
  const std::uint16_t grey = gfx::packRgb(0x80, 0x80, 0x80);
  // The cursor on space lights only its left cell; the name row shows B and the space's right half.
  EXPECT_EQ(canvas.at(6 * 24 + 5, 92 + 3 * 28 + 5), cell(6, 3));
  EXPECT_EQ(canvas.at(6 * 24, 92 + 3 * 28), grey);  // keyed
  EXPECT_EQ(canvas.at(6 * 24 + 1, 92 + 3 * 28), cell(6, 3));
  EXPECT_EQ(canvas.at(6 * 24 + 23, 92 + 3 * 28 + 28), grey);
  EXPECT_EQ(canvas.at(7 * 24 + 5, 92 + 3 * 28 + 5), grey);
  EXPECT_EQ(canvas.at(24 + 1, 220), cell(1, 1));
  EXPECT_EQ(canvas.at(23, 225), grey);
  EXPECT_EQ(canvas.at(48 + 23, 220 + 27), cell(7, 3));
  EXPECT_EQ(canvas.at(48 + 23, 220 + 28), grey);
  EXPECT_EQ(canvas.at(72 + 5, 225), grey);
  EXPECT_EQ(screen.nameText(), u"B ");
}

}  // namespace
}  // namespace scores_test
