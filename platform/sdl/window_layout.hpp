// Where the 240 x 320 picture sits in the window: the whole-number scale, the black bars
// around it, and the way back from a window pixel to a picture pixel for the stylus.
#pragma once

#include "platform/display_device.hpp"

namespace platform {

// The scale of a new window. Asked for none (`requested` 0): the largest whole scale whose
// window fits the usable desktop area (pixels), and never below 2 (a 240 x 320 window is too
// small to play on a desktop screen). Asked for one: that scale, unless its window would run
// off the desktop; then the largest that fits (at least 1). A desktop of unknown size (0)
// fits anything.
int chooseWindowScale(int requested, int desktopWidth, int desktopHeight);

// The picture inside a window: scaled by a whole number and centred. `x` and `y` are the
// window pixel of the picture's top-left corner; they are negative only in a window smaller
// than the picture itself.
struct PictureLayout {
  int scale = 1;
  int x = 0;
  int y = 0;

  int width() const { return kScreenWidth * scale; }
  int height() const { return kScreenHeight * scale; }
  bool operator==(const PictureLayout&) const = default;
};

// The largest whole scale that fits a window of that many pixels (at least 1), centred; what
// is left over on either side is letterbox.
PictureLayout layoutPicture(int windowWidth, int windowHeight);

struct PicturePoint {
  int x = 0;
  int y = 0;
  bool operator==(const PicturePoint&) const = default;
};

// The picture pixel under a window pixel; a point on the letterbox or outside the window is
// held at the nearest edge, so the result is always within 0..239, 0..319.
PicturePoint windowToPicture(const PictureLayout& layout, int windowX, int windowY);

}  // namespace platform
