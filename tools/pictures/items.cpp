// The fourteen item icons (resource 162): a framed 30 x 30 tile each, the frame's colour
// telling good (blue), multi-ball (orange) and harmful (red) items apart.
#include <cmath>
#include <vector>

#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

constexpr int kSamples = 4;

const Colour kBlue = hex(0x3A8CFF);
const Colour kOrange = hex(0xFF9A1F);
const Colour kRed = hex(0xF03A3A);

Colour frameColour(int kind) {
  switch (kind) {
    case 2:
    case 11:
      return kOrange;
    case 5:
    case 7:
    case 9:
      return kRed;
    default:
      return kBlue;
  }
}

// Shapes are given in the tile's own coordinates (0 .. 30) and moved to (ox, oy).
struct Tile {
  Image& image;
  float ox;
  float oy;

  Sdf at(const Sdf& shape) const { return tools::moved(shape, ox, oy); }
  void fill(const Sdf& shape, const Paint& paint) const { tools::fillShape(image, at(shape), paint, 1, kSamples); }
  void fill(const Sdf& shape, Colour c) const { fill(shape, tools::solid(c)); }
  Paint vertical(float y0, float y1, Colour top, Colour bottom) const {
    return tools::vertical(oy + y0, oy + y1, top, bottom);
  }
  Paint linear(float x0, float y0, float x1, float y1, std::vector<tools::Stop> stops) const {
    return tools::linear(ox + x0, oy + y0, ox + x1, oy + y1, std::move(stops));
  }
  void ball(float cx, float cy, float r) const { drawGreyBall(image, ox + cx, oy + cy, r); }
  // A stroke with a darker rim for contrast on the dark tile.
  void stroke(const Sdf& shape, Colour c) const {
    fill(tools::grow(shape, 0.7F), withAlpha(darken(c, 0.75F), 0.85F));
    fill(shape, c);
  }
};

void drawFrame(const Tile& t, Colour c) {
  const Sdf outer = tools::roundRect(0, 0, 30, 30, 4.5F);
  t.fill(outer, lighten(c, 0.7F));
  t.fill(tools::grow(outer, -1), lighten(c, 0.35F));
  t.fill(tools::grow(outer, -2), c);
  const Sdf inner = tools::roundRect(3, 3, 24, 24, 2);
  t.fill(inner, tools::radial(t.ox + 13, t.oy + 11, 17,
                              {{0, mix(darken(c, 0.55F), hex(0x101830), 0.3F)}, {1, mix(darken(c, 0.8F), hex(0x080C1C), 0.4F)}}));
  // Glass: a faint sheen over the upper half.
  t.fill(tools::intersect(inner, tools::box(3, 3, 24, 9)),
         t.vertical(3, 12, withAlpha(hex(0xFFFFFF), 0.14F), withAlpha(hex(0xFFFFFF), 0.0F)));
}

Sdf arrowHead(Point tip, float dir, float length, float halfWidth) {
  return tools::polygon({tip, {tip.x - dir * length, tip.y - halfWidth}, {tip.x - dir * length, tip.y + halfWidth}});
}

void miniPaddle(const Tile& t, float x, float y, float w) {
  const Sdf body = tools::roundRect(x, y, w, 5, 2.5F);
  t.fill(tools::grow(body, 0.6F), withAlpha(hex(0x0A0E20), 0.8F));
  t.fill(body, t.vertical(y, y + 5, hex(0xEEF2FF), hex(0x56609A)));
  t.fill(tools::intersect(body, tools::box(x, y, 3.5F, 5)), t.vertical(y, y + 5, hex(0xC8F8FF), hex(0x1690C8)));
  t.fill(tools::intersect(body, tools::box(x + w - 3.5F, y, 3.5F, 5)), t.vertical(y, y + 5, hex(0xC8F8FF), hex(0x1690C8)));
}

void miniBrick(const Tile& t, float x, float y, Colour c) {
  const Sdf brick = tools::box(x, y, 10, 6);
  t.fill(tools::grow(brick, 0.6F), withAlpha(hex(0x0A0E20), 0.8F));
  t.fill(brick, t.vertical(y, y + 6, lighten(c, 0.35F), darken(c, 0.25F)));
  t.fill(tools::box(x, y, 10, 1), lighten(c, 0.6F));
  t.fill(tools::box(x, y + 5, 10, 1), darken(c, 0.5F));
  t.fill(tools::box(x + 9, y + 1, 1, 4), darken(c, 0.35F));
  t.fill(tools::segment({x + 3, y + 1}, {x + 5, y + 3.5F}, 0.45F), darken(c, 0.6F));
  t.fill(tools::segment({x + 5, y + 3.5F}, {x + 4.5F, y + 5}, 0.45F), darken(c, 0.6F));
}

void picture(const Tile& t, int kind) {
  const Colour arrow = hex(0x8CEBFF);
  switch (kind) {
    case 1: {  // Guns
      for (const float gx : {5.5F, 19.5F}) {
        const Sdf gun = tools::unite(tools::polygon({{gx, 18.5F}, {gx + 1, 13.5F}, {gx + 4, 13.5F}, {gx + 5, 18.5F}}),
                                     tools::roundRect(gx + 1.2F, 6.5F, 2.6F, 8, 0.6F));
        t.fill(tools::grow(gun, 0.8F), hex(0x1E0C44));
        t.fill(gun, t.linear(gx, 0, gx + 5, 0, {{0, hex(0xEEDCFF)}, {0.4F, hex(0xA870FF)}, {1, hex(0x5A2EB8)}}));
        t.fill(tools::box(gx + 1.2F, 6.5F, 2.6F, 1.2F), hex(0xFFDCFF));
        t.fill(tools::roundRect(gx + 1.6F, 2, 1.8F, 3.2F, 0.8F), hex(0xFF7AE0));
      }
      miniPaddle(t, 4, 18.5F, 22);
      break;
    }
    case 2:  // EightBalls
      for (int k = 0; k < 8; ++k) {
        const float a = (static_cast<float>(k) + 0.5F) * 3.14159265F / 4;
        t.ball(15 + 7.6F * std::cos(a), 15 + 7.6F * std::sin(a), 2.7F);
      }
      break;
    case 3:  // Longer
      t.stroke(tools::box(5, 8, 2, 14), hex(0xE8ECF8));
      t.stroke(tools::box(23, 8, 2, 14), hex(0xE8ECF8));
      t.stroke(tools::unite(tools::segment({12, 15}, {18, 15}, 1.3F),
                            tools::unite(arrowHead({8.5F, 15}, -1, 5, 4.6F), arrowHead({21.5F, 15}, 1, 5, 4.6F))),
               arrow);
      break;
    case 4: {  // ExtraLife
      t.ball(10, 17, 5.3F);
      LabelStyle plus = boldStyle(10, hex(0x8CFF8C));
      plus.top = hex(0xD8FFD0);
      plus.bottom = hex(0x3ED860);
      plus.outline = 1;
      plus.outlineColour = hex(0x0A2010);
      drawLabel(t.image, "+1", t.ox + 20, static_cast<int>(t.oy) + 14, Align::Centre, plus);
      break;
    }
    case 5:  // FastBalls
      for (const auto& [y, x0] : {std::pair{11.0F, 7.0F}, std::pair{15.0F, 4.5F}, std::pair{19.0F, 7.0F}}) {
        t.stroke(tools::segment({x0, y}, {13.5F, y}, 0.95F), hex(0xFF4A4A));
      }
      t.ball(19.5F, 15, 5.2F);
      break;
    case 6: {  // FireBalls
      const Paint flame = t.linear(22, 6, 12, 18, {{0, hex(0xFFE27A)}, {0.5F, hex(0xFF8A1C)}, {1, hex(0xE0300E)}});
      t.fill(tools::polygon({{8, 16}, {24, 4.5F}, {16, 20}}), flame);
      t.fill(tools::polygon({{10, 13}, {18, 5}, {14, 17}}), flame);
      t.fill(tools::polygon({{14, 19}, {26, 11}, {17, 22}}), flame);
      t.fill(tools::circle(12.5F, 18, 5.8F), withAlpha(hex(0x3A0A04), 0.7F));
      t.fill(tools::circle(12.5F, 18, 5.2F),
             tools::radial(t.ox + 10.5F, t.oy + 16, 7, {{0, hex(0xFFFBD8)}, {0.35F, hex(0xFFC83A)}, {0.8F, hex(0xFF6A12)}, {1, hex(0xC8260A)}}));
      break;
    }
    case 7: {  // Bomb: crossed bones under a red cross
      const Colour bone = hex(0xF2EAD8);
      const Sdf bones = tools::unite(tools::segment({8, 8}, {22, 22}, 1.5F), tools::segment({22, 8}, {8, 22}, 1.5F));
      Sdf knobs = tools::circle(0, 0, 0);
      for (const Point p : {Point{8, 8}, Point{22, 22}, Point{22, 8}, Point{8, 22}}) {
        const float sx = p.x < 15 ? -1.0F : 1.0F;
        const float sy = p.y < 15 ? -1.0F : 1.0F;
        knobs = tools::unite(knobs, tools::circle(p.x + sx * 1.6F, p.y - sy * 0.2F, 1.9F));
        knobs = tools::unite(knobs, tools::circle(p.x - sx * 0.2F, p.y + sy * 1.6F, 1.9F));
      }
      t.stroke(tools::unite(bones, knobs), bone);
      const Sdf cross = tools::unite(tools::box(12.5F, 7.5F, 5, 15), tools::box(7.5F, 12.5F, 15, 5));
      t.fill(tools::grow(cross, 1), hex(0x2A0606));
      t.fill(cross, t.vertical(7.5F, 22.5F, hex(0xFF7A6A), hex(0xC81818)));
      break;
    }
    case 8: {  // NextLevel
      const Sdf halo = tools::outline(tools::ellipse(15, 9, 8.5F, 3.2F), 1);
      t.stroke(halo, hex(0x6AC0FF));
      t.ball(15, 19.5F, 5.2F);
      t.fill(tools::intersect(halo, tools::box(0, 9, 30, 6)), hex(0x6AC0FF));
      break;
    }
    case 9:  // Shorter
      t.stroke(tools::box(5, 8, 2, 14), hex(0xE8ECF8));
      t.stroke(tools::box(23, 8, 2, 14), hex(0xE8ECF8));
      t.stroke(tools::unite(tools::unite(tools::segment({8.5F, 15}, {10.5F, 15}, 1.3F), arrowHead({14.4F, 15}, 1, 4.8F, 4.6F)),
                            tools::unite(tools::segment({19.5F, 15}, {21.5F, 15}, 1.3F), arrowHead({15.6F, 15}, -1, 4.8F, 4.6F))),
               hex(0xFFB8A8));
      break;
    case 10:  // SlowBalls
      for (const float y : {10.5F, 15.0F, 19.5F}) {
        Sdf wave = tools::circle(-10, -10, 0);
        for (int k = 0; k < 8; ++k) {
          const float xa = 4.5F + static_cast<float>(k);
          const float xb = xa + 1;
          wave = tools::unite(wave, tools::segment({xa, y + 1.3F * std::sin(xa * 1.2F)}, {xb, y + 1.3F * std::sin(xb * 1.2F)}, 0.75F));
        }
        t.stroke(wave, hex(0x5AAEFF));
      }
      t.ball(19.5F, 15, 5.2F);
      break;
    case 11:  // DoubleBalls
      t.ball(10, 12.5F, 5);
      t.ball(19.5F, 18, 5);
      break;
    case 12: {  // StickyPads
      miniPaddle(t, 5, 18, 20);
      const Paint gold = t.vertical(9, 19, hex(0xFFF6A8), hex(0xE08A10));
      for (const float cx : {7.5F, 22.5F}) {
        Sdf claw = tools::segment({cx - 2, 18}, {cx - 2.8F, 11}, 1);
        claw = tools::unite(claw, tools::segment({cx + 2, 18}, {cx + 2.8F, 11}, 1));
        claw = tools::unite(claw, tools::segment({cx - 2.8F, 11}, {cx - 0.8F, 12.2F}, 0.8F));
        claw = tools::unite(claw, tools::segment({cx + 2.8F, 11}, {cx + 0.8F, 12.2F}, 0.8F));
        t.fill(tools::grow(claw, 0.7F), withAlpha(hex(0x201000), 0.8F));
        t.fill(claw, gold);
      }
      break;
    }
    case 13: {  // PierceBalls
      const Sdf spike = tools::polygon({{8.5F, 15.5F}, {25, 5}, {14.5F, 21.5F}});
      t.fill(tools::grow(spike, 0.7F), withAlpha(hex(0x180A30), 0.8F));
      t.fill(spike, t.linear(10, 20, 25, 5, {{0, hex(0xB070FF)}, {1, hex(0xFFFFFF)}}));
      t.fill(tools::circle(11.5F, 18.5F, 6), withAlpha(hex(0x180A30), 0.8F));
      t.fill(tools::circle(11.5F, 18.5F, 5.3F),
             tools::radial(t.ox + 9.5F, t.oy + 16.5F, 7.5F, {{0, hex(0xFFFFFF)}, {0.6F, hex(0xE8E0FF)}, {1, hex(0x9C86D0)}}));
      break;
    }
    case 14:  // WeakBricks
      miniBrick(t, 4, 7.5F, palette::kBrick[0]);
      miniBrick(t, 16, 7.5F, palette::kBrick[2]);
      miniBrick(t, 10, 16.5F, palette::kBrick[6]);
      break;
    default:
      break;
  }
}

}  // namespace

void drawGreyBall(Image& image, float cx, float cy, float r) {
  tools::fillShape(image, tools::circle(cx, cy, r + 0.7F), tools::solid(withAlpha(hex(0x0A0E20), 0.8F)), 1, kSamples);
  tools::fillShape(image, tools::circle(cx, cy, r),
                   tools::radial(cx - r * 0.38F, cy - r * 0.42F, r * 1.45F,
                                 {{0, hex(0xFFFFFF)}, {0.25F, hex(0xE2E6F0)}, {0.7F, hex(0x9098AE)}, {1, hex(0x4E5670)}}),
                   1, kSamples);
}

void drawItemIcon(Image& image, int kind, int x, int y) {
  const Tile tile{image, static_cast<float>(x), static_cast<float>(y)};
  drawFrame(tile, frameColour(kind));
  picture(tile, kind);
}

void makeItems(PictureSet& set) {
  Image sheet(210, 60);
  for (int kind = 1; kind <= 14; ++kind) drawItemIcon(sheet, kind, 30 * ((kind - 1) % 7), 30 * ((kind - 1) / 7));
  set.addResource("bitmap162.png", tools::flattenKeyed(sheet, tools::Key::Black, palette::kField), tools::Key::Black);
}

}  // namespace pictures
