// A drawing target laid out like the display memory: the back buffer and the two snapshots
// of the screen transition. 240 x 320 pixels and one spare pixel after them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/display_device.hpp"

namespace gfx {

struct Canvas {
  static constexpr std::size_t kBlockPixels = platform::kFramePixels + 1;  // 76,801
  static constexpr std::size_t kBlockBytes = kBlockPixels * 2;  // 153,602
  static constexpr std::size_t kFrameBytes = platform::kFramePixels * 2;  // 153,600: what the display gets

  // Properties as the installed display device reports them.
  Canvas();
  explicit Canvas(const platform::DisplayProperties& displayProperties);
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  std::uint16_t* pixelBlock() { return pixels.get(); }
  const std::uint16_t* pixelBlock() const { return pixels.get(); }
  std::uint16_t& at(int x, int y) { return pixels[static_cast<std::ptrdiff_t>(x) * xStep + static_cast<std::ptrdiff_t>(y) * yStep]; }

  // True when every pixel (x, y) with 0 <= x < width and 0 <= y < height lies inside the
  // block at x * xStep + y * yStep. The drawing operations refuse a Canvas whose reported
  // size and pitches fail this (a rotated or larger display) instead of writing past its block.
  bool holds(std::int64_t width, std::int64_t height) const;

  // 1: drawing operations take positions and sizes as Fixed and use their integer part.
  std::int32_t coordinateMode = 1;
  std::unique_ptr<std::uint16_t[]> pixels;  // kBlockPixels, black when new
  platform::DisplayProperties properties;   // cxWidth and cyHeight are the clip bounds
  std::int32_t xStep = 1;                   // pixels along a row
  std::int32_t yStep = platform::kScreenWidth;  // pixels from one row to the next
};

}  // namespace gfx
