// Turns the 240 x 320 frame of 16-bit pixels into the window's pixels: every frame pixel
// becomes a scale x scale block, through a table of the window's pixel value for each 16-bit
// value. No SDL here, so that it can be tested as it is.
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

// The window's pixel value for each frame pixel: the frame pixel read as 5-6-5 (red bits
// 15-11, green 10-5, blue 4-0), each channel widened to 8 bits and given to `mapRgb`
// (SDL_MapRGB for the window's pixel format).
//
// The channels of every direct-colour format are bit fields ORed together, so the value is
// the OR of one entry per byte of the frame pixel: two tables of 256 entries (2 kB, always in
// the cache) instead of one of 65,536 (256 kB of memory). The constructor checks the split
// against `mapRgb` for every pixel; a format whose values do not combine so (a palette) gets
// the whole table.
class PixelLookup {
 public:
  PixelLookup() = default;
  explicit PixelLookup(const MapRgb& mapRgb);
  // The split table without the check, for a format known to be bit fields (SDL maps every
  // format without a palette so): the check maps all 65,536 colours, some 5 million
  // instructions in front of the first picture.
  static PixelLookup ofBitFields(const MapRgb& mapRgb);

  bool empty() const { return table_.empty(); }
  bool split() const { return split_; }
  std::uint32_t operator[](std::uint16_t pixel) const {
    return split_ ? table_[pixel >> 8] | table_[256 + (pixel & 0xFFu)] : table_[pixel];
  }
  // The table itself: 512 entries when split (high byte's, then low byte's), else 65,536.
  const std::uint32_t* data() const { return table_.data(); }

 private:
  void fillSplit(const MapRgb& mapRgb);

  std::vector<std::uint32_t> table_;
  bool split_ = false;
};

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
void scaleFrameRows(const std::uint16_t* frame, RowBand band, const PixelLookup& lookup,
                    const PictureLayout& layout, const PixelTarget& target, std::vector<std::uint32_t>& scratch);

}  // namespace platform
