// The on-screen keyboard on which a new high score gets its name: 10 x 4 keys of 24 x 28
// pixels from (0, 92), picked with the arrow keys, the pen or the desktop keyboard. Cursor and
// name survive between visits.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "gfx/canvas.hpp"
#include "gfx/surface.hpp"

namespace scores {

class NameEntryScreen {
 public:
  static constexpr std::int32_t kMaxPicks = 8;

  // Where a pen release lies: on OK, on cancel, on the letter grid, or elsewhere.
  enum class Release { Ok, Cancel, Nothing, Keyboard };

  // Loads input.png (the keyboard) and font.png (the highlight cells); cursor on "0".
  NameEntryScreen();
  virtual ~NameEntryScreen();
  NameEntryScreen(const NameEntryScreen&) = delete;
  NameEntryScreen& operator=(const NameEntryScreen&) = delete;

  void draw(gfx::Canvas& canvas);
  // Space (columns 6, 7 of the last row) and delete (8, 9) are two keys wide: the cursor
  // stands only on their left halves and steps over the right ones.
  void cursorLeft();
  void cursorRight();
  void cursorUp();
  void cursorDown();
  // Delete takes back the last pick; any other key is added while fewer than 8 are picked.
  // A space is kept as the key's right half (7, 3).
  void pickCell();
  // Moves the cursor to the key under the pen position kept by the shell; off the keyboard
  // the cursor stays.
  void penAt();
  Release classifyRelease() const;
  std::u16string nameText() const;

  // The desktop keyboard types too: a letter, a digit or a space moves the cursor to that
  // key and picks it; typeDelete does the same with the delete key. Other characters are
  // ignored.
  void typeCharacter(char16_t character);
  void typeDelete();

  std::int32_t col() const { return col_; }
  std::int32_t row() const { return row_; }
  std::int32_t count() const { return count_; }

 private:
  struct Pick {
    std::int32_t col = 0;
    std::int32_t row = 0;
  };

  gfx::Surface keyboard_;
  gfx::Surface highlight_;
  std::int32_t col_ = 0;
  std::int32_t row_ = 0;
  std::int32_t count_ = 0;
  std::array<Pick, kMaxPicks> picks_{};
};

}  // namespace scores
