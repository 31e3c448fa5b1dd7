#include "gfx/canvas.hpp"

#include <algorithm>

namespace gfx {

Canvas::Canvas() : Canvas(platform::displayDevice().properties()) {}

Canvas::Canvas(const platform::DisplayProperties& displayProperties)
    : pixels(std::make_unique<std::uint16_t[]>(kBlockPixels)),
      properties(displayProperties),
      xStep(displayProperties.cbxPitch >> 1),
      yStep(displayProperties.cbyPitch >> 1) {}

bool Canvas::holds(std::int64_t width, std::int64_t height) const {
  if (pixels == nullptr) return false;
  if (width <= 0 || height <= 0) return true;
  // The index is linear in x and y, so its extremes lie at the corners.
  const std::int64_t right = (width - 1) * xStep;
  const std::int64_t bottom = (height - 1) * yStep;
  const std::int64_t lowest = std::min<std::int64_t>(0, right) + std::min<std::int64_t>(0, bottom);
  const std::int64_t highest = std::max<std::int64_t>(0, right) + std::max<std::int64_t>(0, bottom);
  return lowest >= 0 && highest < static_cast<std::int64_t>(kBlockPixels);
}

}  // namespace gfx
