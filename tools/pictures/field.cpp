// The play field behind everything (background.png) and the score panel at its foot
// (digitpanel.png), whose slots take the yellow numbers drawn at run time.
#include <cmath>
#include <vector>

#include "tools/common/noise.hpp"
#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

Image playField() {
  Image field(kScreenWidth, kScreenHeight);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const float px = static_cast<float>(x) + 0.5F;
      const float py = static_cast<float>(y) + 0.5F;
      Colour c = tools::gradientAt({{0, hex(0x10173E)}, {0.55F, hex(0x0A0F2A)}, {1, hex(0x080B20)}}, py / kScreenHeight);
      // Faint clouds of deeper blue and violet, for depth without detail.
      const float cloud = tools::fractalNoise(px / 70, py / 70, 77u, 4);
      const float tint = tools::fractalNoise(px / 90 + 10, py / 90, 78u, 3);
      c = mix(c, mix(hex(0x1C2A6A), hex(0x2A1A5A), tint), clamp01((cloud - 0.45F) * 1.1F) * 0.45F);
      // Light along the walls the balls bounce off.
      const float wall = std::max(std::exp(-px / 2.2F), std::exp(-(kScreenWidth - px) / 2.2F));
      c = mix(c, hex(0x3A5AB0), 0.35F * wall);
      c = mix(c, hex(0x3A5AB0), 0.25F * std::exp(-py / 2.0F));
      c.a = 1;
      field.set(x, y, c);
    }
  }
  // The brick grid as faint dots at the cell corners.
  for (int row = 1; row < 16; ++row) {
    for (int col = 1; col < 12; ++col) field.blend(col * 20, row * 12, withAlpha(hex(0x5A70C0), 0.22F));
  }
  // The paddle's rail: a soft line of light just above the panel.
  for (int x = 0; x < kScreenWidth; ++x) {
    const float fade = 1 - std::pow(std::fabs(static_cast<float>(x) - 119.5F) / 120.0F, 2.0F);
    field.blend(x, 295, withAlpha(hex(0x3DE3FF), 0.28F * fade));
    field.blend(x, 294, withAlpha(hex(0x3DE3FF), 0.1F * fade));
    field.blend(x, 293, withAlpha(hex(0x3DE3FF), 0.04F * fade));
  }
  tools::dither(field);
  return field;
}

void star(Image& image, float cx, float cy, float r) {
  std::vector<tools::Point> points;
  for (int k = 0; k < 10; ++k) {
    const float a = -1.5707963F + static_cast<float>(k) * 0.62831853F;
    const float rr = (k % 2 == 0) ? r : r * 0.45F;
    points.push_back({cx + rr * std::cos(a), cy + rr * std::sin(a)});
  }
  const Sdf shape = tools::polygon(points);
  tools::fillShape(image, tools::grow(shape, 0.8F), tools::solid(withAlpha(hex(0x1A0C00), 0.9F)), 1, 4);
  tools::fillShape(image, shape, tools::vertical(cy - r, cy + r, hex(0xFFF6B0), hex(0xFF9A1F)), 1, 4);
}

void heart(Image& image, float cx, float cy, float size) {
  const float s = size / 12;
  const Sdf lobes = tools::unite(tools::circle(cx - 2.6F * s, cy - 1.6F * s, 3.2F * s),
                                 tools::circle(cx + 2.6F * s, cy - 1.6F * s, 3.2F * s));
  const Sdf shape = tools::unite(lobes, tools::polygon({{cx - 5.6F * s, cy - 0.6F * s},
                                                        {cx + 5.6F * s, cy - 0.6F * s},
                                                        {cx, cy + 5.8F * s}}));
  tools::fillShape(image, tools::grow(shape, 0.8F), tools::solid(withAlpha(hex(0x200408), 0.9F)), 1, 4);
  tools::fillShape(image, shape, tools::radial(cx - 2.5F * s, cy - 3 * s, 9 * s, {{0, hex(0xFFB0B8)}, {0.4F, hex(0xFF4A5A)}, {1, hex(0xB0142A)}}), 1, 4);
}

void flag(Image& image, float x, float y) {
  tools::fillShape(image, tools::box(x - 0.5F, y - 0.5F, 2.6F, 15), tools::solid(withAlpha(hex(0x10081A), 0.9F)), 1, 4);
  tools::fillShape(image, tools::box(x, y, 1.6F, 14), tools::vertical(y, y + 14, hex(0xE8ECF8), hex(0x8890A8)), 1, 4);
  const Sdf cloth = tools::polygon({{x + 1.6F, y + 0.5F}, {x + 12, y + 1.5F}, {x + 10, y + 4.5F}, {x + 12.5F, y + 7.5F}, {x + 1.6F, y + 7.5F}});
  tools::fillShape(image, tools::grow(cloth, 0.8F), tools::solid(withAlpha(hex(0x08101A), 0.9F)), 1, 4);
  tools::fillShape(image, cloth, tools::linear(x, y, x + 12, y + 8, {{0, hex(0x9CFFB0)}, {1, hex(0x1EB85A)}}), 1, 4);
}

Image panel() {
  Image image(kScreenWidth, 24);
  image.fill(tools::linear(0, 0, 0, 24, {{0, hex(0x3C4888)}, {0.12F, hex(0x2A3470)}, {0.6F, hex(0x1A2152)}, {1, hex(0x10143A)}}));
  tools::dither(image);
  for (int x = 0; x < kScreenWidth; ++x) {
    image.set(x, 0, hex(0x8A9CE8));
    image.set(x, 1, hex(0x4A5AA8));
    image.set(x, 23, hex(0x0A0D26));
  }
  // The number slots, sunk into the bar.
  struct Slot {
    float x, w;
  };
  for (const Slot slot : {Slot{20, 105}, Slot{142, 37}, Slot{196, 42}}) {
    const Sdf shape = tools::roundRect(slot.x, 3, slot.w, 19, 3);
    tools::fillShape(image, tools::grow(shape, 1), tools::solid(withAlpha(hex(0x8A9CE8), 0.35F)), 1, 4);
    tools::fillShape(image, shape, tools::solid(palette::kSlot), 1, 4);
    tools::fillShape(image, tools::intersect(tools::grow(shape, -0.2F), tools::box(slot.x, 3, slot.w, 1)),
                     tools::solid(withAlpha(hex(0x000000), 0.8F)), 1, 4);
  }
  star(image, 10, 12.5F, 7.5F);
  heart(image, 134, 12.5F, 13);
  flag(image, 183, 5);
  return image;
}

}  // namespace

void makeField(PictureSet& set) {
  set.add("background.png", tools::flatten(playField(), palette::kField));
  set.add("digitpanel.png", tools::flatten(panel(), palette::kField));
}

}  // namespace pictures
