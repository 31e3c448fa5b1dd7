// A PNG file decoded into 8-bit palette indices or 24-bit red, green, blue rows: the
// intermediate between a picture file and its Surface.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gfx {

// The longest side of a picture that is decoded at all. The game draws on a 240 x 320 screen
// and its largest picture (a sprite sheet) is 384 x 192; a side of 1024 leaves room for
// larger artwork while a hostile header can no longer cost a gigabyte and seconds at start
// (at most 3 MB of decoded rows and 2 MB of surface per picture).
constexpr std::int32_t kLargestPictureSide = 1024;

struct PngImage {
  struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
  };

  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t bitsPerPixel = 0;  // 8 (palette indices) or 24 (red, green, blue)
  std::int32_t colourType = 0;    // as the file's header gives it
  std::vector<std::uint8_t> rows;  // each row ((width x bitsPerPixel + 31) / 32) x 4 bytes long
  std::vector<Rgb> palette;        // as the file stores it, before any transformation

  std::size_t rowBytes() const { return ((static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32) * 4; }
};

// Decodes the file at `path`. Alpha and transparent colours are composited over
// (31, 127, 255); 16-bit channels are cut to 8; interlaced pictures are assembled; pictures
// of fewer than 8 bits per pixel and grey pictures are expanded. False for a missing,
// corrupt or truncated file, or anything but a regular file (never waiting on a FIFO);
// `image` is then left empty. A picture wider or higher than kLargestPictureSide is refused
// from its header, with a line on standard error.
bool decodePng(const std::string& path, PngImage& image);

}  // namespace gfx
