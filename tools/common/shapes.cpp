#include "tools/common/shapes.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tools {
namespace {

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float length(float x, float y) { return std::sqrt(x * x + y * y); }

// The outward direction of the surface at (x, y), from the distance field's slope.
void normalAt(const Sdf& shape, float x, float y, float& nx, float& ny) {
  const float e = 0.5F;
  nx = shape(x + e, y) - shape(x - e, y);
  ny = shape(x, y + e) - shape(x, y - e);
  const float n = length(nx, ny);
  if (n > 0) {
    nx /= n;
    ny /= n;
  }
}

}  // namespace

Sdf circle(float cx, float cy, float radius) {
  return [=](float x, float y) { return length(x - cx, y - cy) - radius; };
}

Sdf ellipse(float cx, float cy, float rx, float ry) {
  // Scaled-circle distance, corrected by the gradient: exact enough for edge smoothing.
  return [=](float x, float y) {
    const float px = (x - cx) / rx;
    const float py = (y - cy) / ry;
    const float k0 = length(px, py);
    const float k1 = length(px / rx, py / ry);
    if (k1 <= 0) return -std::min(rx, ry);
    return k0 * (k0 - 1) / k1;
  };
}

Sdf roundRect(float x, float y, float w, float h, float radius) {
  const float hx = w / 2;
  const float hy = h / 2;
  const float cx = x + hx;
  const float cy = y + hy;
  const float r = std::min({radius, hx, hy});
  return [=](float px, float py) {
    const float qx = std::fabs(px - cx) - (hx - r);
    const float qy = std::fabs(py - cy) - (hy - r);
    return length(std::max(qx, 0.0F), std::max(qy, 0.0F)) + std::min(std::max(qx, qy), 0.0F) - r;
  };
}

Sdf box(float x, float y, float w, float h) { return roundRect(x, y, w, h, 0); }

Sdf segment(Point a, Point b, float halfWidth) {
  return [=](float x, float y) {
    const float px = x - a.x;
    const float py = y - a.y;
    const float bx = b.x - a.x;
    const float by = b.y - a.y;
    const float l2 = bx * bx + by * by;
    const float t = l2 > 0 ? clamp01((px * bx + py * by) / l2) : 0;
    return length(px - bx * t, py - by * t) - halfWidth;
  };
}

Sdf polygon(std::vector<Point> points) {
  return [points = std::move(points)](float x, float y) {
    const std::size_t n = points.size();
    if (n < 3) return 1e6F;
    float best = 1e12F;
    bool inside = false;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
      const Point& a = points[j];
      const Point& b = points[i];
      const float ex = b.x - a.x;
      const float ey = b.y - a.y;
      const float wx = x - a.x;
      const float wy = y - a.y;
      const float l2 = ex * ex + ey * ey;
      const float t = l2 > 0 ? clamp01((wx * ex + wy * ey) / l2) : 0;
      const float dx = wx - ex * t;
      const float dy = wy - ey * t;
      best = std::min(best, dx * dx + dy * dy);
      if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * ex / ey) inside = !inside;
    }
    const float d = std::sqrt(best);
    return inside ? -d : d;
  };
}

Sdf ring(float cx, float cy, float radius, float halfWidth) {
  return [=](float x, float y) { return std::fabs(length(x - cx, y - cy) - radius) - halfWidth; };
}

Sdf unite(Sdf a, Sdf b) {
  return [a = std::move(a), b = std::move(b)](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

Sdf intersect(Sdf a, Sdf b) {
  return [a = std::move(a), b = std::move(b)](float x, float y) { return std::max(a(x, y), b(x, y)); };
}

Sdf subtract(Sdf a, Sdf b) {
  return [a = std::move(a), b = std::move(b)](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}

Sdf grow(Sdf a, float by) {
  return [a = std::move(a), by](float x, float y) { return a(x, y) - by; };
}

Sdf outline(Sdf a, float halfWidth) {
  return [a = std::move(a), halfWidth](float x, float y) { return std::fabs(a(x, y)) - halfWidth; };
}

Sdf moved(Sdf a, float dx, float dy) {
  return [a = std::move(a), dx, dy](float x, float y) { return a(x - dx, y - dy); };
}

Mask coverage(int width, int height, const Sdf& shape, int samples) {
  Mask result(width, height);
  const int n = std::max(samples, 1);
  const float step = 1.0F / static_cast<float>(n);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (n > 1) {
        // Far from the edge the whole pixel is in or out: no need to sample it finely.
        const float centre = shape(static_cast<float>(x) + 0.5F, static_cast<float>(y) + 0.5F);
        if (centre > 0.75F) continue;
        if (centre < -0.75F) {
          result.ref(x, y) = 1;
          continue;
        }
      }
      float sum = 0;
      for (int sy = 0; sy < n; ++sy) {
        for (int sx = 0; sx < n; ++sx) {
          const float px = static_cast<float>(x) + (static_cast<float>(sx) + 0.5F) * step;
          const float py = static_cast<float>(y) + (static_cast<float>(sy) + 0.5F) * step;
          // Each sample covers a sub-pixel, so its edge ramp is as narrow as the sub-pixel.
          sum += clamp01(0.5F - shape(px, py) * static_cast<float>(n));
        }
      }
      result.ref(x, y) = sum / static_cast<float>(n * n);
    }
  }
  return result;
}

void fillShape(Image& image, const Sdf& shape, const Paint& paint, float opacity, int samples) {
  image.fillMask(coverage(image.width(), image.height(), shape, samples), paint, 0, 0, opacity);
}

void bevel(Image& image, const Sdf& shape, float width, float highlight, float shadow, bool soft) {
  const float lx = -0.6F;
  const float ly = -0.8F;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const float px = static_cast<float>(x) + 0.5F;
      const float py = static_cast<float>(y) + 0.5F;
      const float d = shape(px, py);
      const float inside = clamp01(0.5F - d);
      if (inside <= 0) continue;
      const float depth = -d;
      float band = soft ? clamp01(1 - depth / width) : clamp01(width + 0.5F - depth);
      if (soft) band *= band;
      if (band <= 0) continue;
      float nx = 0;
      float ny = 0;
      normalAt(shape, px, py, nx, ny);
      const float facing = nx * lx + ny * ly;  // (lx, ly) points toward the light
      Colour c = image.at(x, y);
      const float k = band * inside;
      c = facing > 0 ? lighten(c, highlight * facing * k) : darken(c, shadow * -facing * k);
      image.set(x, y, c);
    }
  }
}

void recess(Image& image, const Sdf& shape, float width, float strength) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const float px = static_cast<float>(x) + 0.5F;
      const float py = static_cast<float>(y) + 0.5F;
      const float d = shape(px, py);
      const float inside = clamp01(0.5F - d);
      if (inside <= 0) continue;
      float nx = 0;
      float ny = 0;
      normalAt(shape, px, py, nx, ny);
      const float band = clamp01(1 + d / width);
      const float facing = nx * -0.6F + ny * -0.8F;
      Colour c = image.at(x, y);
      c = facing > 0 ? darken(c, strength * facing * band * band * inside)
                     : lighten(c, 0.35F * strength * -facing * band * band * inside);
      image.set(x, y, c);
    }
  }
}

}  // namespace tools
