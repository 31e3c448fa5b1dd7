// Pictures: arbitrary bytes as a picture file, loaded as the game loads its pictures. The
// loader must never crash, read out of bounds or leak, nor print anything but its one line
// refusing a picture too large to draw; a picture it accepts holds exactly width x height
// pixels, none larger than it can draw, with bit 5 clear.
#include <cstddef>
#include <cstdint>

#include "fuzz/support/scratch.hpp"
#include "gfx/png_image.hpp"
#include "gfx/surface.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzzing::writeScratchFile("input.png", data, size)) return 0;
  gfx::Surface surface;
  gfx::loadPicture(surface, fuzzing::scratchFolder() + "input.png");
  if (surface.empty()) {
    if (surface.width != 0 || surface.height != 0) fuzzing::violated("an empty picture with a size");
    return 0;
  }
  if (!surface.consistent() ||
      surface.pixels.size() != static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height)) {
    fuzzing::violated("the pixels are not width x height");
  }
  if (surface.width > gfx::kLargestPictureSide || surface.height > gfx::kLargestPictureSide) {
    fuzzing::violated("a picture larger than the game draws was accepted");
  }
  for (const std::uint16_t pixel : surface.pixels) {
    if ((pixel & 0x20) != 0) fuzzing::violated("a pixel with bit 5 set");
  }
  return 0;
}
