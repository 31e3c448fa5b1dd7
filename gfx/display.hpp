// The display: opens the frame buffer device for the whole run and presents a Canvas on it.
#pragma once

#include <cstdint>

#include "gfx/canvas.hpp"
#include "platform/display_device.hpp"

namespace gfx {

class Display {
 public:
  // Opens the installed display device and begins drawing for the whole run.
  Display();
  // Ends drawing and closes input and display.
  virtual ~Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // Copies the 153,600 bytes of the Canvas's frame (not its spare pixel) to the display.
  // An unchanged frame is not handed on again, so a still screen costs next to nothing.
  void present(const Canvas& canvas);
  void suspend();
  void resume();

 private:
  platform::DisplayDevice& device_;
  std::uint16_t* frame_ = nullptr;
};

}  // namespace gfx
