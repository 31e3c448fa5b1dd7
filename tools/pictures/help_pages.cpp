// The four help pages: keys, mouse, bricks and items. Bricks and items are shown with the
// very pixels of their sprite sheets.
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

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
  Image image = backdrop(kScreenWidth, kScreenHeight, 0, seed, 0.35F);
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

// Text of one to two lines centred on the line y.
void centredLines(Image& image, std::string_view words, int x, int y, int width, const LabelStyle& style) {
  const std::vector<std::string> lines = wrapText(words, width, style);
  int baseline = y + 3 - 5 * (static_cast<int>(lines.size()) - 1);
  for (const std::string& line : lines) {
    drawLabel(image, line, static_cast<float>(x), baseline, Align::Left, style);
    baseline += 10;
  }
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
      {{kLeft, kRight, kUp, kDown}, "Move the paddle; choose; scroll"},
      {{"Enter", "/", "Space"}, "Launch the ball, fire the guns; choose"},
      {{"P", "/", "Pause", "/", "F4"}, "Pause; on the high scores: send them"},
      {{"M", "/", "F3"}, "Sound off and on; high scores: back"},
      {{"Esc"}, "Pause; back from scores and name entry"},
      {{"F11", "/", "Alt", "+", "Enter"}, "Full screen and back"},
      {{"Ctrl", "+", "Q"}, "Quit; the game is kept for Continue"},
  };
  drawPanel(image, 4, 47, 232, 212, 7, palette::kSlate, 0.5F);
  int y = 50;
  for (std::size_t k = 0; k < std::size(entries); ++k) {
    const Entry& entry = entries[k];
    if (k > 0) drawRule(image, 12, 228, static_cast<float>(y), withAlpha(palette::kSteel, 0.5F));
    keys(image, 9, static_cast<float>(y) + 7.5F, entry.keys);
    centredLines(image, entry.what, 114, y + 15, 118, text());
    y += 30;
  }
  drawPanel(image, 4, 263, 232, 30, 7, palette::kSlate, 0.5F);
  gamepad(image, 24, 277);
  LabelStyle small = bodyStyle(8.5F, palette::kTextDim);
  drawLabel(image, "D-pad or stick: arrows    A: Enter", 46, 275, Align::Left, small);
  drawLabel(image, "B: back, sound    Start: pause", 46, 287, Align::Left, small);
  return image;
}

void mouse(Image& image, float cx, float cy) {
  const Sdf body = tools::roundRect(cx - 13, cy - 20, 26, 40, 12);
  fill(image, tools::grow(body, 1.2F), withAlpha(hex(0x000000), 0.6F));
  fill(image, body, tools::vertical(cy - 20, cy + 20, hex(0x4A5AA8), hex(0x1C2458)));
  const Sdf left = tools::intersect(body, tools::box(cx - 13, cy - 20, 12.5F, 16));
  image.glowMask(tools::coverage(kScreenWidth, kScreenHeight, tools::grow(left, 1)).blurred(3), withAlpha(palette::kCyan, 0.6F));
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
  drawParagraph(image, "The left button, or a touch, is the stylus: press, drag and click. The right button is Enter.",
                66, 66, 168, 12, lead);

  struct Entry {
    const char* title;
    const char* what;
  };
  const Entry entries[] = {
      {"Playing", "Press or drag to steer the paddle; the right button launches and fires."},
      {"Menus", "Click a line or a button."},
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
      default: {
        // A little screen with a wall of bricks.
        const Sdf screen = tools::roundRect(ix + 6, iy, 22, 29, 2);
        fill(image, tools::grow(screen, 1), hex(0x6070B8));
        fill(image, screen, tools::vertical(iy, iy + 29, hex(0x1A2560), hex(0x06081C)));
        for (int row = 0; row < 3; ++row) {
          for (int col = 0; col < 4; ++col) {
            fill(image, tools::box(ix + 7 + 5.0F * static_cast<float>(col), iy + 2 + 3.0F * static_cast<float>(row), 4.5F, 2.5F),
                 palette::kBrick[static_cast<std::size_t>((row * 4 + col) % 9)]);
          }
        }
        pointer(image, ix + 20, iy + 15);
        break;
      }
    }
    drawLabel(image, entry.title, 56, y + 16, Align::Left, name());
    drawParagraph(image, entry.what, 56, y + 29, 172, 10, text());
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
    const char* points;
    const char* what;
  };
  const Entry entries[] = {
      {"Brick_Stone.png", 1, 0, "Stone", "20 points", "Breaks at the first hit."},
      {"Brick_Metal.png", 2, 6, "Metal", "40 points", "Takes two hits."},
      {"Brick_Gem.png", 3, 5, "Gem", "60 points", "Takes three hits."},
      {"Brick_Hide.png", 1, 7, "Hidden", "70 points", "Unseen until the first hit; one more breaks it."},
      {"Brick_Stable.png", 1, 9, "Steel", "90 points", "Only pierce balls and blasts break it. Not needed to clear a level."},
      {"Brick_Fire.png", 1, 1, "Fire", "80 points", "Explodes at once and sets off its neighbours."},
  };
  LabelStyle points = bodyStyle(8.5F, palette::kTextMuted);
  int y = 46;
  for (const Entry& entry : entries) {
    drawPanel(image, 4, static_cast<float>(y), 232, 39, 6, palette::kSlate, 0.45F);
    drawLabel(image, entry.title, 10, y + 12, Align::Left, name());
    drawLabel(image, entry.points, 229, y + 12, Align::Right, points);
    const bool hidden = entry.sheet == std::string("Brick_Hide.png");
    int x = 10;
    if (hidden) {
      // Before its first hit: nothing to see but where it stands.
      const Sdf ghost = tools::box(static_cast<float>(x), static_cast<float>(y) + 14, 40, 22);
      fill(image, tools::outline(tools::grow(ghost, -0.5F), 0.5F), withAlpha(palette::kMist, 0.45F));
      LabelStyle q = boldStyle(11, withAlpha(palette::kMist, 0.7F));
      drawLabel(image, "?", static_cast<float>(x) + 20, y + 30, Align::Centre, q);
      x += 43;
    }
    for (int f = 0; f < entry.frames; ++f) {
      sprite(image, set, entry.sheet, 20 * f, 12 * entry.variant, 20, 12, x, y + 13, 2);
      x += 43;
    }
    centredLines(image, entry.what, x + 2, y + 25, 226 - x, bodyStyle(8.5F, palette::kTextDim));
    y += 42;
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
