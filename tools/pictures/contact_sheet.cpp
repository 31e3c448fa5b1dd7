// The contact sheet: every picture labelled, small ones enlarged, keyed sprites over a
// chequer where their key lets the background through, and previews of screens put
// together the way the game draws them (keys applied, numbers and text in their places).
#include <algorithm>
#include <string>
#include <vector>

#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

using tools::Key;
using tools::RgbPicture;

constexpr int kSheetWidth = 1560;
constexpr int kGap = 14;
constexpr int kLabelHeight = 16;

struct Placed {
  std::string label;
  Image image;
  int x = 0;
  int y = 0;
};

class Layout {
 public:
  void heading(const std::string& text) {
    newRow();
    y_ += 10;
    headings_.push_back({text, y_ + 16});
    y_ += 26;
  }
  void place(const std::string& label, Image image) {
    if (x_ > kGap && x_ + image.width() > kSheetWidth - kGap) newRow();
    Placed p;
    p.label = label;
    p.x = x_;
    p.y = y_ + kLabelHeight;
    rowHeight_ = std::max(rowHeight_, image.height() + kLabelHeight);
    x_ += std::max(image.width(), measureLabel(label, bodyStyle(10)) + 4) + kGap;
    p.image = std::move(image);
    placed_.push_back(std::move(p));
  }
  Image render() {
    newRow();
    Image sheet(kSheetWidth, y_ + kGap, tools::hex(0x1C1E26));
    LabelStyle head = boldStyle(16, palette::kGold);
    for (const auto& [text, baseline] : headings_) drawLabel(sheet, text, kGap, baseline, Align::Left, head);
    LabelStyle label = bodyStyle(10, tools::hex(0xC8CCD8));
    for (const Placed& p : placed_) {
      drawLabel(sheet, p.label, static_cast<float>(p.x), p.y - 5, Align::Left, label);
      sheet.draw(p.image, p.x, p.y);
    }
    return sheet;
  }

 private:
  void newRow() {
    if (rowHeight_ > 0) y_ += rowHeight_ + kGap;
    x_ = kGap;
    rowHeight_ = 0;
  }
  int x_ = kGap;
  int y_ = kGap;
  int rowHeight_ = 0;
  std::vector<Placed> placed_;
  std::vector<std::pair<std::string, int>> headings_;
};

// The picture as it shows in the game: key pixels transparent over a chequer.
Image shown(const PictureEntry& entry, int factor) {
  const RgbPicture& p = entry.rgb;
  Image image(p.width * factor, p.height * factor);
  for (int y = 0; y < p.height * factor; ++y) {
    for (int x = 0; x < p.width * factor; ++x) {
      const bool light = (((x / 6) + (y / 6)) & 1) != 0;
      image.set(x, y, light ? tools::hex(0x5A5E6A) : tools::hex(0x484B55));
      int r = 0;
      int g = 0;
      int b = 0;
      p.pixel(x / factor, y / factor, r, g, b);
      if (!tools::readsAsKey(r, g, b, entry.key)) image.set(x, y, tools::rgb(r, g, b));
    }
  }
  return image;
}

Image enlarged(const Image& source, int factor) {
  Image image(source.width() * factor, source.height() * factor);
  image.drawScaled(source, 0, 0, factor);
  return image;
}

// Draws like the game's drawSprite: keyed pixels skipped.
void blit(Image& target, const PictureEntry& entry, int sx, int sy, int w, int h, int dx, int dy) {
  drawKeyed(target, entry.rgb, sx, sy, w, h, dx, dy, entry.key);
}

void blitNumber(Image& target, const PictureEntry& strip, int cell, int value, int x, int y) {
  const std::string digits = std::to_string(value);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    blit(target, strip, (digits[i] - '0') * cell, 0, cell, strip.rgb.height, x + static_cast<int>(i) * cell, y);
  }
}

void blitBigNumber(Image& target, const PictureEntry& strip, int value) {
  const std::string digits = std::to_string(value);
  const int left = (kScreenWidth - 16 * static_cast<int>(digits.size())) / 2;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    blit(target, strip, (digits[i] - '0') * 16, 0, 16, 16, left + 16 * static_cast<int>(i), 208);
  }
}

// The run-time text of the high-score list: white, one-bit glyphs.
void runTimeText(Image& target, const std::string& text, int x, int y) {
  LabelStyle style = bodyStyle(11, tools::hex(0xFFFFFF));
  style.text.mono = true;
  drawLabel(target, text, static_cast<float>(x), y + 10, Align::Left, style);
}

Image gamePreview(const PictureSet& set) {
  Image screen(kScreenWidth, kScreenHeight);
  blit(screen, set.find("background.png"), 0, 0, kScreenWidth, kScreenHeight, 0, 0);
  const char* sheets[] = {"Brick_Stone.png", "Brick_Metal.png", "Brick_Gem.png",
                          "Brick_Hide.png",  "Brick_Stable.png", "Brick_Fire.png"};
  for (int row = 0; row < 12; ++row) {
    for (int col = 0; col < 12; ++col) {
      if (row >= 9 && (col + row) % 3 != 0) continue;
      const int kindIndex = row < 6 ? (row == 1 ? 1 : row == 3 ? 2 : row == 5 ? 4 : 0) : (col % 6);
      const PictureEntry& sheet = set.find(sheets[kindIndex]);
      const int frames = sheet.rgb.width / 20;
      const int variant = row < 6 ? (col + row) % 10 : row % 10;
      const int frame = (col / 2) % frames;
      blit(screen, sheet, frame * 20, variant * 12, 20, 12, col * 20, row * 12 + 12);
    }
  }
  const PictureEntry& board = set.find("board.png");
  blit(screen, board, 0, 10, 60, 10, 90, 286);
  blit(screen, board, 64, 22, 8, 8, 88, 278);
  blit(screen, board, 64, 22, 8, 8, 144, 278);
  blit(screen, board, 0, 0, 80, 10, 150, 230);
  blit(screen, board, 72, 22, 8, 8, 148, 222);
  blit(screen, board, 72, 22, 8, 8, 224, 222);
  blit(screen, board, 0, 20, 40, 10, 10, 250);
  const PictureEntry& ball = set.find("ball.png");
  blit(screen, ball, 0, 0, 12, 12, 114, 274);
  blit(screen, ball, 12, 12, 12, 12, 60, 210);
  blit(screen, ball, 0, 24, 12, 12, 190, 200);
  blit(screen, ball, 0, 0, 12, 12, 30, 170);
  const PictureEntry& shot = set.find("bitmap154.png");
  blit(screen, shot, 0, 0, 5, 10, 92, 240);
  blit(screen, shot, 0, 0, 5, 10, 145, 250);
  const PictureEntry& items = set.find("bitmap162.png");
  blit(screen, items, 30, 0, 30, 30, 40, 120);
  blit(screen, items, 60, 30, 30, 30, 170, 150);
  blit(screen, items, 180, 0, 30, 30, 110, 205);
  const PictureEntry& blast = set.find("blast.png");
  blit(screen, blast, 48 * 3, 48, 48, 48, 76, 40);
  blit(screen, set.find("digitpanel.png"), 0, 0, kScreenWidth, 24, 0, 296);
  const PictureEntry& digits = set.find("bitmap115.png");
  blitNumber(screen, digits, 12, 1234560, 22, 300);
  blitNumber(screen, digits, 12, 3, 144, 300);
  blitNumber(screen, digits, 12, 2, 198, 300);
  return screen;
}

Image menuPreview(const PictureSet& set, int row) {
  Image screen(kScreenWidth, kScreenHeight);
  blit(screen, set.find("menucover.png"), 0, 0, kScreenWidth, kScreenHeight, 0, 0);
  blit(screen, set.find("menuselect.png"), 0, 50 * row, 176, 50, 32, 38 + 50 * row);
  return screen;
}

Image optionsPreview(const PictureSet& set, int row, bool music, bool sound) {
  static const int kRows[4][2] = {{0, 104}, {0, 152}, {0, 200}, {80, 257}};
  Image screen(kScreenWidth, kScreenHeight);
  blit(screen, set.find("optioncover.png"), 0, 0, kScreenWidth, kScreenHeight, 0, 0);
  blit(screen, set.find("optionselect.png"), 0, 36 * row, 144, 36, kRows[row][0], kRows[row][1]);
  if (music) blit(screen, set.find("change.png"), 0, 0, 40, 40, 144, 108);
  if (sound) blit(screen, set.find("change.png"), 0, 40, 40, 40, 144, 148);
  return screen;
}

Image inputPreview(const PictureSet& set, int col, int row) {
  Image screen(kScreenWidth, kScreenHeight);
  blit(screen, set.find("input.png"), 0, 0, kScreenWidth, kScreenHeight, 0, 0);
  const PictureEntry& font = set.find("font.png");
  blit(screen, font, 24 * col, 28 * row, 24, 28, 24 * col, 92 + 28 * row);
  const int picks[][2] = {{0, 1}, {3, 2}, {4, 1}, {7, 3}, {2, 0}, {3, 2}};  // "ANE 2N"
  for (int i = 0; i < 6; ++i) {
    blit(screen, font, 24 * picks[i][0], 28 * picks[i][1], 24, 28, 24 + 24 * i, 220);
  }
  return screen;
}

Image scoresPreview(const PictureSet& set, bool uploading) {
  Image screen(kScreenWidth, kScreenHeight);
  blit(screen, set.find("highscore.png"), 0, 0, kScreenWidth, kScreenHeight, 0, 0);
  static const char* kNames[] = {"ZEBRA", "ANNA", "MAX 2", "LUCY", "BOB", "KIM", "ODO", "PIA"};
  for (int i = 0; i < 17; ++i) {
    const int y = 52 + 12 * i;
    runTimeText(screen, std::to_string(i + 1), 32, y);
    if (i < 8) {
      runTimeText(screen, kNames[i], 80, y);
      runTimeText(screen, std::to_string(98000 - i * 11130), 160, y);
    }
  }
  if (uploading) blit(screen, set.find("updating.png"), 0, 0, 128, 60, 56, 130);
  return screen;
}

Image fullPicture(const PictureSet& set, const char* name) {
  Image screen(kScreenWidth, kScreenHeight);
  blit(screen, set.find(name), 0, 0, kScreenWidth, kScreenHeight, 0, 0);
  return screen;
}

}  // namespace

void drawKeyed(Image& image, const RgbPicture& picture, int sx, int sy, int w, int h, int dx, int dy, Key key) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (sx + x < 0 || sy + y < 0 || sx + x >= picture.width || sy + y >= picture.height) continue;
      int r = 0;
      int g = 0;
      int b = 0;
      picture.pixel(sx + x, sy + y, r, g, b);
      if (tools::readsAsKey(r, g, b, key)) continue;
      image.set(dx + x, dy + y, tools::rgb(r, g, b));
    }
  }
}

Image contactSheet(const PictureSet& set) {
  Layout layout;
  layout.heading("Previews: screens put together as the game draws them");
  layout.place("game", gamePreview(set));
  layout.place("menu, row 1", menuPreview(set, 1));
  layout.place("options, row 0, both on", optionsPreview(set, 0, true, true));
  layout.place("options, row 3, sound off", optionsPreview(set, 3, true, false));
  layout.place("name entry, cursor on J", inputPreview(set, 9, 1));
  layout.place("name entry, cursor on space", inputPreview(set, 6, 3));
  {
    Image pass = fullPicture(set, "pass.png");
    blitBigNumber(pass, set.find("bitmap143.png"), 2);
    layout.place("level 2", pass);
    Image fail = fullPicture(set, "fail.png");
    blitBigNumber(fail, set.find("bitmap143.png"), 48120);
    layout.place("game over, 48120", fail);
  }
  layout.place("high scores", scoresPreview(set, false));
  layout.place("high scores, sending", scoresPreview(set, true));
  layout.place("menu, row 4", menuPreview(set, 4));

  layout.heading("Full-screen pictures (1x)");
  for (const PictureEntry& entry : set.entries()) {
    if (entry.rgb.width == kScreenWidth && entry.rgb.height == kScreenHeight) layout.place(entry.name, shown(entry, 1));
  }
  layout.heading("Sprites and parts (enlarged; chequer where the key lets the background through)");
  for (const PictureEntry& entry : set.entries()) {
    if (entry.rgba.width() > 0 || (entry.rgb.width == kScreenWidth && entry.rgb.height == kScreenHeight)) continue;
    const int area = entry.rgb.width * entry.rgb.height;
    const int factor = area <= 60 * 130 ? 4 : (entry.rgb.width <= 240 && area < 240 * 120 ? 2 : 1);
    const int big = entry.rgb.width > 240 && entry.rgb.height <= 200 ? 2 : factor;
    layout.place(entry.name + " x" + std::to_string(big), shown(entry, big));
  }
  layout.heading("Application icon");
  for (const PictureEntry& entry : set.entries()) {
    if (entry.rgba.width() == 0) continue;
    Image backing(entry.rgba.width(), entry.rgba.height(), tools::hex(0x3A3D48));
    backing.draw(entry.rgba, 0, 0);
    layout.place(entry.name, backing);
    if (entry.rgba.width() <= 32) layout.place(entry.name + " x4", enlarged(backing, 4));
  }
  return layout.render();
}

}  // namespace pictures
