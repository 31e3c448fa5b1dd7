// Writes small PNG files of any colour type and depth with libpng, so the loader's tests
// choose every pixel themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gfx_test {

struct PngPicture {
  int width = 1;
  int height = 1;
  int colourType = 2;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  // Samples row after row, one value per channel (already limited to the bit depth; 16-bit
  // samples are whole values 0..65535). Packed into bytes by the writer.
  std::vector<std::uint16_t> samples;
  std::vector<std::uint8_t> palette;  // red, green, blue triples
  std::vector<std::uint8_t> paletteAlpha;  // tRNS for palette pictures
  bool hasTransparentColour = false;  // tRNS for grey and RGB pictures
  std::uint16_t transparent[3] = {0, 0, 0};  // grey in [0], or red, green, blue
};

bool writePng(const std::string& path, const PngPicture& picture);

}  // namespace gfx_test
