// What a test sees of a frame: a hash of the back buffer's bytes and a PNG picture of it.
#pragma once

#include <cstdint>
#include <string>

#include "gfx/canvas.hpp"

namespace gfx {

// FNV-1a, 64 bits, over the 153,600 bytes of the frame as they lie in memory.
std::uint64_t frameHash(const Canvas& canvas);

// The frame as a 240 x 320 RGB PNG, each 16-bit pixel read as the display reads it (5-6-5).
// False when the file cannot be written.
bool saveScreenshot(const Canvas& canvas, const std::string& path);

}  // namespace gfx
