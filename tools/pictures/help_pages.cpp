// The four help pages: keys, mouse, bricks and items. Bricks and items are shown with the
// very pixels of their sprite sheets.
#include <cmath>
#include <string>
#include <vector>

#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

using tools::darken;
using tools::hex;
using tools::lighten;
using tools::withAlpha;

void fill(Image& image, const Sdf& shape, const Paint& paint) { tools::fillShape(image, shape, paint, 1, 4); }
void fill(Image& image, const Sdf& shape, Colour c) { fill(image, shape, tools::solid(c)); }

// A rectangle of a finished sheet, keyed, enlarged by a whole factor.
void sprite(Image& image, const PictureSet& set, const char* name, int sx, int sy, int w, int h, int dx, int dy,
            int factor) {
  const PictureEntry& entry = set.find(name);
  for (int y = 0; y < h * factor; ++y) {
    for (int x = 0; x < w * factor; ++x) {
      int r = 0;
      int g = 0;
      int b = 0;
      entry.rgb.pixel(sx + x / factor, sy + y / factor, r, g, b);
      if (!tools::readsAsKey(r, g, b, entry.key)) image.set(dx + x, dy + y, tools::rgb(r, g, b));
    }
  }
}

Image page(const char* title, int number, std::uint32_t seed) {
  Image image = backdrop(240, 320, 0, seed);
  drawTitle(image, title, 120, 30, 21, hex(0xA8F0FF), hex(0x2AA8E0));
  drawRule(image, 30, 210, 40, palette::kMist);
  // The page dots and what the next tap does.
  for (int k = 0; k < 4; ++k) {
    const float cx = 102 + 12.0F * static_cast<float>(k);
    const bool current = k == number;
    fill(image, tools::circle(cx, 303, current ? 3.2F : 2.4F), current ? palette::kGold : palette::kSlate);
  }
  drawHint(image, number == 3 ? "Enter or tap: back to the menu" : "Enter or tap: next page", 317);
  return image;
}

// Body text of the help pages.
LabelStyle text() { return bodyStyle(9, palette::kTextDim); }
LabelStyle name() {
  LabelStyle style = boldStyle(10, palette::kGold);
  style.shadowDy = 1;
  return style;
}

// A row of key caps and the words between them ("/" or "+"), left to right from x; returns
// the right end.
float keys(Image& image, float x, float y, const std::vector<std::string>& parts) {
  LabelStyle joiner = bodyStyle(9, palette::kTextMuted);
  LabelStyle capText = boldStyle(8.5F);
  for (const std::string& part : parts) {
    if (part == "/" || part == "+") {
      x += 2;
      x += static_cast<float>(drawLabel(image, part, x, static_cast<int>(y) + 11, Align::Left, joiner)) + 2;
      continue;
    }
    const float w = std::max(15.0F, static_cast<float>(measureLabel(part, capText)) + 8);
    drawKeyCap(image, x, y, w, 15, part, false, 8.5F);
    x += w + 1;
  }
  return x;
}

void gamepad(Image& image, float cx, float cy) {
  const Sdf body = tools::unite(tools::roundRect(cx - 15, cy - 6, 30, 13, 6),
                                tools::unite(tools::circle(cx - 10, cy + 4, 5.5F), tools::circle(cx + 10, cy + 4, 5.5F)));
  fill(image, tools::grow(body, 1), withAlpha(hex(0x000000), 0.6F));
  fill(image, body, tools::vertical(cy - 6, cy + 10, hex(0x5A6AB8), hex(0x262E68)));
  tools::bevel(image, body, 1.5F, 0.3F, 0.3F);
  const Sdf pad = tools::unite(tools::box(cx - 13, cy - 1, 7, 2.4F), tools::box(cx - 10.7F, cy - 3.3F, 2.4F, 7));
  fill(image, pad, hex(0xDDE4FF));
  fill(image, tools::circle(cx + 9, cy - 1.5F, 1.6F), hex(0x6AFF8A));
  fill(image, tools::circle(cx + 12, cy + 1.2F, 1.6F), hex(0xFF6A6A));
}

Image keyHelp() {
  Image image = page("KEYS", 0, 101);
  struct Entry {
    std::vector<std::string> keys;
    const char* what;
  };
  static const char* kLeft = "\xE2\x86\x90";
  static const char* kUp = "\xE2\x86\x91";
  static const char* kRight = "\xE2\x86\x92";
  static const char* kDown = "\xE2\x86\x93";
  const Entry entries[] = {
      {{kLeft, kRight, kUp, kDown}, "Move the paddle; choose; scroll the scores"},
      {{"Enter", "/", "Space"}, "Launch the ball and fire the guns; choose"},
      {{"P", "/", "Pause", "/", "F4"}, "Pause and play on; send the high scores"},
      {{"M", "/", "F3"}, "Sound off and on; back from the high scores"},
      {{"Esc"}, "Pause; back from the scores and the name entry"},
      {{"F11", "/", "Alt", "+", "Enter"}, "Full screen and back"},
      {{"Ctrl", "+", "Q"}, "Quit: the game is kept for Continue"},
  };
  int y = 50;
  for (const Entry& entry : entries) {
    keys(image, 8, static_cast<float>(y), entry.keys);
    drawParagraph(image, entry.what, 112, y + 6, 122, 10, text());
    y += 30;
  }
  drawPanel(image, 8, 258, 224, 34, 6, palette::kSlate, 0.5F);
  gamepad(image, 28, 274);
  LabelStyle small = bodyStyle(8.5F, palette::kTextDim);
  drawLabel(image, "Pad or stick: arrows    A: Enter", 50, 272, Align::Left, small);
  drawLabel(image, "B: back, sound    Start: pause", 50, 284, Align::Left, small);
  return image;
}

void mouse(Image& image, float cx, float cy) {
  const Sdf body = tools::roundRect(cx - 13, cy - 20, 26, 40, 12);
  fill(image, tools::grow(body, 1.2F), withAlpha(hex(0x000000), 0.6F));
  fill(image, body, tools::vertical(cy - 20, cy + 20, hex(0x4A5AA8), hex(0x1C2458)));
  const Sdf left = tools::intersect(body, tools::box(cx - 13, cy - 20, 12.5F, 16));
  image.glowMask(tools::coverage(240, 320, tools::grow(left, 1)).blurred(3), withAlpha(palette::kCyan, 0.6F));
  fill(image, left, tools::vertical(cy - 20, cy - 4, hex(0xC8F8FF), hex(0x2AB8E8)));
  fill(image, tools::box(cx - 0.5F, cy - 20, 1, 16), hex(0x101640));
  fill(image, tools::box(cx - 13, cy - 4.5F, 26, 1), hex(0x101640));
  tools::bevel(image, body, 1.5F, 0.3F, 0.3F);
  fill(image, tools::roundRect(cx + 3, cy - 15, 4, 7, 2), hex(0x2A3470));
}

// A little pointer arrow with its tip at (x, y).
void pointer(Image& image, float x, float y) {
  const Sdf arrow = tools::polygon({{x, y}, {x, y + 11}, {x + 3, y + 8.2F}, {x + 5.2F, y + 12.5F}, {x + 7, y + 11.6F},
                                    {x + 4.8F, y + 7.6F}, {x + 8.4F, y + 7.6F}});
  fill(image, tools::grow(arrow, 1), hex(0x0A0C20));
  fill(image, arrow, hex(0xFFFFFF));
}

Image mouseHelp(const PictureSet& set) {
  Image image = page("MOUSE", 1, 113);
  mouse(image, 36, 80);
  LabelStyle lead = bodyStyle(10, palette::kText);
  drawParagraph(image, "The left button, or a touch on the screen, does it all: press, drag and click.", 66, 66,
                168, 12, lead);

  struct Entry {
    const char* title;
    const char* what;
  };
  const Entry entries[] = {
      {"Playing", "Press or drag anywhere to steer the paddle. Enter or Space launches."},
      {"Menus", "Click a line or a button to choose it."},
      {"Name entry", "Click the letters, then OK."},
      {"Pictures", "Click to go on."},
  };
  int y = 118;
  for (int k = 0; k < 4; ++k) {
    const Entry& entry = entries[k];
    drawPanel(image, 8, static_cast<float>(y), 224, 40, 6, palette::kSlate, 0.45F);
    const float ix = 12;
    const float iy = static_cast<float>(y) + 5;
    switch (k) {
      case 0:
        sprite(image, set, "board.png", 0, 20, 40, 10, static_cast<int>(ix), static_cast<int>(iy) + 20, 1);
        sprite(image, set, "ball.png", 0, 0, 12, 12, static_cast<int>(ix) + 14, static_cast<int>(iy) + 8, 1);
        pointer(image, ix + 24, iy + 16);
        break;
      case 1:
        drawButton(image, ix, iy + 8, 40, 16, 5, true, hex(0xFFB02A));
        pointer(image, ix + 26, iy + 16);
        break;
      case 2:
        drawKeyCap(image, ix + 4, iy + 2, 16, 20, "A", false, 9);
        drawKeyCap(image, ix + 20, iy + 2, 16, 20, "B", true, 9);
        pointer(image, ix + 28, iy + 14);
        break;
      default:
        fill(image, tools::roundRect(ix + 4, iy, 26, 30, 2), tools::vertical(iy, iy + 30, hex(0x3448B0), hex(0x0C1130)));
        drawLogo(image, ix + 17, static_cast<int>(iy) + 18, 6);
        pointer(image, ix + 22, iy + 14);
        break;
    }
    drawLabel(image, entry.title, 62, y + 14, Align::Left, name());
    drawParagraph(image, entry.what, 62, y + 27, 166, 10, text());
    y += 44;
  }
  return image;
}

Image brickHelp(const PictureSet& set) {
  Image image = page("BRICKS", 2, 127);
  struct Entry {
    const char* sheet;
    int frames;
    int variant;
    const char* title;
    const char* what;
  };
  const Entry entries[] = {
      {"Brick_Stone.png", 1, 0, "Stone  20", "Breaks at the first hit."},
      {"Brick_Metal.png", 2, 6, "Metal  40", "Takes two hits."},
      {"Brick_Gem.png", 3, 5, "Gem  60", "Takes three hits, a chip each time."},
      {"Brick_Hide.png", 1, 7, "Hidden  70", "Unseen until hit once; then one more."},
      {"Brick_Stable.png", 1, 9, "Steel  90", "Stops all but pierce balls and blasts; not needed to clear a level."},
      {"Brick_Fire.png", 1, 1, "Fire  80", "Explodes at once and sets off its neighbours."},
  };
  int y = 50;
  for (const Entry& entry : entries) {
    drawPanel(image, 6, static_cast<float>(y), 228, 38, 6, palette::kSlate, 0.45F);
    const int frames = entry.frames;
    const int factor = 2;
    const int width = frames * 20 * factor + (frames - 1) * 3;
    const int x0 = 10 + (128 - width) / 2;
    for (int f = 0; f < frames; ++f) {
      sprite(image, set, entry.sheet, 20 * f, 12 * entry.variant, 20, 12, x0 + f * (40 + 3), y + 7, factor);
    }
    if (entry.sheet == std::string("Brick_Hide.png")) {
      // Before its first hit: nothing but a faint outline.
      const Sdf ghost = tools::box(x0 - 46, static_cast<float>(y) + 7, 40, 24);
      fill(image, tools::outline(tools::grow(ghost, -0.5F), 0.5F), withAlpha(palette::kMist, 0.45F));
      LabelStyle q = boldStyle(12, withAlpha(palette::kMist, 0.7F));
      drawLabel(image, "?", static_cast<float>(x0) - 26, y + 24, Align::Centre, q);
    }
    drawLabel(image, entry.title, 142, y + 13, Align::Left, name());
    drawParagraph(image, entry.what, 142, y + 24, 90, 9, bodyStyle(8.5F, palette::kTextDim));
    y += 41;
  }
  return image;
}

Image toolHelp(const PictureSet& set) {
  Image image = page("ITEMS", 3, 139);
  LabelStyle lead = bodyStyle(9, palette::kTextDim);
  drawLabel(image, "Catch them with the paddle: 100 points each.", 120, 53, Align::Centre, lead);
  struct Entry {
    const char* title;
    const char* what;
  };
  const Entry entries[14] = {
      {"Guns", "Enter fires shots"},
      {"Eight balls", "One ball becomes eight"},
      {"Longer", "A longer paddle"},
      {"Extra life", "One more life"},
      {"Fast balls", "Balls speed up"},
      {"Fire balls", "Balls blast the bricks around"},
      {"Bomb", "The paddle blows up!"},
      {"Next level", "Skip to the next level"},
      {"Shorter", "A shorter paddle"},
      {"Slow balls", "Balls slow down"},
      {"Double balls", "Each ball gets a twin"},
      {"Sticky pads", "Balls stick; Enter sends them"},
      {"Pierce balls", "Balls go through bricks"},
      {"Weak bricks", "Every brick breaks in one hit"},
  };
  for (int k = 0; k < 14; ++k) {
    const int col = k / 7;
    const int row = k % 7;
    const int x = 4 + col * 118;
    const int y = 60 + row * 34;
    const int kind = k + 1;
    sprite(image, set, "bitmap162.png", 30 * ((kind - 1) % 7), 30 * ((kind - 1) / 7), 30, 30, x, y + 1, 1);
    LabelStyle title = name();
    title.text.size = 9;
    drawLabel(image, entries[k].title, static_cast<float>(x) + 34, y + 10, Align::Left, title);
    drawParagraph(image, entries[k].what, x + 34, y + 21, 82, 9, bodyStyle(8, palette::kTextDim));
  }
  return image;
}

}  // namespace

void makeHelpPages(PictureSet& set) {
  set.add("keyhelp.png", tools::flatten(keyHelp(), palette::kNight));
  set.add("mousehelp.png", tools::flatten(mouseHelp(set), palette::kNight));
  set.add("brickhelp.png", tools::flatten(brickHelp(set), palette::kNight));
  set.add("toolhelp.png", tools::flatten(toolHelp(set), palette::kNight));
}

}  // namespace pictures
