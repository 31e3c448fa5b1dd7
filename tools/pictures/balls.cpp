// The balls (normal, four frames of fire, pierce) and the 32 frames of the fire brick's
// explosion. Both are drawn with the black key, so their soft rims are blended into the dark
// play field and their faintest parts left out.
#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/common/noise.hpp"
#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

using tools::hex;
using tools::mix;
using tools::withAlpha;

constexpr float kPi = 3.14159265F;

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Renders f over a w x h cell at (x0, y0), 4 x 4 samples per pixel averaged with their alpha.
void shadeCell(Image& image, float x0, float y0, int w, int h, const std::function<Colour(float, float)>& f) {
  const int n = 4;
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      float r = 0;
      float g = 0;
      float b = 0;
      float a = 0;
      for (int sy = 0; sy < n; ++sy) {
        for (int sx = 0; sx < n; ++sx) {
          const Colour c = f(static_cast<float>(i) + (static_cast<float>(sx) + 0.5F) / n,
                             static_cast<float>(j) + (static_cast<float>(sy) + 0.5F) / n);
          r += c.r * c.a;
          g += c.g * c.a;
          b += c.b * c.a;
          a += c.a;
        }
      }
      if (a <= 0) continue;
      image.blend(static_cast<int>(x0) + i, static_cast<int>(y0) + j, Colour{r / a, g / a, b / a, a / (n * n)});
    }
  }
}

// Lighting of a sphere of radius r at offset (dx, dy) from its centre: 0 dark rim .. 1 lit.
float sphereLight(float dx, float dy, float r, float& specular) {
  const float nx = dx / r;
  const float ny = dy / r;
  const float nz = std::sqrt(std::max(0.0F, 1 - nx * nx - ny * ny));
  const float lx = -0.45F;
  const float ly = -0.55F;
  const float lz = 0.70F;
  const float diffuse = std::max(0.0F, nx * lx + ny * ly + nz * lz);
  // Blinn highlight with the viewer straight ahead.
  const float hx = lx;
  const float hy = ly;
  const float hz = lz + 1;
  const float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
  specular = std::pow(std::max(0.0F, (nx * hx + ny * hy + nz * hz) / hl), 24.0F);
  return diffuse;
}

Colour fireRamp(float heat) {
  static const std::vector<tools::Stop> kRamp = {{0.0F, hex(0x5A0A04)}, {0.25F, hex(0xC8260A)}, {0.5F, hex(0xFF7A12)},
                                                 {0.72F, hex(0xFFC83A)}, {0.9F, hex(0xFFF2A8)}, {1.0F, hex(0xFFFFF4)}};
  return tools::gradientAt(kRamp, heat);
}

void normalBall(Image& image, float x, float y) {
  shadeCell(image, x, y, kBallSize, kBallSize, [](float px, float py) {
    const float dx = px - 6;
    const float dy = py - 6;
    const float d = std::sqrt(dx * dx + dy * dy);
    const float r = 4.7F;
    if (d <= r) {
      float spec = 0;
      const float light = sphereLight(dx, dy, r, spec);
      Colour c = tools::gradientAt({{0, hex(0x3050A8)}, {0.55F, hex(0x9CC4FF)}, {1, hex(0xF4F8FF)}}, light);
      c = mix(c, hex(0xFFFFFF), spec);
      c.a = 1;
      return c;
    }
    const float glow = clamp01(1 - (d - r) / 1.5F);
    return withAlpha(hex(0x58B8FF), glow * 0.9F);
  });
}

void fireBall(Image& image, int frame, float x, float y) {
  shadeCell(image, x, y, kBallSize, kBallSize, [frame](float px, float py) {
    const float dx = px - 6;
    const float dy = py - 6;
    const float d = std::sqrt(dx * dx + dy * dy);
    const float angle = std::atan2(dy, dx);
    // Flame tongues: noise around the rim, turning a quarter step each frame.
    const float t = static_cast<float>(frame) * 0.9F;
    const float tongues = tools::fractalNoise(std::cos(angle) * 2.2F + t, std::sin(angle) * 2.2F - t * 0.7F, 900u, 2);
    const float reach = 4.0F + tongues * 2.3F;
    const float heat = 1.05F - d / reach;
    if (heat <= 0) return Colour{};
    float spec = 0;
    float light = 0;
    if (d < 3.6F) light = sphereLight(dx, dy, 3.6F, spec);
    Colour c = fireRamp(std::min(1.0F, heat + 0.25F * light));
    c = mix(c, hex(0xFFFFFF), spec * 0.8F);
    c.a = clamp01(heat * 4);
    return c;
  });
}

void pierceBall(Image& image, float x, float y) {
  shadeCell(image, x, y, kBallSize, kBallSize, [](float px, float py) {
    const float dx = px - 6;
    const float dy = py - 6;
    const float d = std::sqrt(dx * dx + dy * dy);
    const float r = 3.9F;
    if (d <= r) {
      float spec = 0;
      const float light = sphereLight(dx, dy, r, spec);
      Colour c = tools::gradientAt({{0, hex(0x8A4AE0)}, {0.5F, hex(0xE6D2FF)}, {1, hex(0xFFFFFF)}}, light);
      c = mix(c, hex(0xFFFFFF), spec);
      c.a = 1;
      return c;
    }
    // Four spikes along the diagonals and a violet halo.
    const float ax = std::fabs(dx);
    const float ay = std::fabs(dy);
    const float u = (ax + ay) * 0.7071F;   // along the nearest diagonal
    const float v = std::fabs(ax - ay) * 0.7071F;  // across it
    const float spike = clamp01(1 - v / (1.3F * clamp01(1 - (u - r) / 3.2F) + 0.01F)) * clamp01((6.6F - u) / 1.5F);
    const float halo = clamp01(1 - (d - r) / 1.3F);
    if (spike > halo) return withAlpha(mix(hex(0xB070FF), hex(0xFFFFFF), spike * 0.7F), std::min(1.0F, spike * 1.4F));
    return withAlpha(hex(0xB070FF), halo * 0.9F);
  });
}

// Frame f of 32: a flash, a rolling fireball, then smoke breaking up.
void blastFrame(Image& image, int f, int x0, int y0) {
  const float t = static_cast<float>(f) / 31.0F;
  const float grow = 1 - std::pow(1 - std::min(1.0F, t / 0.35F), 3.0F);
  const float radius = 6 + 16.5F * grow;
  const float fade = clamp01((t - 0.45F) / 0.55F);  // 0 .. 1 over the second half
  const float flash = clamp01(1 - t / 0.2F);
  const float ringRadius = 4 + 20 * std::sqrt(std::min(1.0F, t / 0.4F));
  const float ringStrength = clamp01(1 - t / 0.4F);
  shadeCell(image, static_cast<float>(x0), static_cast<float>(y0), 48, 48, [=](float px, float py) {
    const float dx = px - 24;
    const float dy = py - 24;
    const float d = std::sqrt(dx * dx + dy * dy);
    // Billows drift outward as the fireball grows.
    const float n = tools::fractalNoise(px * 0.16F + t * 2.0F, py * 0.16F - t * 3.0F, 1234u, 4);
    const float billow = tools::fractalNoise(px * 0.32F - t * 4.0F, py * 0.32F + t * 1.5F, 4321u, 3);
    float heat = (1 - d / radius) * (1.25F - fade * 0.9F) + (n - 0.5F) * (0.55F + fade * 0.6F) + flash * 0.5F;
    heat -= fade * fade * 0.9F + (billow - 0.5F) * fade * 0.8F;
    Colour c{};
    if (heat > 0) {
      c = fireRamp(std::min(1.0F, heat * (1.1F - fade * 0.5F)));
      // Smoke: the cooling edge turns to a dusky brown-violet.
      const float smoke = clamp01(fade * 1.6F - heat * 1.8F);
      c = mix(c, hex(0x4A2A3A), smoke * 0.85F);
      c.a = clamp01(heat * 5);
    }
    // The shock ring of the first frames.
    const float ring = clamp01(1 - std::fabs(d - ringRadius) / 1.6F) * ringStrength;
    if (ring > 0 && d < 23.5F) {
      const Colour rc = withAlpha(hex(0xFFE6A0), ring);
      c = c.a > 0 ? tools::over(withAlpha(rc, ring * 0.6F), c) : rc;
    }
    if (d > 23.5F) c.a *= clamp01(24 - d);
    return c;
  });
}

}  // namespace

void drawBall(Image& image, int kind, int frame, float x, float y) {
  switch (kind) {
    case 1:
      fireBall(image, frame, x, y);
      break;
    case 2:
      pierceBall(image, x, y);
      break;
    default:
      normalBall(image, x, y);
      break;
  }
}

void makeBalls(PictureSet& set) {
  Image balls(48, 36);
  drawBall(balls, 0, 0, 0, 0);
  for (int frame = 0; frame < 4; ++frame) drawBall(balls, 1, frame, static_cast<float>(12 * frame), 12);
  drawBall(balls, 2, 0, 0, 24);
  set.add("ball.png", tools::flattenKeyed(balls, tools::Key::Black, palette::kField), tools::Key::Black);

  Image blast(384, 192);
  for (int f = 0; f < 32; ++f) blastFrame(blast, f, 48 * (f % 8), 48 * (f / 8));
  set.add("blast.png", tools::flattenKeyed(blast, tools::Key::Black, palette::kField), tools::Key::Black);
}

}  // namespace pictures
