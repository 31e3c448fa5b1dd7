// The frame buffer device over an SDL window surface. The game writes its 240 x 320 frame
// into memory of ours; we scale it into the window surface, no more often than the monitor
// refreshes and without waiting for its vertical sync, and update only the band of rows that
// changed since the last picture shown.
#pragma once

#include <SDL_video.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

#include "platform/display_device.hpp"
#include "platform/sdl/frame_scaler.hpp"
#include "platform/sdl/window_layout.hpp"

namespace platform {

class SdlDisplay : public DisplayDevice {
 public:
  using Clock = std::chrono::steady_clock;

  // `refreshRate` in hertz: the most window updates a second.
  SdlDisplay(SDL_Window* window, int refreshRate);

  DisplayProperties properties() const override { return {}; }
  void openDisplay() override {}
  void openInput() override {}
  std::uint16_t* beginDraw() override { return frame_.data(); }
  void frameChanged() override;
  void suspend() override;
  void resume() override;
  void endDraw() override {}
  void closeInput() override {}
  void closeDisplay() override {}

  // The whole window must be drawn again, letterbox included (resized, exposed, full screen
  // switched). While suspended it is drawn from the last picture shown.
  void invalidate();
  // Shows a pending picture when its time has come.
  void service();
  // Milliseconds until a pending update is due (0: now); -1 when nothing is pending.
  int millisecondsUntilDue() const;

  PictureLayout layout() const { return layout_; }
  // Surface pixels per window coordinate, for mapping the mouse on high-density screens.
  void windowToSurface(int& x, int& y) const;

  std::uint64_t windowUpdates() const { return windowUpdates_; }

 private:
  void show();
  bool prepareSurface(SDL_Surface* surface);

  SDL_Window* window_;
  Clock::duration interval_;    // one refresh of the monitor
  Clock::time_point nextDue_{};  // the earliest time of the next window update
  bool pending_ = false;
  bool wholeWindow_ = true;
  bool suspended_ = false;

  std::array<std::uint16_t, kFramePixels> frame_{};
  std::array<std::uint16_t, kFramePixels> shown_{};  // what the window shows now
  PixelLookup lookup_;
  std::uint32_t lookupFormat_ = 0;
  std::vector<std::uint32_t> scratch_;
  PictureLayout layout_;
  std::uint64_t windowUpdates_ = 0;
};

}  // namespace platform
