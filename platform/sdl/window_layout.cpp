#include "platform/sdl/window_layout.hpp"

#include <algorithm>

namespace platform {
namespace {

constexpr int kSmallestWindowScale = 2;

// Rounds towards minus infinity, so that the pixel just left of the picture maps to -1
// (then clamped to 0) rather than to 0 by truncation.
int floorDivide(int value, int divisor) {
  const int quotient = value / divisor;
  return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

}  // namespace

int chooseWindowScale(int requested, int desktopWidth, int desktopHeight) {
  const int fits = std::min(desktopWidth / kScreenWidth, desktopHeight / kScreenHeight);
  if (requested <= 0) return std::max(fits, kSmallestWindowScale);
  if (desktopWidth <= 0 || desktopHeight <= 0) return requested;
  return std::min(requested, std::max(fits, 1));
}

PictureLayout layoutPicture(int windowWidth, int windowHeight) {
  PictureLayout layout;
  layout.scale = std::max(1, std::min(windowWidth / kScreenWidth, windowHeight / kScreenHeight));
  // Halves rounded down on both axes: an odd leftover puts the extra pixel on the right/bottom.
  layout.x = floorDivide(windowWidth - layout.width(), 2);
  layout.y = floorDivide(windowHeight - layout.height(), 2);
  return layout;
}

PicturePoint windowToPicture(const PictureLayout& layout, int windowX, int windowY) {
  const int scale = std::max(1, layout.scale);
  PicturePoint point;
  point.x = std::clamp(floorDivide(windowX - layout.x, scale), 0, kScreenWidth - 1);
  point.y = std::clamp(floorDivide(windowY - layout.y, scale), 0, kScreenHeight - 1);
  return point;
}

}  // namespace platform
