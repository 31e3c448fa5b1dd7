// The options screen: the music and sound-effect switches (the process-wide musicOn and
// soundOn bytes, kept in the score file), "about" and "back", with a mark for each switch
// that is on.
#pragma once

#include <cstdint>

#include "gfx/canvas.hpp"
#include "gfx/surface.hpp"

namespace app {

class OptionsScreen {
 public:
  // The rows, top to bottom: a selection is one of them.
  enum Row : std::int32_t { MusicRow = 0, SoundRow = 1, AboutRow = 2, BackRow = 3 };
  static constexpr std::int32_t kItems = 4;
  // What a pen release did: toggled an option, chose about or back, or nothing.
  enum class Release { Music, Sound, About, Back, Nothing };

  OptionsScreen();
  virtual ~OptionsScreen();
  OptionsScreen(const OptionsScreen&) = delete;
  OptionsScreen& operator=(const OptionsScreen&) = delete;

  void draw(gfx::Canvas& canvas) const;
  void selectUp();
  void selectDown();
  // Pen up, at the last pen position; every bound is exclusive. A release on the music or
  // sound row toggles that option itself without moving the highlight; on "about" or "back"
  // it selects that row; anywhere else it changes nothing.
  Release releaseTest();
  std::int32_t selection() const { return selection_; }

 private:
  gfx::Surface optionsPicture_;
  gfx::Surface highlightPicture_;  // four rows of 144 x 36, row i at source y 36 x i
  gfx::Surface checkPicture_;      // the music mark at source y 0, the sound mark at 40
  std::int32_t selection_ = 0;
};

}  // namespace app
