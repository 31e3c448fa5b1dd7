#include "tools/common/raster.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tools {
namespace {

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

}  // namespace

Colour rgb(int red, int green, int blue, float alpha) {
  return Colour{static_cast<float>(red) / 255.0F, static_cast<float>(green) / 255.0F, static_cast<float>(blue) / 255.0F,
                alpha};
}

Colour hex(std::uint32_t rrggbb, float alpha) {
  return rgb(static_cast<int>((rrggbb >> 16) & 0xFF), static_cast<int>((rrggbb >> 8) & 0xFF),
             static_cast<int>(rrggbb & 0xFF), alpha);
}

Colour mix(Colour from, Colour to, float t) {
  return Colour{from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
                from.a + (to.a - from.a) * t};
}

Colour lighten(Colour c, float amount) {
  const Colour white{1, 1, 1, c.a};
  return mix(c, white, amount);
}

Colour darken(Colour c, float amount) { return Colour{c.r * (1 - amount), c.g * (1 - amount), c.b * (1 - amount), c.a}; }

Colour withAlpha(Colour c, float alpha) { return Colour{c.r, c.g, c.b, alpha}; }

Colour over(Colour top, Colour bottom) {
  const float a = top.a + bottom.a * (1 - top.a);
  if (a <= 0) return Colour{};
  const float kb = bottom.a * (1 - top.a);
  return Colour{(top.r * top.a + bottom.r * kb) / a, (top.g * top.a + bottom.g * kb) / a,
                (top.b * top.a + bottom.b * kb) / a, a};
}

float luminance(Colour c) { return 0.299F * c.r + 0.587F * c.g + 0.114F * c.b; }

Colour gradientAt(const std::vector<Stop>& stops, float t) {
  if (stops.empty()) return Colour{};
  if (t <= stops.front().at) return stops.front().colour;
  for (std::size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].at) {
      const float span = stops[i].at - stops[i - 1].at;
      const float k = span > 0 ? (t - stops[i - 1].at) / span : 1;
      return mix(stops[i - 1].colour, stops[i].colour, k);
    }
  }
  return stops.back().colour;
}

Paint solid(Colour c) {
  return [c](float, float) { return c; };
}

Paint linear(float x0, float y0, float x1, float y1, std::vector<Stop> stops) {
  const float dx = x1 - x0;
  const float dy = y1 - y0;
  const float length2 = dx * dx + dy * dy;
  return [=, stops = std::move(stops)](float x, float y) {
    const float t = length2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / length2 : 0;
    return gradientAt(stops, t);
  };
}

Paint vertical(float y0, float y1, Colour top, Colour bottom) { return linear(0, y0, 0, y1, {{0, top}, {1, bottom}}); }

Paint radial(float cx, float cy, float radius, std::vector<Stop> stops) {
  return [=, stops = std::move(stops)](float x, float y) {
    const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
    return gradientAt(stops, radius > 0 ? d / radius : 1);
  };
}

// ---------------------------------------------------------------------------------------------

Mask::Mask(int width, int height, float value)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      values_(static_cast<std::size_t>(width_) * height_, value) {}

float Mask::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return values_[static_cast<std::size_t>(y) * width_ + x];
}

void Mask::set(int x, int y, float value) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  values_[static_cast<std::size_t>(y) * width_ + x] = value;
}

Mask Mask::blurred(float sigma) const {
  if (sigma <= 0) return *this;
  const int radius = static_cast<int>(std::ceil(sigma * 3));
  std::vector<float> kernel(static_cast<std::size_t>(2 * radius + 1));
  float sum = 0;
  for (int i = -radius; i <= radius; ++i) {
    const float w = std::exp(-static_cast<float>(i * i) / (2 * sigma * sigma));
    kernel[static_cast<std::size_t>(i + radius)] = w;
    sum += w;
  }
  for (float& w : kernel) w /= sum;
  Mask across(width_, height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      float v = 0;
      for (int i = -radius; i <= radius; ++i) v += at(x + i, y) * kernel[static_cast<std::size_t>(i + radius)];
      across.ref(x, y) = v;
    }
  }
  Mask result(width_, height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      float v = 0;
      for (int i = -radius; i <= radius; ++i) v += across.at(x, y + i) * kernel[static_cast<std::size_t>(i + radius)];
      result.ref(x, y) = v;
    }
  }
  return result;
}

Mask Mask::dilated(float radius) const {
  const int reach = static_cast<int>(std::ceil(radius + 0.5F));
  Mask result(width_, height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      float best = 0;
      for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
          const float weight = clamp01(radius + 0.5F - std::sqrt(static_cast<float>(dx * dx + dy * dy)));
          if (weight <= 0) continue;
          best = std::max(best, at(x + dx, y + dy) * weight);
        }
      }
      result.ref(x, y) = best;
    }
  }
  return result;
}

Mask Mask::shifted(int dx, int dy) const {
  Mask result(width_, height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) result.ref(x, y) = at(x - dx, y - dy);
  }
  return result;
}

// ---------------------------------------------------------------------------------------------

Image::Image(int width, int height, Colour fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), pixels_(static_cast<std::size_t>(width_) * height_, fill) {}

Colour Image::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return Colour{};
  return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void Image::set(int x, int y, Colour c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * width_ + x] = c;
}

void Image::blend(int x, int y, Colour c, float coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) return;
  c.a *= clamp01(coverage);
  Colour& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
  p = over(c, p);
}

void Image::addLight(int x, int y, Colour c, float coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) return;
  Colour& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
  const float k = c.a * coverage;
  p.r = clamp01(p.r + c.r * k);
  p.g = clamp01(p.g + c.g * k);
  p.b = clamp01(p.b + c.b * k);
  p.a = clamp01(p.a + k);
}

void Image::fill(const Paint& paint) {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) blend(x, y, paint(static_cast<float>(x) + 0.5F, static_cast<float>(y) + 0.5F));
  }
}

void Image::fillMask(const Mask& mask, const Paint& paint, int dx, int dy, float opacity) {
  for (int y = 0; y < mask.height(); ++y) {
    const int ty = y + dy;
    if (ty < 0 || ty >= height_) continue;
    for (int x = 0; x < mask.width(); ++x) {
      const int tx = x + dx;
      const float m = mask.at(x, y) * opacity;
      if (tx < 0 || tx >= width_ || m <= 0) continue;
      blend(tx, ty, paint(static_cast<float>(tx) + 0.5F, static_cast<float>(ty) + 0.5F), m);
    }
  }
}

void Image::glowMask(const Mask& mask, Colour colour, int dx, int dy, float strength) {
  for (int y = 0; y < mask.height(); ++y) {
    for (int x = 0; x < mask.width(); ++x) addLight(x + dx, y + dy, colour, mask.at(x, y) * strength);
  }
}

void Image::draw(const Image& source, int dx, int dy, float opacity) {
  for (int y = 0; y < source.height(); ++y) {
    for (int x = 0; x < source.width(); ++x) blend(x + dx, y + dy, source.at(x, y), opacity);
  }
}

void Image::drawScaled(const Image& source, int dx, int dy, int factor) {
  for (int y = 0; y < source.height() * factor; ++y) {
    for (int x = 0; x < source.width() * factor; ++x) blend(x + dx, y + dy, source.at(x / factor, y / factor));
  }
}

Image Image::crop(int x, int y, int w, int h) const {
  Image result(w, h);
  for (int py = 0; py < h; ++py) {
    for (int px = 0; px < w; ++px) result.set(px, py, at(x + px, y + py));
  }
  return result;
}

}  // namespace tools
