// The on-screen keyboard on which a new high score gets its name. (Skeleton: still to be built.)
#pragma once

#include <string>

#include "gfx/canvas.hpp"

namespace scores {

class NameEntryScreen {
 public:
  NameEntryScreen();
  virtual ~NameEntryScreen();
  NameEntryScreen(const NameEntryScreen&) = delete;
  NameEntryScreen& operator=(const NameEntryScreen&) = delete;

  void draw(gfx::Canvas& canvas);
  void cursorLeft();
  void cursorRight();
  void cursorUp();
  void cursorDown();
  void pickCell();
  void penAt();
  // 0 OK, 1 cancel, 3 on the letter grid, anything else nothing.
  int classifyRelease() const;
  std::u16string nameText() const;

  // The desktop keyboard types too: a letter, a digit or a space moves the cursor to that
  // key and picks it; typeDelete does the same with the delete key.
  void typeCharacter(char16_t character);
  void typeDelete();
};

}  // namespace scores
