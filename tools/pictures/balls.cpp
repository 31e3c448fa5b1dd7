// The balls (normal, four frames of fire, pierce) and the 32 frames of the fire brick's
// explosion. Both are drawn with the black key, so their soft rims are blended into the dark
// play field and their faintest parts left out.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "tools/common/noise.hpp"
#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

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
float sphereLight(float dx, float dy, float r, float& shine) {
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
  shine = std::pow(std::max(0.0F, (nx * hx + ny * hy + nz * hz) / hl), 24.0F);
  return diffuse;
}

// A lit sphere's colour: the ramp from its dark rim to its lit side, then the highlight.
Colour litSphere(float dx, float dy, float r, const std::vector<tools::Stop>& ramp) {
  float shine = 0;
  const float light = sphereLight(dx, dy, r, shine);
  Colour c = tools::gradientAt(ramp, light);
  c = mix(c, hex(0xFFFFFF), shine);
  c.a = 1;
  return c;
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
    const float r = 4.5F;
    if (d <= r) return litSphere(dx, dy, r, {{0, hex(0x3A66C8)}, {0.45F, hex(0xA8CCFF)}, {1, hex(0xFFFFFF)}});
    const float glow = clamp01(1 - (d - r) / 1.7F);
    return withAlpha(hex(0x6ACCFF), glow * 0.95F);
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
    float shine = 0;
    float light = 0;
    if (d < 3.6F) light = sphereLight(dx, dy, 3.6F, shine);
    Colour c = fireRamp(std::min(1.0F, heat + 0.25F * light));
    c = mix(c, hex(0xFFFFFF), shine * 0.8F);
    c.a = clamp01(heat * 4);
    return c;
  });
}

void pierceBall(Image& image, float x, float y) {
  // A bright core with a four-pointed sparkle through it, centred on a pixel so that the
  // points are one pixel wide.
  shadeCell(image, x, y, kBallSize, kBallSize, [](float px, float py) {
    const float dx = px - 5.5F;
    const float dy = py - 5.5F;
    const float d = std::sqrt(dx * dx + dy * dy);
    const float r = 3.4F;
    if (d <= r) return litSphere(dx, dy, r, {{0, hex(0x9A5AE8)}, {0.5F, hex(0xEEDCFF)}, {1, hex(0xFFFFFF)}});
    const bool onAxis = (std::fabs(dx) < 0.5F && std::fabs(dy) < 5.5F) || (std::fabs(dy) < 0.5F && std::fabs(dx) < 5.5F);
    if (onAxis) return mix(hex(0xFFE8FF), hex(0xC040F0), clamp01((d - r) / 2.2F));
    const float halo = clamp01(1 - (d - r) / 1.0F);
    return withAlpha(hex(0xC070FF), halo * 0.9F);
  });
}

// Frame f of 32: a flash, a rolling fireball, then smoke breaking up.
void blastFrame(Image& image, int f, int x0, int y0) {
  const float t = static_cast<float>(f) / 31.0F;
  const float grow = 1 - std::pow(1 - std::min(1.0F, t / 0.4F), 3.0F);
  const float radius = 5 + 17.5F * grow;
  const float fade = clamp01((t - 0.3F) / 0.7F);  // 0 .. 1 over the later frames
  const float flash = clamp01(1 - t / 0.16F);
  const float ringRadius = 5 + 18 * std::sqrt(std::min(1.0F, t / 0.3F));
  const float ringStrength = clamp01(1 - t / 0.3F) * clamp01(t * 12);
  shadeCell(image, static_cast<float>(x0), static_cast<float>(y0), 48, 48, [=](float px, float py) {
    const float dx = px - 24;
    const float dy = py - 24;
    const float d = std::sqrt(dx * dx + dy * dy);
    // Billows that roll outward and upward as the fireball grows.
    const float n = tools::fractalNoise(px * 0.15F + t * 1.5F, py * 0.15F + t * 2.5F, 1234u, 4);
    const float billow = tools::fractalNoise(px * 0.3F - t * 3.0F, py * 0.3F + t * 2.0F, 4321u, 3);
    float heat = (1 - d / radius) * (1.15F - fade * 0.55F) + (n - 0.5F) * (0.7F + fade * 0.5F) + flash * 0.45F;
    heat -= std::pow(fade, 1.6F) * 0.82F + (billow - 0.5F) * (0.25F + fade * 0.6F);
    Colour c{};
    if (heat > 0) {
      c = fireRamp(std::min(1.0F, heat * (1.05F - fade * 0.45F)));
      // Smoke: the cooling edge turns dusky violet-grey.
      const float smoke = clamp01(fade * 1.7F - heat * 1.6F);
      c = mix(c, hex(0x5A4260), smoke * 0.8F);
      c.a = clamp01(heat * 5);
    }
    // The shock ring of the first frames.
    const float ring = clamp01(1 - std::fabs(d - ringRadius) / 1.4F) * ringStrength;
    if (ring > 0 && d < 23.5F) {
      const Colour rc = withAlpha(hex(0xFFF0C0), ring);
      c = c.a > 0 ? tools::over(withAlpha(rc, ring * 0.5F), c) : rc;
    }
    if (d > 23.0F) c.a *= clamp01(23.5F - d) * 2;
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
