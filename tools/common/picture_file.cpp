#include "tools/common/picture_file.hpp"

#include <algorithm>
#include <cmath>

#include "tools/common/png_write.hpp"

namespace tools {
namespace {

constexpr float kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

}  // namespace

RgbPicture::RgbPicture(int w, int h) : width(w), height(h), bytes(static_cast<std::size_t>(w) * h * 3, 0) {}

void RgbPicture::setPixel(int x, int y, int r, int g, int b) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
  bytes[i] = static_cast<std::uint8_t>(r);
  bytes[i + 1] = static_cast<std::uint8_t>(g);
  bytes[i + 2] = static_cast<std::uint8_t>(b);
}

void RgbPicture::pixel(int x, int y, int& r, int& g, int& b) const {
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
  r = bytes[i];
  g = bytes[i + 1];
  b = bytes[i + 2];
}

void RgbPicture::paste(const RgbPicture& source, int x, int y) {
  for (int py = 0; py < source.height; ++py) {
    for (int px = 0; px < source.width; ++px) {
      int r = 0;
      int g = 0;
      int b = 0;
      source.pixel(px, py, r, g, b);
      setPixel(x + px, y + py, r, g, b);
    }
  }
}

RgbPicture RgbPicture::crop(int x, int y, int w, int h) const {
  RgbPicture result(w, h);
  for (int py = 0; py < h; ++py) {
    for (int px = 0; px < w; ++px) {
      if (x + px < 0 || y + py < 0 || x + px >= width || y + py >= height) continue;
      int r = 0;
      int g = 0;
      int b = 0;
      pixel(x + px, y + py, r, g, b);
      result.setPixel(px, py, r, g, b);
    }
  }
  return result;
}

int toLevel(float channel) { return std::clamp(static_cast<int>(std::lround(channel * 31.0F)), 0, 31); }

std::uint8_t levelToByte(int level) { return static_cast<std::uint8_t>((level << 3) | (level >> 2)); }

bool readsAsKey(int r, int g, int b, Key key) {
  switch (key) {
    case Key::Blue:
      return (r >> 3) == 0 && (g >> 3) == 0 && (b >> 3) == 31;
    case Key::Black:
      return (r >> 3) == 0 && (g >> 3) == 0 && (b >> 3) == 0;
    case Key::None:
      break;
  }
  return false;
}

void dither(Image& image, float strength) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      Colour& c = image.ref(x, y);
      const float threshold = ((kBayer[y & 3][x & 3] + 0.5F) / 16.0F - 0.5F) * strength + 0.5F;
      auto snap = [threshold](float v) {
        const float exact = std::clamp(v, 0.0F, 1.0F) * 31.0F;
        // A colour already on a level (given in bytes, a hair off) stays flat.
        if (std::fabs(exact - std::round(exact)) < 0.12F) return std::round(exact) / 31.0F;
        const float level = std::floor(exact + threshold);
        return std::clamp(level, 0.0F, 31.0F) / 31.0F;
      };
      c.r = snap(c.r);
      c.g = snap(c.g);
      c.b = snap(c.b);
    }
  }
}

RgbPicture flatten(const Image& image, Colour matte) {
  RgbPicture result(image.width(), image.height());
  matte.a = 1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const Colour c = over(image.at(x, y), matte);
      result.setPixel(x, y, levelToByte(toLevel(c.r)), levelToByte(toLevel(c.g)), levelToByte(toLevel(c.b)));
    }
  }
  return result;
}

RgbPicture flattenKeyed(const Image& image, Key key, Colour matte, float threshold) {
  RgbPicture result(image.width(), image.height());
  matte.a = 1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const Colour source = image.at(x, y);
      if (source.a < threshold) {
        if (key == Key::Blue) result.setPixel(x, y, 0, 0, 255);
        continue;  // black is already there
      }
      const Colour c = over(source, matte);
      int r = toLevel(c.r);
      int g = toLevel(c.g);
      int b = toLevel(c.b);
      if (key == Key::Blue && r == 0 && g == 0 && b == 31) r = 1;
      if (key == Key::Black && r == 0 && g == 0 && b == 0) {
        // Keep the hue: lift the strongest channel of the unrounded colour.
        if (c.b >= c.r && c.b >= c.g) {
          b = 1;
        } else if (c.r >= c.g) {
          r = 1;
        } else {
          g = 1;
        }
      }
      result.setPixel(x, y, levelToByte(r), levelToByte(g), levelToByte(b));
    }
  }
  return result;
}

bool writePicture(const std::string& path, const RgbPicture& picture) {
  return writePngRgb(path, picture.width, picture.height, picture.bytes);
}

}  // namespace tools
