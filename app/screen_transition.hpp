// The diagonal wipe that runs between any two screens: two snapshots, the one left and the
// one entered, and a boundary that moves one diagonal of 16 x 16 tiles per update from the
// top-left corner to the bottom-right one, with a soft edge five diagonals wide.
#pragma once

#include <cstdint>
#include <memory>

#include "app/app_state.hpp"
#include "gfx/canvas.hpp"
#include "sound/sound_clip.hpp"

namespace app {

class ScreenTransition {
 public:
  // Updates a wipe takes: the boundary starts above tile diagonal 0, the last diagonal is 52,
  // and the soft edge needs a few more to leave the screen.
  static constexpr std::int32_t kSteps = 56;

  // Two black snapshots, step 0, target Menu, the click from "menu_select.wav".
  ScreenTransition();
  virtual ~ScreenTransition();
  ScreenTransition(const ScreenTransition&) = delete;
  ScreenTransition& operator=(const ScreenTransition&) = delete;

  // Sets the state entered at the end and plays the click when the sound option is on; the
  // pause mute is not consulted. The step is not touched: a wipe always starts where the
  // previous one ended, at 0.
  void begin(AppState target);
  // One update: true, with the step back at 0, when the wipe is over.
  bool advance();
  // Back to step 0, as a finished wipe leaves it: a replay starts from there whatever the
  // game before it left.
  void rewind() { step_ = 0; }
  // The wipe at the current step, over the whole canvas.
  void draw(gfx::Canvas& canvas) const;

  gfx::Canvas& from() { return *from_; }
  gfx::Canvas& to() { return *to_; }
  std::int32_t step() const { return step_; }
  AppState target() const { return target_; }
  const sound::SoundClip& clickSound() const { return *clickSound_; }

  // The mixing level (0 .. 31) of the snapshot left over the one entered for a tile whose
  // diagonal lies d = 2 x row + column - step from the boundary; -1 outside the soft edge.
  static int edgeLevel(std::int32_t d);

 private:
  std::unique_ptr<gfx::Canvas> from_;
  std::unique_ptr<gfx::Canvas> to_;
  std::int32_t step_ = 0;
  AppState target_ = AppState::Menu;
  std::unique_ptr<sound::SoundClip> clickSound_;
};

}  // namespace app
