// The four help pages, shown one after another: keys, stylus, bricks, items.
#pragma once

#include <cstdint>

#include "gfx/canvas.hpp"
#include "gfx/surface.hpp"

namespace app {

class HelpScreen {
 public:
  static constexpr std::int32_t kPages = 4;

  HelpScreen();
  virtual ~HelpScreen();
  HelpScreen(const HelpScreen&) = delete;
  HelpScreen& operator=(const HelpScreen&) = delete;

  // The current page; a page outside 0 .. 3 draws nothing.
  void draw(gfx::Canvas& canvas) const;
  std::int32_t page() const { return page_; }
  void nextPage() { ++page_; }
  void resetPage() { page_ = 0; }

 private:
  std::int32_t page_ = 0;
  gfx::Surface keyHelpPicture_;
  gfx::Surface brickHelpPicture_;
  gfx::Surface toolHelpPicture_;
  gfx::Surface mouseHelpPicture_;
};

}  // namespace app
