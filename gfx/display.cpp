#include "gfx/display.hpp"

#include <cstring>

namespace gfx {

Display::Display() : device_(platform::displayDevice()) {
  device_.openDisplay();
  device_.openInput();
  frame_ = device_.beginDraw();
}

Display::~Display() {
  device_.endDraw();
  device_.closeInput();
  device_.closeDisplay();
}

void Display::present(const Canvas& canvas) {
  if (frame_ == nullptr) return;
  if (std::memcmp(frame_, canvas.pixelBlock(), Canvas::kFrameBytes) == 0) return;
  std::memcpy(frame_, canvas.pixelBlock(), Canvas::kFrameBytes);
  device_.frameChanged();
}

void Display::suspend() { device_.suspend(); }

void Display::resume() { device_.resume(); }

}  // namespace gfx
