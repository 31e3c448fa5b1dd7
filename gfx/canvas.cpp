#include "gfx/canvas.hpp"

namespace gfx {

Canvas::Canvas() : Canvas(platform::displayDevice().properties()) {}

Canvas::Canvas(const platform::DisplayProperties& displayProperties)
    : pixels(std::make_unique<std::uint16_t[]>(kBlockPixels)),
      properties(displayProperties),
      xStep(displayProperties.cbxPitch >> 1),
      yStep(displayProperties.cbyPitch >> 1) {}

}  // namespace gfx
