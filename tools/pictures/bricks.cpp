// The brick sheets: six kinds in ten colours, 20 x 12 frames drawn pixel by pixel so that
// every bevel line lands on a whole pixel.
#include <algorithm>
#include <cmath>

#include "tools/common/noise.hpp"
#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

constexpr int kW = kBrickWidth;
constexpr int kH = kBrickHeight;

void put(Image& image, int x, int y, Colour c) {
  c.a = 1;
  image.set(x, y, c);
}

// A 20 x 12 cell of colours, drawn into the image at the end.
struct Cell {
  Colour px[kH][kW];
  void paste(Image& image, int x, int y) const {
    for (int j = 0; j < kH; ++j) {
      for (int i = 0; i < kW; ++i) put(image, x + i, y + j, px[j][i]);
    }
  }
};

// Two rings of bevel: outer strong, inner soft; light from the top-left.
void bevelRings(Cell& cell, Colour c, float strength) {
  for (int i = 0; i < kW; ++i) {
    cell.px[0][i] = lighten(c, 0.55F * strength);
    cell.px[1][i] = lighten(c, 0.2F * strength);
    cell.px[kH - 1][i] = darken(c, 0.6F * strength);
    cell.px[kH - 2][i] = darken(c, 0.28F * strength);
  }
  for (int j = 1; j < kH - 1; ++j) {
    cell.px[j][0] = lighten(c, 0.35F * strength);
    cell.px[j][kW - 1] = darken(c, 0.45F * strength);
    if (j >= 2 && j <= kH - 3) {
      cell.px[j][1] = lighten(c, 0.12F * strength);
      cell.px[j][kW - 2] = darken(c, 0.2F * strength);
    }
  }
  cell.px[0][kW - 1] = mix(cell.px[0][kW - 2], cell.px[1][kW - 1], 0.5F);
  cell.px[kH - 1][0] = mix(cell.px[kH - 1][1], cell.px[kH - 2][0], 0.5F);
  cell.px[1][kW - 2] = mix(cell.px[1][kW - 3], cell.px[2][kW - 2], 0.5F);
  cell.px[kH - 2][1] = mix(cell.px[kH - 2][2], cell.px[kH - 3][1], 0.5F);
}

Cell stone(Colour c, int variant) {
  Cell cell;
  for (int j = 2; j < kH - 2; ++j) {
    const float t = static_cast<float>(j - 2) / static_cast<float>(kH - 5);
    for (int i = 2; i < kW - 2; ++i) {
      Colour face = mix(lighten(c, 0.16F), darken(c, 0.16F), t);
      const float grain =
          tools::hashUnit(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j), 40u + variant) - 0.5F;
      face = grain > 0 ? lighten(face, grain * 0.08F) : darken(face, -grain * 0.08F);
      // Glassy gloss on the upper half, fading to the right.
      if (j <= 4) face = lighten(face, (0.16F - 0.04F * static_cast<float>(j - 2)) * (1 - static_cast<float>(i) / 26));
      cell.px[j][i] = face;
    }
  }
  bevelRings(cell, c, 1);
  cell.px[2][3] = lighten(c, 0.75F);
  cell.px[2][4] = lighten(c, 0.55F);
  cell.px[3][3] = lighten(c, 0.45F);
  return cell;
}

Cell metal(Colour c, int variant, bool damaged) {
  const Colour base = darken(mix(c, hex(0xA8B0C4), 0.3F), 0.08F);
  // A chrome band: the sky reflected above, the ground below.
  static const float kRows[kH] = {0, 0, 0.55F, 0.34F, 0.12F, -0.22F, -0.38F, -0.2F, -0.02F, 0.16F, 0, 0};
  Cell cell;
  for (int j = 2; j < kH - 2; ++j) {
    for (int i = 2; i < kW - 2; ++i) {
      Colour face = kRows[j] >= 0 ? lighten(base, kRows[j]) : darken(base, -kRows[j]);
      const float brush = tools::valueNoise(static_cast<float>(i) * 0.9F, static_cast<float>(j) * 7.0F,
                                            70u + static_cast<std::uint32_t>(variant)) -
                          0.5F;
      face = brush > 0 ? lighten(face, brush * 0.1F) : darken(face, -brush * 0.1F);
      cell.px[j][i] = face;
    }
  }
  bevelRings(cell, base, 1.1F);
  const int rivets[4][2] = {{3, 3}, {16, 3}, {3, 8}, {16, 8}};
  for (int r = 0; r < 4; ++r) {
    if (damaged && r == 1) continue;  // sprung off
    const int x = rivets[r][0];
    const int y = rivets[r][1];
    cell.px[y][x] = lighten(base, 0.7F);
    cell.px[y + 1][x + 1] = darken(base, 0.45F);
    cell.px[y][x + 1] = mix(cell.px[y][x + 1], darken(base, 0.2F), 0.6F);
    cell.px[y + 1][x] = mix(cell.px[y + 1][x], darken(base, 0.2F), 0.6F);
  }
  if (damaged) {
    // A dent: its upper-left wall in shadow, its lower-right wall catching the light.
    for (int j = 2; j < kH - 2; ++j) {
      for (int i = 2; i < kW - 2; ++i) {
        const float dx = static_cast<float>(i) - 11.5F;
        const float dy = (static_cast<float>(j) - 6.0F) * 1.3F;
        const float d = std::sqrt(dx * dx + dy * dy);
        if (d < 3.6F) {
          const float side = (dx + dy) / (d + 0.01F);
          cell.px[j][i] = side < 0 ? darken(cell.px[j][i], 0.45F * (1 - d / 4)) : lighten(cell.px[j][i], 0.25F);
          if (d < 1.2F) cell.px[j][i] = darken(base, 0.35F);
        }
      }
    }
    // A scratch and a crack from the dent.
    const int scratch[][2] = {{4, 8}, {5, 8}, {6, 7}, {7, 7}, {8, 6}};
    for (const auto& p : scratch) cell.px[p[1]][p[0]] = lighten(base, 0.55F);
    const int crack[][2] = {{13, 5}, {14, 4}, {15, 4}, {16, 3}, {17, 2}, {14, 7}, {15, 8}, {15, 9}};
    for (const auto& p : crack) cell.px[p[1]][p[0]] = darken(base, 0.6F);
    cell.px[kH - 1][kW - 1] = darken(base, 0.75F);
  }
  return cell;
}

Cell hide(Colour c, int variant) {
  Cell cell = stone(mix(darken(c, 0.18F), hex(0x8088A0), 0.25F), variant);
  const Colour deep = darken(c, 0.72F);
  const Colour lip = lighten(c, 0.35F);
  // Two cracks running across the face, with a lit lip under each.
  // One crack across the face with a short branch, a lit lip under it.
  const int cracks[][2] = {{3, 2},  {4, 3},  {5, 3},  {6, 4},  {7, 5},  {8, 5},  {9, 6},  {10, 7}, {11, 7},
                           {12, 8}, {13, 8}, {14, 9}, {9, 5},  {10, 4}, {11, 3}, {12, 3}, {13, 2}, {15, 9}};
  for (const auto& p : cracks) {
    cell.px[p[1]][p[0]] = deep;
    const int ly = p[1] + 1;
    if (ly < kH - 1) cell.px[ly][p[0]] = mix(cell.px[ly][p[0]], lip, 0.45F);
  }
  return cell;
}

Cell stable(Colour c) {
  const Colour steel = mix(hex(0x8790A8), c, 0.22F);
  Cell cell;
  for (int j = 0; j < kH; ++j) {
    for (int i = 0; i < kW; ++i) cell.px[j][i] = steel;
  }
  bevelRings(cell, steel, 1.2F);
  // The sunken panel in the brick's colour, hatched like armour plate.
  const Colour panel = darken(c, 0.12F);
  for (int j = 3; j <= 8; ++j) {
    for (int i = 3; i <= 16; ++i) {
      Colour p = panel;
      if (((i + j) % 4) == 0) p = darken(p, 0.22F);
      if (((i + j) % 4) == 1) p = lighten(p, 0.1F);
      if (j == 3 || i == 3) p = darken(panel, 0.45F);
      if (j == 8 || i == 16) p = lighten(panel, 0.3F);
      cell.px[j][i] = p;
    }
  }
  cell.px[3][16] = panel;
  cell.px[8][3] = panel;
  const int rivets[4][2] = {{1, 1}, {18, 1}, {1, 10}, {18, 10}};
  for (const auto& r : rivets) cell.px[r[1]][r[0]] = lighten(steel, 0.8F);
  return cell;
}

Cell fire(Colour c, int variant, int frame) {
  Cell cell;
  const Colour deep = darken(c, 0.7F);
  const Colour hot = mix(lighten(c, 0.5F), hex(0xFFE27A), 0.5F);
  for (int j = 2; j < kH - 2; ++j) {
    for (int i = 2; i < kW - 2; ++i) {
      const float rise = static_cast<float>(j - 2) / static_cast<float>(kH - 5);  // 0 top, 1 bottom
      // Tongues of flame licking upward; each frame they shift a little and rise.
      const float n = tools::fractalNoise(static_cast<float>(i) * 0.32F + static_cast<float>(variant) * 3.1F,
                                          static_cast<float>(j) * 0.3F + static_cast<float>(frame) * 0.45F, 500u, 2);
      const float centre = 1 - std::fabs(static_cast<float>(i) - 9.5F) / 9.0F;
      const float heat = -0.15F + rise * 0.65F + centre * 0.35F + (n - 0.5F) * 0.9F;
      Colour f = deep;
      if (heat > 0.2F) f = mix(deep, c, std::min(1.0F, (heat - 0.2F) / 0.25F));
      if (heat > 0.45F) f = mix(c, hot, std::min(1.0F, (heat - 0.45F) / 0.3F));
      if (heat > 0.75F) f = mix(hot, hex(0xFFFBE8), std::min(1.0F, (heat - 0.75F) / 0.25F));
      cell.px[j][i] = f;
    }
  }
  bevelRings(cell, mix(c, deep, 0.2F), 1);
  // A spark above the flames.
  const auto h = tools::hash(static_cast<std::uint32_t>(variant), static_cast<std::uint32_t>(frame), 7);
  cell.px[2 + (h >> 8) % 2][4 + h % 12] = mix(hot, hex(0xFFFFFF), 0.4F);
  return cell;
}

void gem(Image& image, Colour c, int frame, int x0, int y0) {
  const float w = kW;
  const float h = kH;
  const float cut = 3.5F;
  const tools::Sdf outline = tools::polygon(
      {{cut, 0}, {w - cut, 0}, {w, cut}, {w, h - cut}, {w - cut, h}, {cut, h}, {0, h - cut}, {0, cut}});
  const tools::Sdf shape = frame == 2 ? tools::subtract(outline, tools::polygon({{12, -1}, {21, -1}, {21, 6}}))
                                      : outline;
  const Colour dim = frame == 2 ? darken(c, 0.12F) : c;
  Image cell(kW, kH);
  const Mask cover = tools::coverage(kW, kH, shape, 4);
  for (int j = 0; j < kH; ++j) {
    for (int i = 0; i < kW; ++i) {
      const float px = static_cast<float>(i) + 0.5F;
      const float py = static_cast<float>(j) + 0.5F;
      // Facets: the flat table in the middle, four slopes around it.
      Colour f;
      const float tx = px < 6 ? (6 - px) / 6 : (px > 14 ? (px - 14) / 6 : 0);
      const float ty = py < 3.5F ? (3.5F - py) / 3.5F : (py > 8.5F ? (py - 8.5F) / 3.5F : 0);
      if (tx == 0 && ty == 0) {
        f = mix(lighten(dim, 0.35F), dim, (py - 3.5F) / 5.0F);
      } else if (ty >= tx) {
        f = py < 6 ? lighten(dim, 0.55F) : darken(dim, 0.45F);
      } else {
        f = px < 10 ? lighten(dim, 0.15F) : darken(dim, 0.25F);
      }
      f.a = cover.at(i, j);
      cell.set(i, j, f);
    }
  }
  // Facet edges and the sparkle.
  const Colour edge = lighten(dim, 0.7F);
  for (int i = 6; i <= 13; ++i) cell.set(i, 3, withAlpha(mix(cell.at(i, 3), edge, 0.5F), 1));
  if (frame == 0) {
    cell.set(7, 4, withAlpha(hex(0xFFFFFF), 1));
    cell.set(8, 4, withAlpha(lighten(dim, 0.8F), 1));
    cell.set(7, 5, withAlpha(lighten(dim, 0.7F), 1));
    cell.set(6, 4, withAlpha(lighten(dim, 0.6F), 1));
  }
  if (frame >= 1) {
    const Colour crack = darken(dim, 0.7F);
    const int lines[][2] = {{9, 1}, {9, 2}, {10, 3}, {10, 4}, {11, 5}, {11, 6}, {12, 7}, {8, 6}, {7, 7}, {7, 8}};
    for (const auto& p : lines) cell.set(p[0], p[1], withAlpha(crack, 1));
  }
  if (frame == 2) {
    const Colour crack = darken(dim, 0.7F);
    const int lines[][2] = {{4, 4}, {5, 5}, {5, 6}, {4, 7}, {3, 8}, {15, 8}, {14, 9}, {14, 10}, {16, 7}};
    for (const auto& p : lines) cell.set(p[0], p[1], withAlpha(crack, 1));
  }
  image.draw(cell, x0, y0);
}

}  // namespace

void drawBrick(Image& image, int kind, int variant, int frame, int x, int y) {
  const Colour c = palette::kBrick[static_cast<std::size_t>(std::clamp(variant, 0, 9))];
  switch (kind) {
    case kStone:
      stone(c, variant).paste(image, x, y);
      break;
    case kMetal:
      metal(c, variant, frame == 1).paste(image, x, y);
      break;
    case kGem:
      gem(image, c, frame, x, y);
      break;
    case kHide:
      hide(c, variant).paste(image, x, y);
      break;
    case kStable:
      stable(c).paste(image, x, y);
      break;
    case kFire:
      fire(c, variant, frame).paste(image, x, y);
      break;
    default:
      break;
  }
}

void makeBricks(PictureSet& set) {
  struct Sheet {
    const char* name;
    int kind;
    int frames;
  };
  static const Sheet kSheets[] = {{"Brick_Stone.png", kStone, 1}, {"Brick_Hide.png", kHide, 1},
                                  {"Brick_Stable.png", kStable, 1}, {"Brick_Metal.png", kMetal, 2},
                                  {"Brick_Gem.png", kGem, 3},     {"Brick_Fire.png", kFire, 3}};
  for (const Sheet& sheet : kSheets) {
    Image image(kBrickWidth * sheet.frames, kBrickHeight * 10);
    for (int variant = 0; variant < 10; ++variant) {
      for (int frame = 0; frame < sheet.frames; ++frame) {
        drawBrick(image, sheet.kind, variant, frame, frame * kBrickWidth, variant * kBrickHeight);
      }
    }
    if (sheet.kind == kGem) {
      set.add(sheet.name, tools::flattenKeyed(image, tools::Key::Black, palette::kField), tools::Key::Black);
    } else {
      set.add(sheet.name, tools::flatten(image, palette::kField));
    }
  }
}

}  // namespace pictures
