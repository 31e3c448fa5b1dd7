// The application icon, drawn anew at each size: bricks, a glowing ball and the paddle on a
// night tile. The 16-pixel icon is placed pixel by pixel so that it stays crisp.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

// A brick with whole-pixel edges: a light top and left rim, a dark bottom and right rim,
// `rim` pixels thick.
void iconBrick(Image& image, int x, int y, int w, int h, Colour c, int rim = 1) {
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      Colour p = tools::mix(lighten(c, 0.2F), darken(c, 0.15F), h > 1 ? static_cast<float>(j) / static_cast<float>(h - 1) : 0);
      if (h > 2 * rim + 1) {
        if (i < rim) p = lighten(c, 0.3F);
        if (i >= w - rim) p = darken(c, 0.35F);
        if (j < rim) p = lighten(c, 0.5F);
        if (j >= h - rim) p = darken(c, 0.5F);
      } else if (j == 0) {
        p = lighten(c, 0.5F);
      }
      p.a = 1;
      image.set(x + i, y + j, p);
    }
  }
}

Image scalable(int size) {
  const float u = static_cast<float>(size) / 32.0F;
  Image image(size, size);
  const Sdf tile = tools::roundRect(0.5F * u, 0.5F * u, 31 * u, 31 * u, 7 * u);
  fill(image, tile, tools::radial(16 * u, 4 * u, 30 * u, {{0, hex(0x2A3A8A)}, {0.6F, hex(0x121A48)}, {1, hex(0x080B22)}}));
  // Two rows of bricks, snapped to whole pixels with at least a pixel between them.
  const Colour colours[6] = {palette::kBrick[0], palette::kBrick[1], palette::kBrick[2],
                             palette::kBrick[4], palette::kBrick[5], palette::kBrick[7]};
  const int gap = std::max(1, static_cast<int>(std::lround(0.8F * u)));
  const int left = static_cast<int>(std::lround(4 * u));
  const int brickW = (static_cast<int>(std::lround(28 * u)) - left - 2 * gap) / 3;
  const int brickH = static_cast<int>(std::lround(4.2F * u));
  const int rim = std::max(1, static_cast<int>(std::lround(0.7F * u)));
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 3; ++col) {
      const int x0 = left + col * (brickW + gap);
      const int y0 = static_cast<int>(std::lround(5 * u)) + row * (brickH + gap);
      iconBrick(image, x0, y0, brickW, brickH, colours[row * 3 + col], rim);
    }
  }
  // The ball with its glow and a trail back to the paddle.
  const float bx = 19 * u;
  const float by = 19.5F * u;
  for (int k = 0; k < 12; ++k) {
    const float t = static_cast<float>(k) / 12.0F;
    fill(image, tools::circle(bx - (5 * u) * (1 - t), by + (5 * u) * (1 - t), (0.4F + 1.6F * t) * u),
         tools::solid(withAlpha(hex(0x58B8FF), 0.12F * t)));
  }
  image.glowMask(tools::coverage(size, size, tools::circle(bx, by, 3.4F * u)).blurred(1.2F * u),
                 withAlpha(hex(0x58C8FF), 0.8F));
  fill(image, tools::circle(bx, by, 2.7F * u),
       tools::radial(bx - 1 * u, by - 1.1F * u, 3.6F * u, {{0, hex(0xFFFFFF)}, {0.5F, hex(0xBCD8FF)}, {1, hex(0x4A6ACC)}}));
  // The paddle.
  const float px = 8 * u;
  const float py = 25 * u;
  const float pw = 16 * u;
  const float ph = 3.4F * u;
  const Sdf paddle = tools::roundRect(px, py, pw, ph, ph / 2);
  fill(image, paddle, tools::vertical(py, py + ph, hex(0xF2F6FF), hex(0x4A5690)));
  fill(image, tools::intersect(paddle, tools::box(px, py, 3.2F * u, ph)), tools::vertical(py, py + ph, hex(0xD8FBFF), hex(0x1690C8)));
  fill(image, tools::intersect(paddle, tools::box(px + pw - 3.2F * u, py, 3.2F * u, ph)),
       tools::vertical(py, py + ph, hex(0xD8FBFF), hex(0x1690C8)));
  // A light rim around the tile.
  fill(image, tools::outline(tools::grow(tile, -0.5F * u), 0.5F * u), tools::solid(withAlpha(hex(0x8A9CE8), 0.5F)));
  return image;
}

Image tiny() {
  Image image(16, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool corner = (x == 0 || x == 15) && (y == 0 || y == 15);
      if (corner) continue;
      image.set(x, y, tools::mix(hex(0x1E2A6A), hex(0x080B22), static_cast<float>(y) / 15.0F));
    }
  }
  const Colour colours[6] = {palette::kBrick[0], palette::kBrick[1], palette::kBrick[2],
                             palette::kBrick[4], palette::kBrick[5], palette::kBrick[7]};
  for (int col = 0; col < 3; ++col) {
    iconBrick(image, 2 + col * 4, 2, 4, 2, colours[col]);
    iconBrick(image, 2 + col * 4, 4, 4, 2, colours[3 + col]);
  }
  // Separate the bricks with a dark column.
  for (const int x : {5, 9, 13}) {
    for (int y = 2; y < 6; ++y) image.set(x, y, darken(image.at(x, y), 0.45F));
  }
  // Ball: a 2 x 2 core with a soft rim.
  image.set(9, 8, hex(0xFFFFFF));
  image.set(10, 8, hex(0xD8E8FF));
  image.set(9, 9, hex(0xC8DCFF));
  image.set(10, 9, hex(0x8CB0F0));
  for (const auto& [x, y] : {std::pair{8, 8}, std::pair{8, 9}, std::pair{11, 8}, std::pair{11, 9}, std::pair{9, 7},
                             std::pair{10, 7}, std::pair{9, 10}, std::pair{10, 10}}) {
    image.set(x, y, tools::mix(image.at(x, y), hex(0x58B8FF), 0.5F));
  }
  // Paddle.
  for (int x = 4; x < 12; ++x) {
    const bool cap = x == 4 || x == 11;
    image.set(x, 12, cap ? hex(0x9CF0FF) : hex(0xF0F4FF));
    image.set(x, 13, cap ? hex(0x1A8AC8) : hex(0x6A78B0));
  }
  return image;
}

}  // namespace

void makeAppIcon(PictureSet& set) {
  set.addIcon("icon131-16.png", tiny());
  for (const int size : {32, 48, 64, 128, 256}) set.addIcon("icon131-" + std::to_string(size) + ".png", scalable(size));
}

}  // namespace pictures
