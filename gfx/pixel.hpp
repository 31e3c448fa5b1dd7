// The 16-bit pixel format shared by every Canvas and Surface: red in bits 15-11, green in
// bits 10-6, bit 5 always 0, blue in bits 4-0. The display reads it as 5-6-5, so green has
// 32 levels with its lowest bit clear.
#pragma once

#include <cstdint>

namespace gfx {

constexpr std::uint16_t packRgb(unsigned red, unsigned green, unsigned blue) {
  return static_cast<std::uint16_t>(((red & 0xFF) >> 3) << 11 | ((green & 0xFF) >> 3) << 6 | ((blue & 0xFF) >> 3));
}

// A colour given as a number is laid out 0x00BBGGRR, red in the low byte.
constexpr std::uint16_t colourToPixel(std::uint32_t colour) {
  return packRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// New over old at a mixing level of 0 .. 31, each 5-bit field on its own:
// (new x level + old x (31 - level)) >> 5. Level 31 of white over black gives 30, not 31.
constexpr std::uint16_t mixPixels(std::uint16_t newer, std::uint16_t older, int level) {
  const unsigned up = static_cast<unsigned>(level < 0 ? 0 : level > 31 ? 31 : level);
  const unsigned down = 31 - up;
  const unsigned red = (((newer >> 11) & 31u) * up + ((older >> 11) & 31u) * down) >> 5;
  const unsigned green = (((newer >> 6) & 31u) * up + ((older >> 6) & 31u) * down) >> 5;
  const unsigned blue = ((newer & 31u) * up + (older & 31u) * down) >> 5;
  return static_cast<std::uint16_t>(red << 11 | green << 6 | blue);
}

constexpr std::int32_t kNoColourKey = -1;
constexpr std::int32_t kKeyBlue = 0xFF0000;  // pure blue, 16-bit 0x001F
constexpr std::int32_t kKeyBlack = 0;

}  // namespace gfx
