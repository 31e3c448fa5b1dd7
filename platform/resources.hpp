// Pictures embedded in the executable at build time, found by resource number.
#pragma once

#include <cstdint>

namespace platform {

struct BitmapResource {
  int number = 0;
  int width = 0;
  int height = 0;
  const std::uint8_t* rgb = nullptr;  // 3 bytes per pixel (red, green, blue), top row first
};

struct IconResource {
  int number = 0;
  int size = 0;                        // square, in pixels
  const std::uint8_t* rgba = nullptr;  // 4 bytes per pixel, top row first
};

// Null when the executable holds no bitmap with that number.
const BitmapResource* findBitmapResource(int number);

// The largest icon image with that number that is not larger than maxSize; null when none.
const IconResource* findIconResource(int number, int maxSize);

}  // namespace platform
