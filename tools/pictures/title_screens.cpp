// The full-screen pictures around a game: the cover, the about picture, the level picture,
// game over, game won and pause. The level and game-over pictures leave a flat band at
// y 208 for the big digits drawn at run time.
#include <cmath>
#include <string>
#include <vector>

#include "tools/common/noise.hpp"
#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

constexpr int kBigDigitsY = 208;

void blit(Image& image, const PictureSet& set, const char* name, int sx, int sy, int w, int h, int dx, int dy) {
  const PictureEntry& entry = set.find(name);
  drawKeyed(image, entry.rgb, sx, sy, w, h, dx, dy, entry.key);
}

void brick(Image& image, const PictureSet& set, int kind, int variant, int frame, int x, int y) {
  static const char* kSheets[] = {"", "Brick_Stone.png", "Brick_Metal.png", "Brick_Gem.png",
                                  "Brick_Hide.png", "Brick_Stable.png", "Brick_Fire.png"};
  blit(image, set, kSheets[kind], 20 * frame, 12 * variant, 20, 12, x, y);
}

// A prompt in warm white with a soft glow.
void prompt(Image& image, std::string_view text, int baseline) {
  LabelStyle style = boldStyle(11, hex(0xFFF2C8));
  style.bottom = hex(0xFFC85A);
  style.glow = 3;
  style.glowColour = withAlpha(hex(0xFF9A1F), 0.35F);
  style.shadowDy = 1;
  drawLabel(image, text, 120, baseline, Align::Centre, style);
}

// Spaced capitals, small, for labels above numbers.
void caption(Image& image, std::string_view text, int baseline, Colour colour) {
  LabelStyle style = boldStyle(10, colour);
  style.text.tracking = 2.5F;
  style.shadowDy = 1;
  drawLabel(image, text, 121, baseline, Align::Centre, style);
}

// The glass strip the big digits are drawn on, centred, w wide: flat inside, so that the
// digits' soft edges match it.
void numberBand(Image& image, float w, Colour rim) {
  const float x = 120 - w / 2;
  const Sdf band = tools::roundRect(x, kBigDigitsY - 7, w, 30, 8);
  image.glowMask(tools::coverage(kScreenWidth, kScreenHeight, tools::grow(band, 2)).blurred(3), withAlpha(rim, 0.35F));
  tools::fillShape(image, tools::grow(band, 1), tools::solid(lighten(rim, 0.2F)), 1, 4);
  tools::fillShape(image, band, tools::solid(palette::kBand), 1, 4);
  tools::fillShape(image, tools::intersect(band, tools::box(x, kBigDigitsY - 7, w, 2)),
                   tools::solid(withAlpha(hex(0x000000), 0.5F)), 1, 4);
}

// A little spray of confetti squares, in the colours the game's particles use.
void confetti(Image& image, float cx, float cy, float spread, int count, std::uint32_t seed) {
  for (int k = 0; k < count; ++k) {
    const float a = tools::hashUnit(seed, static_cast<std::uint32_t>(k), 1) * 6.2831853F;
    const float r = spread * std::sqrt(tools::hashUnit(seed, static_cast<std::uint32_t>(k), 2));
    const int x = static_cast<int>(cx + r * std::cos(a));
    const int y = static_cast<int>(cy + r * std::sin(a));
    const float heat = tools::hashUnit(seed, static_cast<std::uint32_t>(k), 3);
    const Colour c = mix(hex(0xFF2000), hex(0xFFF060), heat);
    const float alpha = 0.95F - 0.6F * r / spread;
    image.blend(x, y, withAlpha(c, alpha));
    image.blend(x + 1, y, withAlpha(c, alpha));
    image.blend(x, y + 1, withAlpha(c, alpha));
    image.blend(x + 1, y + 1, withAlpha(c, alpha));
  }
}

// Paper confetti in the bricks' colours, over an area.
void paperConfetti(Image& image, float x0, float y0, float w, float h, int count, std::uint32_t seed) {
  for (int k = 0; k < count; ++k) {
    const auto key = static_cast<std::uint32_t>(k);
    const int x = static_cast<int>(x0 + w * tools::hashUnit(seed, key, 1));
    const int y = static_cast<int>(y0 + h * tools::hashUnit(seed, key, 2));
    const Colour c = lighten(palette::kBrick[tools::hash(seed, key, 3) % 9], 0.15F);
    const bool wide = tools::hash(seed, key, 4) % 2 == 0;
    const int pw = wide ? 3 : 2;
    const int ph = wide ? 2 : 3;
    for (int j = 0; j < ph; ++j) {
      for (int i = 0; i < pw; ++i) image.blend(x + i, y + j, withAlpha(j == 0 ? lighten(c, 0.3F) : c, 0.9F));
    }
  }
}

// Fire crosses thrown up from a line, like the particles of the paddle bursting.
void sparks(Image& image, float cx, float cy, float spread, int count, std::uint32_t seed) {
  for (int k = 0; k < count; ++k) {
    const float u = tools::hashUnit(seed, static_cast<std::uint32_t>(k), 1) * 2 - 1;
    const float v = tools::hashUnit(seed, static_cast<std::uint32_t>(k), 2);
    const int x = static_cast<int>(cx + u * spread);
    const int y = static_cast<int>(cy - v * v * 28);
    const float life = tools::hashUnit(seed, static_cast<std::uint32_t>(k), 3);
    const Colour c = withAlpha(mix(hex(0xFF0000), hex(0xFFF000), 1 - life), 0.35F + 0.6F * life);
    image.blend(x, y, c);
    image.blend(x - 1, y, c);
    image.blend(x + 1, y, c);
    image.blend(x, y - 1, c);
    image.blend(x, y + 1, c);
  }
}

// A line of fading light behind a moving ball.
void trail(Image& image, float x0, float y0, float x1, float y1, Colour colour) {
  const int steps = 60;
  for (int i = 0; i < steps; ++i) {
    const float t = static_cast<float>(i) / static_cast<float>(steps);
    const float x = x0 + (x1 - x0) * t;
    const float y = y0 + (y1 - y0) * t;
    const float alpha = 0.7F * t * t;
    tools::fillShape(image, tools::circle(x, y, 0.6F + 2.2F * t), tools::solid(withAlpha(colour, alpha * 0.35F)));
  }
}

Image cover(const PictureSet& set) {
  Image image = backdrop(kScreenWidth, kScreenHeight, 0, 11);
  // A glow behind the title.
  image.glowMask(tools::coverage(kScreenWidth, kScreenHeight, tools::ellipse(120, 58, 110, 34)).blurred(14), withAlpha(hex(0x8A3AD0), 0.4F));
  drawLogo(image, 120, 68, 35);
  LabelStyle tag = boldStyle(8.5F, palette::kCyan);
  tag.text.tracking = 2.2F;
  tag.glow = 2.5F;
  tag.glowColour = withAlpha(palette::kCyan, 0.3F);
  drawLabel(image, "BALL  \xC2\xB7  BRICKS  \xC2\xB7  LIGHT", 121, 88, Align::Centre, tag);

  // The wall: rows of every colour and kind, with a hole the ball has just made.
  const int kinds[7] = {kStable, kMetal, kStone, kGem, kStone, kFire, kStone};
  for (int row = 0; row < 7; ++row) {
    for (int col = 0; col < 12; ++col) {
      const int x = col * 20;
      const int y = 108 + row * 12;
      const bool hole = (row >= 4 && col >= 7 && col <= 8) || (row == 6 && col == 6) || (row == 5 && col == 9) ||
                        (row == 3 && col == 8);
      if (hole) continue;
      const int kind = kinds[row];
      const int variant = kind == kStable ? 9 : (col + row * 3) % 9;
      const int frame = kind == kMetal ? (col % 5 == 3 ? 1 : 0) : (kind == kGem ? (col % 4 == 1 ? 1 : 0) : col % 3);
      brick(image, set, kind, variant, kind == kStone || kind == kStable ? 0 : frame, x, y);
    }
  }
  blit(image, set, "blast.png", 48 * 5, 0, 48, 48, 148, 154);
  confetti(image, 172, 178, 22, 70, 5);
  // The ball on its way back down, the paddle below, an item falling.
  trail(image, 118, 262, 162, 200, hex(0x58B8FF));
  trail(image, 162, 200, 134, 236, hex(0x58B8FF));
  blit(image, set, "ball.png", 0, 0, 12, 12, 128, 230);
  blit(image, set, "bitmap162.png", 90, 30, 30, 30, 34, 214);
  blit(image, set, "board.png", 0, 0, 80, 10, 100, 270);
  blit(image, set, "board.png", 64, 22, 8, 8, 98, 262);
  blit(image, set, "board.png", 64, 22, 8, 8, 174, 262);
  blit(image, set, "bitmap154.png", 0, 0, 5, 10, 100, 236);
  blit(image, set, "bitmap154.png", 0, 0, 5, 10, 175, 222);
  LabelStyle version = bodyStyle(8, palette::kTextMuted);
  drawLabel(image, "0.1.0", 232, 312, Align::Right, version);
  return image;
}

Image about(const PictureSet& set) {
  Image image = backdrop(kScreenWidth, kScreenHeight, 1, 23);
  for (int col = 0; col < 12; ++col) brick(image, set, kStone, col % 9, 0, col * 20, 0);
  drawLogo(image, 120, 56, 30);
  LabelStyle versionStyle = boldStyle(10, palette::kCyan);
  versionStyle.text.tracking = 1.5F;
  drawLabel(image, "VERSION 0.1.0", 121, 74, Align::Centre, versionStyle);
  drawRule(image, 30, 210, 86, palette::kMist);
  LabelStyle body = bodyStyle(10, palette::kTextDim);
  drawLabel(image, "A ball-and-bricks arcade game", 120, 104, Align::Centre, body);

  drawPanel(image, 20, 118, 200, 138, 8, palette::kSlate, 0.6F);
  LabelStyle head = boldStyle(9, palette::kGold);
  head.text.tracking = 1.5F;
  LabelStyle strong = boldStyle(11, palette::kText);
  drawLabel(image, "MADE BY", 121, 138, Align::Centre, head);
  drawLabel(image, "The Zebrolite project", 120, 155, Align::Centre, strong);
  drawLabel(image, "MADE WITH", 121, 180, Align::Centre, head);
  drawLabel(image, "SDL2  \xC2\xB7  SDL2_mixer  \xC2\xB7  SDL2_ttf", 120, 197, Align::Centre, body);
  drawLabel(image, "libpng  \xC2\xB7  zlib  \xC2\xB7  libcurl", 120, 212, Align::Centre, body);
  drawLabel(image, "FreeType  \xC2\xB7  DejaVu fonts", 120, 227, Align::Centre, body);
  LabelStyle small = bodyStyle(8.5F, palette::kTextMuted);
  drawLabel(image, "Every picture and sound is made from code.", 120, 245, Align::Centre, small);

  prompt(image, "Press Enter or tap to continue", 290);
  for (int col = 0; col < 12; ++col) brick(image, set, kStone, 8 - col % 9, 0, col * 20, 308);
  return image;
}

Image levelIntro(const PictureSet& set) {
  Image image = backdrop(kScreenWidth, kScreenHeight, 0, 31);
  // A slice of wall above the title, as the level will look.
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 12; ++col) {
      if ((row == 2 && (col < 2 || col > 9)) || (row == 1 && (col == 0 || col == 11))) continue;
      brick(image, set, row == 0 ? kStable : kStone, row == 0 ? 9 : (col + 2 * row) % 9, 0, col * 20, 24 + row * 12);
    }
  }
  drawTitle(image, "GET READY", 120, 126, 30, palette::kGold, palette::kAmber);
  drawRule(image, 40, 200, 144, palette::kMist);
  LabelStyle goal = bodyStyle(10, palette::kTextDim);
  drawLabel(image, "Break the bricks to clear the level.", 120, 164, Align::Centre, goal);
  caption(image, "LEVEL", 190, palette::kText);
  numberBand(image, 88, palette::kEmber);
  blit(image, set, "board.png", 0, 10, 60, 10, 90, 258);
  blit(image, set, "ball.png", 0, 0, 12, 12, 114, 246);
  prompt(image, "Press Enter or tap to start", 292);
  drawHint(image, "Arrows move  \xC2\xB7  Enter launches", 307);
  return image;
}

Image gameOver() {
  Image image = backdrop(kScreenWidth, kScreenHeight, 3, 41);
  // The broken paddle's pieces and a few loose bricks.
  drawTitle(image, "GAME OVER", 120, 118, 32, hex(0xFF9A6A), hex(0xE0201A));
  drawRule(image, 40, 200, 138, hex(0xC06070));
  LabelStyle sorry = bodyStyle(10, hex(0xE8C8D0));
  drawLabel(image, "No lives left.", 120, 158, Align::Centre, sorry);
  caption(image, "YOUR SCORE", 190, hex(0xFFE0E0));
  numberBand(image, 184, palette::kEmber);
  // The paddle's last moment: the rail, and the paddle bursting into sparks above it.
  for (int x = 20; x < 220; ++x) {
    const float fade = 1 - std::fabs(static_cast<float>(x) - 119.5F) / 100.0F;
    image.blend(x, 270, withAlpha(hex(0xFF8A6A), 0.5F * fade));
    image.blend(x, 271, withAlpha(hex(0xFF8A6A), 0.15F * fade));
  }
  sparks(image, 120, 262, 60, 34, 9);
  prompt(image, "Press Enter or tap", 300);
  return image;
}

void trophy(Image& image, float cx, float top) {
  const Paint gold = tools::linear(cx - 24, 0, cx + 24, 0,
                                   {{0, hex(0xB0600A)}, {0.25F, hex(0xFFE27A)}, {0.45F, hex(0xFFFBE0)},
                                    {0.65F, hex(0xFFC83A)}, {1, hex(0x9A4A08)}});
  const Sdf cup = tools::unite(
      tools::intersect(tools::circle(cx, top + 4, 24), tools::box(cx - 24, top + 4, 48, 24)),
      tools::box(cx - 24, top, 48, 5));
  const Sdf handles = tools::unite(tools::ring(cx - 24, top + 14, 8, 2), tools::ring(cx + 24, top + 14, 8, 2));
  const Sdf handlesOut = tools::subtract(handles, tools::box(cx - 24, top - 10, 48, 50));
  const Sdf stem = tools::unite(tools::box(cx - 4, top + 27, 8, 12),
                                tools::unite(tools::roundRect(cx - 14, top + 38, 28, 6, 2), tools::box(cx - 18, top + 44, 36, 8)));
  const Sdf whole = tools::unite(tools::unite(cup, handlesOut), stem);
  const Paint handleGold = tools::vertical(top + 4, top + 24, hex(0xFFE27A), hex(0xC07010));
  image.glowMask(tools::coverage(kScreenWidth, kScreenHeight, tools::grow(whole, 3)).blurred(6), withAlpha(hex(0xFFB02A), 0.45F));
  tools::fillShape(image, tools::grow(whole, 1.2F), tools::solid(hex(0x2A1400)), 1, 4);
  tools::fillShape(image, whole, gold, 1, 4);
  tools::fillShape(image, handlesOut, handleGold, 1, 4);
  tools::fillShape(image, tools::box(cx - 18, top + 44, 36, 8), tools::solid(hex(0x3A2A50)), 1, 4);
  tools::fillShape(image, tools::box(cx - 12, top + 46.5F, 24, 3), tools::solid(hex(0xFFD43B)), 1, 4);
  // A star on the cup.
  std::vector<tools::Point> points;
  for (int k = 0; k < 10; ++k) {
    const float a = -1.5707963F + static_cast<float>(k) * 0.62831853F;
    const float r = (k % 2 == 0) ? 8.0F : 3.6F;
    points.push_back({cx + r * std::cos(a), top + 15 + r * std::sin(a)});
  }
  tools::fillShape(image, tools::polygon(points), tools::solid(hex(0xFFFFFF)), 1, 4);
}

Image gameWon(const PictureSet& set) {
  Image image = backdrop(kScreenWidth, kScreenHeight, 2, 53);
  paperConfetti(image, 6, 6, 228, 56, 70, 3);
  paperConfetti(image, 6, 126, 60, 70, 14, 4);
  paperConfetti(image, 174, 126, 60, 70, 14, 5);
  drawTitle(image, "CONGRATULATIONS!", 120, 82, 19, palette::kGold, palette::kAmber);
  LabelStyle body = bodyStyle(11, hex(0xD8F4EC));
  drawLabel(image, "You have cleared the game!", 120, 104, Align::Centre, body);
  trophy(image, 120, 126);
  for (int col = 0; col < 12; ++col) brick(image, set, kGem, col % 9, 0, col * 20, 206);
  LabelStyle small = bodyStyle(10, hex(0xB8DCD4));
  drawLabel(image, "Every wall has fallen.", 120, 240, Align::Centre, small);
  drawLabel(image, "Try again for a higher score!", 120, 256, Align::Centre, small);
  prompt(image, "Press Enter or tap", 296);
  return image;
}

Image pause() {
  Image image = backdrop(kScreenWidth, kScreenHeight, 0, 61);
  // The pause sign.
  const Sdf disc = tools::circle(120, 96, 34);
  image.glowMask(tools::coverage(kScreenWidth, kScreenHeight, tools::grow(disc, 2)).blurred(8), withAlpha(palette::kCyan, 0.4F));
  tools::fillShape(image, disc, tools::vertical(62, 130, hex(0x2A3A80), hex(0x121A48)), 1, 4);
  tools::bevel(image, disc, 3, 0.35F, 0.4F, true);
  tools::fillShape(image, tools::outline(disc, 1), tools::solid(withAlpha(palette::kCyan, 0.9F)), 1, 4);
  const Paint bar = tools::vertical(80, 112, hex(0xFFFFFF), hex(0x9CDCFF));
  tools::fillShape(image, tools::roundRect(105, 80, 10, 32, 2), bar, 1, 4);
  tools::fillShape(image, tools::roundRect(125, 80, 10, 32, 2), bar, 1, 4);
  drawTitle(image, "PAUSED", 120, 170, 30, hex(0xA8F0FF), hex(0x2AA8E0));
  drawPanel(image, 16, 196, 208, 70, 8, palette::kSlate, 0.6F);
  LabelStyle key = boldStyle(10, palette::kGold);
  LabelStyle body = bodyStyle(10, palette::kTextDim);
  drawLabel(image, "P, Esc or F4", 100, 216, Align::Right, key);
  drawLabel(image, "play on", 108, 216, Align::Left, body);
  drawLabel(image, "M or F3", 100, 234, Align::Right, key);
  drawLabel(image, "sound on or off", 108, 234, Align::Left, body);
  drawLabel(image, "Ctrl+Q", 100, 252, Align::Right, key);
  drawLabel(image, "quit, game kept", 108, 252, Align::Left, body);
  drawHint(image, "The game waits for you.", 300);
  return image;
}

}  // namespace

void makeTitleScreens(PictureSet& set) {
  set.add("cover.png", tools::flatten(cover(set), palette::kNight));
  set.add("about.png", tools::flatten(about(set), palette::kNight));
  set.add("pass.png", tools::flatten(levelIntro(set), palette::kNight));
  set.add("fail.png", tools::flatten(gameOver(), palette::kNight));
  set.add("win.png", tools::flatten(gameWon(set), palette::kNight));
  set.add("pause.png", tools::flatten(pause(), palette::kNight));
}

}  // namespace pictures
