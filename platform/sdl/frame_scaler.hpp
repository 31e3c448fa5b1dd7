// Turns the 240 x 320 frame of 16-bit pixels into the window's pixels: every frame pixel
// becomes a scale x scale block, through a table that holds the window's pixel value for
// each of the 65,536 possible 16-bit values. No SDL here, so that it can be tested as it is.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/sdl/window_layout.hpp"

namespace platform {

// 5 or 6 bits widened to 8 by repeating the top bits, so that full intensity stays 255 and
// zero stays 0.
constexpr std::uint8_t expandFiveBits(unsigned value) {
  return static_cast<std::uint8_t>(((value & 0x1Fu) << 3) | ((value & 0x1Fu) >> 2));
}
constexpr std::uint8_t expandSixBits(unsigned value) {
  return static_cast<std::uint8_t>(((value & 0x3Fu) << 2) | ((value & 0x3Fu) >> 4));
}

using MapRgb = std::function<std::uint32_t(std::uint8_t red, std::uint8_t green, std::uint8_t blue)>;

// The 65,536-entry table: the frame pixel read as 5-6-5 (red bits 15-11, green 10-5, blue
// 4-0), each channel widened to 8 bits and given to `mapRgb` (SDL_MapRGB for the window's
// pixel format).
std::vector<std::uint32_t> buildPixelLookup(const MapRgb& mapRgb);

// Frame rows first..last (inclusive); empty when first > last.
struct RowBand {
  int first = 0;
  int last = -1;
  bool empty() const { return first > last; }
  bool operator==(const RowBand&) const = default;
};

// The rows of two 240 x 320 frames from the first that differs to the last that differs.
RowBand changedRows(const std::uint16_t* frame, const std::uint16_t* previous);

// The destination of a scale: a block of pixels `bytesPerPixel` wide (1 to 4, the low bytes
// of the table's value in memory order), `pitch` bytes from one row to the next.
struct PixelTarget {
  std::uint8_t* pixels = nullptr;
  int pitch = 0;
  int width = 0;
  int height = 0;
  int bytesPerPixel = 4;
};

// Scales the frame rows of `band` into `target` at `layout`, writing only inside the target.
// `scratch` is reused between calls to hold one scaled row.
void scaleFrameRows(const std::uint16_t* frame, RowBand band, const std::vector<std::uint32_t>& lookup,
                    const PictureLayout& layout, const PixelTarget& target, std::vector<std::uint32_t>& scratch);

}  // namespace platform
