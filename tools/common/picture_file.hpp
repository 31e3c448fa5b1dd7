// Turns floating-point images into the game's picture files. The game keeps 5 bits per
// channel (it takes the top 5 bits of each byte), so pictures are rounded to those levels
// here, where the rounding can be chosen, and written back expanded to 8 bits: what the PNG
// shows is what the game shows. Sprites drawn with a colour key get the key exactly where
// they are transparent and never anywhere else.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/raster.hpp"

namespace tools {

enum class Key {
  None,
  Blue,   // (0, 0, 255); any colour with 5-bit levels (0, 0, 31) reads as it
  Black,  // (0, 0, 0); any colour with 5-bit levels (0, 0, 0) reads as it
};

// Opaque 8-bit red, green, blue.
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bytes;

  RgbPicture() = default;
  RgbPicture(int w, int h);
  void setPixel(int x, int y, int r, int g, int b);
  void pixel(int x, int y, int& r, int& g, int& b) const;
  void paste(const RgbPicture& source, int x, int y);
  RgbPicture crop(int x, int y, int w, int h) const;
};

int toLevel(float channel);            // nearest of the 32 levels
std::uint8_t levelToByte(int level);   // the level expanded to 8 bits, top bits repeated
bool readsAsKey(int r, int g, int b, Key key);

// Ordered dithering onto the 32 levels: smooth gradients without bands on the 16-bit screen.
void dither(Image& image, float strength = 1);

// Every pixel over the matte colour, rounded to the levels.
RgbPicture flatten(const Image& image, Colour matte);
// Pixels with alpha below the threshold become the key; the rest are composited over the
// matte (the colour the sprite is usually seen on, so that soft edges blend into it) and
// moved off the key if they would read as it.
RgbPicture flattenKeyed(const Image& image, Key key, Colour matte, float threshold = 0.5F);

bool writePicture(const std::string& path, const RgbPicture& picture);

}  // namespace tools
