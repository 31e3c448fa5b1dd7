// The main menu: one full-screen picture and a highlighted row for each of its five items
// (new game, continue, options, high scores, help). What an item does is the screen flow's.
#pragma once

#include <cstdint>

#include "gfx/canvas.hpp"
#include "gfx/surface.hpp"

namespace app {

class MainMenu {
 public:
  // The rows, top to bottom: a selection is one of them, or 5 after a tap below the menu.
  enum Item : std::int32_t { NewGame = 0, Continue = 1, Options = 2, HighScores = 3, Help = 4 };
  static constexpr std::int32_t kItems = 5;

  MainMenu();
  virtual ~MainMenu();
  MainMenu(const MainMenu&) = delete;
  MainMenu& operator=(const MainMenu&) = delete;

  void draw(gfx::Canvas& canvas) const;
  void selectUp();
  void selectDown();
  // Pen down: the row under the pen, wherever it touches. Above the first row that is row 0;
  // from y 288 down it is row 5, which has no highlight and no item.
  void penSelect();
  // Pen move: only inside x 32 .. 208, y 38 .. 88 (pixels, bounds included), the first row's
  // area, whose bottom edge y 88 already counts as row 1.
  void dragSelect();
  std::int32_t selection() const { return selection_; }

 private:
  gfx::Surface menuPicture_;
  gfx::Surface highlightPicture_;  // five rows of 176 x 50, row i at source y 50 x i
  std::int32_t selection_ = 0;
};

}  // namespace app
