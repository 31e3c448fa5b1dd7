// The high-score screen with its "sending" sign, and the name entry: its keyboard screen and
// the sheet of lit keys that marks the cursor and spells the picked name.
#include <cmath>
#include <string>

#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

// Behind the list text drawn at run time: dark and plain.
const Colour kListColour = hex(0x090C22);

LabelStyle head() {
  LabelStyle style = boldStyle(8.5F, palette::kGold);
  style.text.tracking = 1.2F;
  return style;
}

LabelStyle buttonText() {
  LabelStyle style = boldStyle(12, palette::kText);
  style.bottom = palette::kTextDim;
  style.shadowDy = 1;
  style.shadowColour = withAlpha(hex(0x000000), 0.7F);
  return style;
}

void upArrow(Image& image, float cx, float cy, Colour c) {
  const Sdf arrow = tools::unite(tools::polygon({{cx, cy - 7}, {cx + 6, cy - 1}, {cx - 6, cy - 1}}),
                                 tools::box(cx - 2, cy - 2, 4, 8));
  fill(image, tools::grow(arrow, 1), withAlpha(hex(0x0A0C20), 0.7F));
  fill(image, arrow, c);
}

void backArrow(Image& image, float cx, float cy, Colour c) {
  const Sdf arrow = tools::unite(tools::polygon({{cx - 7, cy}, {cx - 1, cy - 6}, {cx - 1, cy + 6}}),
                                 tools::box(cx - 2, cy - 2, 9, 4));
  fill(image, tools::grow(arrow, 1), withAlpha(hex(0x0A0C20), 0.7F));
  fill(image, arrow, c);
}

Image highScores() {
  Image image = backdrop(kScreenWidth, kScreenHeight, 1, 151);
  drawTitle(image, "HIGH SCORES", 120, 27, 20, palette::kGold, palette::kAmber);
  // The list: a plain dark well with the column heads above it.
  const Sdf well = tools::roundRect(20, 49, 214, 210, 6);
  fill(image, tools::grow(well, 1), withAlpha(palette::kMist, 0.35F));
  fill(image, well, kListColour);
  fill(image, tools::intersect(well, tools::box(20, 49, 214, 1.5F)), withAlpha(hex(0x000000), 0.6F));
  drawLabel(image, "No.", 32, 45, Align::Left, head());
  drawLabel(image, "NAME", 80, 45, Align::Left, head());
  drawLabel(image, "SCORE", 160, 45, Align::Left, head());
  // The two buttons.
  drawButton(image, 4, 263, 118, 34, 9, false);
  upArrow(image, 18, 280, hex(0x9CE8FF));
  LabelStyle send = buttonText();
  send.text.size = 11;
  drawLabel(image, "Send scores", 74, 284, Align::Centre, send);
  drawButton(image, 130, 263, 106, 34, 9, false);
  backArrow(image, 156, 280, hex(0x9CE8FF));
  drawLabel(image, "Back", 194, 284, Align::Centre, buttonText());
  drawHint(image, "\xE2\x86\x91 \xE2\x86\x93 scroll    P: send    M or Esc: back", 312);
  return image;
}

Image updating() {
  Image image(128, 60);
  const Sdf sign = tools::roundRect(2, 2, 124, 56, 10);
  fill(image, tools::grow(sign, 1.5F), withAlpha(palette::kCyan, 0.8F));
  fill(image, sign, tools::vertical(2, 58, hex(0x2A3A84), hex(0x121A4A)));
  tools::bevel(image, sign, 2, 0.3F, 0.3F, true);
  LabelStyle title = boldStyle(12, palette::kText);
  title.shadowDy = 1;
  drawLabel(image, "Sending scores", 64, 26, Align::Centre, title);
  // Three dots, brightening like a wave.
  for (int k = 0; k < 3; ++k) {
    const float cx = 52 + 12.0F * static_cast<float>(k);
    fill(image, tools::circle(cx, 41, 3), tools::mix(hex(0x2A6A9A), palette::kCyan, 0.35F + 0.3F * static_cast<float>(k)));
  }
  return image;
}

// Keyboard geometry: the grid's corner on the screen and the key size.
constexpr int kGridY = 92;
constexpr int kKeyW = 24;
constexpr int kKeyH = 28;
constexpr int kNameY = 220;

const char* const kSpace = "\xE2\x90\xA3";   // open box
const char* const kDelete = "\xE2\x8C\xAB";  // erase to the left

std::string keyLabel(int col, int row) {
  if (row == 0) return std::string(1, static_cast<char>('0' + col));
  if (row == 3 && col >= 6) return col < 8 ? kSpace : kDelete;
  return std::string(1, static_cast<char>('A' + (row - 1) * 10 + col));
}

// One key cap filling a 24 x 28 cell at (x, y), one pixel of margin all round.
void key(Image& image, int x, int y, const std::string& label, bool lit, float size = 12) {
  drawKeyCap(image, static_cast<float>(x) + 1, static_cast<float>(y) + 1, kKeyW - 2, kKeyH - 2, label, lit, size);
}

Image nameEntry() {
  Image image = backdrop(kScreenWidth, kScreenHeight, 1, 163);
  drawTitle(image, "NEW HIGH SCORE!", 120, 32, 19, palette::kGold, palette::kAmber);
  LabelStyle lead = bodyStyle(11, palette::kText);
  drawLabel(image, "Enter your name", 120, 56, Align::Centre, lead);
  LabelStyle small = bodyStyle(8.5F, palette::kTextMuted);
  drawLabel(image, "Pick the letters or type them, then OK", 120, 74, Align::Centre, small);

  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 10; ++col) {
      if (row == 3 && col >= 6) continue;
      key(image, col * kKeyW, kGridY + row * kKeyH, keyLabel(col, row), false);
    }
  }
  // Space and delete: wide keys, their sign on the left half where the cursor stands.
  for (const int col : {6, 8}) {
    const int x = col * kKeyW;
    const int y = kGridY + 3 * kKeyH;
    drawKeyCap(image, static_cast<float>(x) + 1, static_cast<float>(y) + 1, 2 * kKeyW - 2, kKeyH - 2, "", false);
    LabelStyle sign = boldStyle(12, palette::kText);
    sign.shadowDy = 1;
    sign.shadowColour = withAlpha(hex(0x000000), 0.5F);
    drawLabel(image, col == 6 ? kSpace : kDelete, static_cast<float>(x) + 12, y + 18, Align::Centre, sign);
    LabelStyle word = bodyStyle(7, palette::kTextDim);
    drawLabel(image, col == 6 ? "space" : "del", static_cast<float>(x) + 35, y + 17, Align::Centre, word);
  }

  // The name row: eight places waiting for the picked keys.
  const Sdf slot = tools::roundRect(18, kNameY - 4, 204, kKeyH + 8, 7);
  fill(image, tools::grow(slot, 1), withAlpha(palette::kMist, 0.35F));
  fill(image, slot, kListColour);
  tools::recess(image, slot, 3, 0.5F);
  for (int i = 0; i < 8; ++i) {
    const float x = 24.0F + 24.0F * static_cast<float>(i);
    fill(image, tools::box(x + 4, kNameY + kKeyH - 5, kKeyW - 8, 1.5F), withAlpha(palette::kSteel, 0.7F));
  }

  // OK and cancel.
  drawButton(image, 6, 262, 100, 44, 11, false);
  LabelStyle ok = buttonText();
  ok.text.size = 14;
  const Sdf tick = tools::unite(tools::segment({28, 284}, {33, 289}, 1.7F), tools::segment({33, 289}, {42, 277}, 1.7F));
  fill(image, tools::grow(tick, 1), withAlpha(hex(0x06200E), 0.9F));
  fill(image, tick, hex(0x6AF08A));
  drawLabel(image, "OK", 68, 290, Align::Centre, ok);
  drawButton(image, 118, 262, 116, 44, 11, false);
  const Sdf cross = tools::unite(tools::segment({135, 278}, {145, 290}, 1.7F), tools::segment({145, 278}, {135, 290}, 1.7F));
  fill(image, tools::grow(cross, 1), withAlpha(hex(0x200606), 0.9F));
  fill(image, cross, hex(0xFF7A7A));
  drawLabel(image, "Cancel", 188, 290, Align::Centre, ok);
  drawHint(image, "F4: OK    Esc: cancel", 316);
  return image;
}

Image litKeys() {
  Image image(kScreenWidth, 112);
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 10; ++col) {
      // (7, 3) is how a picked space shows in the name: a blank tile.
      const std::string label = (row == 3 && (col == 7 || col == 9)) ? "" : keyLabel(col, row);
      key(image, col * kKeyW, row * kKeyH, label, true, 13);
    }
  }
  return image;
}

}  // namespace

void makeScoreScreens(PictureSet& set) {
  set.add("highscore.png", tools::flatten(highScores(), palette::kNight));
  set.add("updating.png", tools::flattenKeyed(updating(), tools::Key::Blue, kListColour), tools::Key::Blue);
  set.add("input.png", tools::flatten(nameEntry(), palette::kNight));
  // The lit keys are seen over the keys and over the name row: their rims blend into the
  // dark between the keys.
  set.add("font.png", tools::flattenKeyed(litKeys(), tools::Key::Blue, hex(0x0C1030)), tools::Key::Blue);
}

}  // namespace pictures
