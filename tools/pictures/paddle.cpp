// The paddle in its three lengths with its two attachments (board.png), and the shot the
// guns fire (resource 154).
#include <algorithm>

#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

constexpr float kHeight = 10;
constexpr float kCap = 9;  // length of the glowing end caps

}  // namespace

void drawPaddle(Image& image, float x, float y, float width) {
  const Sdf body = tools::roundRect(x, y, width, kHeight, kHeight / 2);
  tools::fillShape(image, body,
                   tools::linear(0, y, 0, y + kHeight,
                                 {{0, hex(0xF2F6FF)}, {0.18F, hex(0xC4CEEE)}, {0.5F, hex(0x7886BC)},
                                  {0.8F, hex(0x414C84)}, {1, hex(0x2C3466)}}),
                   1, 4);
  // Glowing end caps.
  const Paint capPaint = tools::linear(0, y, 0, y + kHeight,
                                       {{0, hex(0xD8FBFF)}, {0.3F, hex(0x52DCFF)}, {0.7F, hex(0x1690C8)},
                                        {1, hex(0x0C4E86)}});
  tools::fillShape(image, tools::intersect(body, tools::box(x, y, kCap, kHeight)), capPaint, 1, 4);
  tools::fillShape(image, tools::intersect(body, tools::box(x + width - kCap, y, kCap, kHeight)), capPaint, 1, 4);
  // Grooves between caps and body, and a warm light in the middle.
  tools::fillShape(image, tools::intersect(body, tools::box(x + kCap, y + 1, 1, kHeight - 2)),
                   tools::solid(withAlpha(hex(0x1A1E40), 0.85F)));
  tools::fillShape(image, tools::intersect(body, tools::box(x + width - kCap - 1, y + 1, 1, kHeight - 2)),
                   tools::solid(withAlpha(hex(0x1A1E40), 0.85F)));
  const float mid = x + width / 2;
  tools::fillShape(image, tools::roundRect(mid - 5, y + 3.5F, 10, 3, 1.5F),
                   tools::vertical(y + 3.5F, y + 6.5F, hex(0xFFF0A0), hex(0xFF8A1C)), 1, 4);
  tools::bevel(image, body, 1.2F, 0.25F, 0.3F, true);
}

void drawGun(Image& image, float x, float y) {
  const Sdf base = tools::polygon({{x + 0.5F, y + 8}, {x + 1.5F, y + 4.5F}, {x + 6.5F, y + 4.5F}, {x + 7.5F, y + 8}});
  const Sdf barrel = tools::roundRect(x + 2.6F, y + 0.4F, 2.8F, 5.5F, 0.6F);
  const Sdf gun = tools::unite(base, barrel);
  tools::fillShape(image, tools::grow(gun, 0.6F), tools::solid(hex(0x2A1258)), 1, 4);
  tools::fillShape(image, gun,
                   tools::linear(x + 1, 0, x + 7, 0, {{0, hex(0xE6D2FF)}, {0.4F, hex(0xA66CFF)}, {1, hex(0x5A2EB8)}}), 1, 4);
  tools::fillShape(image, tools::box(x + 2.6F, y + 0.4F, 2.8F, 1.1F), tools::solid(hex(0xFFD8FF)), 1, 4);
}

void drawStickyPad(Image& image, float x, float y) {
  const Paint gold = tools::vertical(y, y + 8, hex(0xFFF4A0), hex(0xE08A10));
  Sdf claw = tools::roundRect(x + 0.5F, y + 5.2F, 7, 2.8F, 1.2F);
  claw = tools::unite(claw, tools::segment({x + 1.8F, y + 6}, {x + 1.2F, y + 1.6F}, 0.95F));
  claw = tools::unite(claw, tools::segment({x + 6.2F, y + 6}, {x + 6.8F, y + 1.6F}, 0.95F));
  claw = tools::unite(claw, tools::segment({x + 1.2F, y + 1.4F}, {x + 2.8F, y + 2.4F}, 0.7F));
  claw = tools::unite(claw, tools::segment({x + 6.8F, y + 1.4F}, {x + 5.2F, y + 2.4F}, 0.7F));
  tools::fillShape(image, claw, gold, 1, 4);
}

void makeBoard(PictureSet& set) {
  Image bodies(80, 30);
  drawPaddle(bodies, 0, 0, 80);
  drawPaddle(bodies, 0, 10, 60);
  drawPaddle(bodies, 0, 20, 40);
  tools::RgbPicture board = tools::flattenKeyed(bodies, tools::Key::Blue, palette::kField);
  Image parts(16, 8);
  drawGun(parts, 0, 0);
  drawStickyPad(parts, 8, 0);
  board.paste(tools::flattenKeyed(parts, tools::Key::Black, palette::kField), 64, 22);
  set.add("board.png", board, tools::Key::Blue);

  // The shot: a magenta bolt in a yellow rim, 5 x 10, on the blue key.
  static const char* kShot[10] = {".YYY.", "YMWMY", "YMWMY", "YMMMY", "YMMMY",
                                  "YMMMY", ".YMY.", ".YMY.", "..y..", "..y.."};
  Image shot(5, 10);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 5; ++x) {
      switch (kShot[y][x]) {
        case 'Y':
          shot.set(x, y, hex(0xFFE442));
          break;
        case 'y':
          shot.set(x, y, hex(0xC68C21));
          break;
        case 'M':
          shot.set(x, y, hex(0xEF3CC6));
          break;
        case 'W':
          shot.set(x, y, hex(0xFFCEF7));
          break;
        default:
          break;
      }
    }
  }
  set.addResource("bitmap154.png", tools::flattenKeyed(shot, tools::Key::Blue, palette::kField), tools::Key::Blue);
}

}  // namespace pictures
