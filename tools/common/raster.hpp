// A small raster library for the picture tools: RGBA images and coverage masks in floating
// point, paints (solid colours and gradients), compositing, blurs and bevels. Coordinates are
// continuous pixels: pixel (x, y) covers [x, x + 1) x [y, y + 1), its centre is (x + 0.5, y + 0.5).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace tools {

// Straight (not premultiplied) colour, each channel 0 .. 1.
struct Colour {
  float r = 0;
  float g = 0;
  float b = 0;
  float a = 0;
};

Colour rgb(int red, int green, int blue, float alpha = 1);
Colour hex(std::uint32_t rrggbb, float alpha = 1);
Colour mix(Colour from, Colour to, float t);
Colour lighten(Colour c, float amount);  // toward white, 0 .. 1
Colour darken(Colour c, float amount);   // toward black, 0 .. 1
Colour withAlpha(Colour c, float alpha);
Colour over(Colour top, Colour bottom);
float luminance(Colour c);

// A colour for every point of the plane (image coordinates).
using Paint = std::function<Colour(float x, float y)>;
struct Stop {
  float at;
  Colour colour;
};
Colour gradientAt(const std::vector<Stop>& stops, float t);
Paint solid(Colour c);
Paint linear(float x0, float y0, float x1, float y1, std::vector<Stop> stops);
Paint vertical(float y0, float y1, Colour top, Colour bottom);
Paint radial(float cx, float cy, float radius, std::vector<Stop> stops);

// Coverage, 0 .. 1, per pixel; reads outside the mask give 0.
class Mask {
 public:
  Mask() = default;
  Mask(int width, int height, float value = 0);

  int width() const { return width_; }
  int height() const { return height_; }
  float at(int x, int y) const;
  float& ref(int x, int y) { return values_[static_cast<std::size_t>(y) * width_ + x]; }
  void set(int x, int y, float value);

  Mask blurred(float sigma) const;
  Mask dilated(float radius) const;  // grown by radius pixels, anti-aliased
  Mask shifted(int dx, int dy) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<float> values_;
};

class Image {
 public:
  Image() = default;
  Image(int width, int height, Colour fill = Colour{});

  int width() const { return width_; }
  int height() const { return height_; }
  Colour at(int x, int y) const;  // transparent outside
  Colour& ref(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  void set(int x, int y, Colour c);

  // Source-over compositing of one colour at a coverage.
  void blend(int x, int y, Colour c, float coverage = 1);
  // Adds light: the colour times coverage and its alpha is added to the channels.
  void addLight(int x, int y, Colour c, float coverage = 1);

  void fill(const Paint& paint);
  // The paint through the mask placed with its top-left corner at (dx, dy).
  void fillMask(const Mask& mask, const Paint& paint, int dx = 0, int dy = 0, float opacity = 1);
  void glowMask(const Mask& mask, Colour colour, int dx = 0, int dy = 0, float strength = 1);
  void draw(const Image& source, int dx, int dy, float opacity = 1);
  void drawScaled(const Image& source, int dx, int dy, int factor);

  Image crop(int x, int y, int w, int h) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Colour> pixels_;
};

}  // namespace tools
