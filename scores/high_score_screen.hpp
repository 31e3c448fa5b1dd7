// The list of the 100 best scores, scrolled 17 rows at a time, and the score exchange with
// the server. (Skeleton: still to be built.)
#pragma once

#include <cstdint>
#include <string_view>

#include "gfx/canvas.hpp"

namespace scores {

class HighScoreScreen {
 public:
  HighScoreScreen();
  virtual ~HighScoreScreen();
  HighScoreScreen(const HighScoreScreen&) = delete;
  HighScoreScreen& operator=(const HighScoreScreen&) = delete;

  void draw(gfx::Canvas& canvas);
  void update();
  void scrollUp();
  void scrollDown();
  void stopScrolling();
  void requestUpload();
  // 1 when the release was on the back button: the screen is to be left.
  int penReleased();
  std::uint32_t lowestScore() const;
  bool insertScore(std::u16string_view name, std::uint32_t score);
};

}  // namespace scores
