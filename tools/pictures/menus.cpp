// The main menu and the options screen. Each highlighted row is cut from a copy of the
// screen with only that row lit, so that drawn opaque over the screen it differs from it in
// the lit row alone; likewise the ticked boxes.
#include <cmath>
#include <string>
#include <vector>

#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

const Colour kLitAccent = hex(0xFFB02A);

// Small pictograms at the left of the menu buttons, centred on (cx, cy).
void icon(Image& image, int which, float cx, float cy, bool lit) {
  const Colour ink = lit ? hex(0xFFF6D8) : hex(0x9CE8FF);
  const Colour rim = withAlpha(hex(0x0A0C20), 0.7F);
  Sdf shape;
  switch (which) {
    case 0:  // new game: play
      shape = tools::polygon({{cx - 4.5F, cy - 6.5F}, {cx + 6.5F, cy}, {cx - 4.5F, cy + 6.5F}});
      break;
    case 1: {  // continue: a turning arrow
      const Sdf arc = tools::subtract(tools::ring(cx, cy, 5.5F, 1.4F), tools::polygon({{cx, cy}, {cx + 9, cy - 9}, {cx + 9, cy + 1}}));
      shape = tools::unite(arc, tools::polygon({{cx + 2.2F, cy - 8.8F}, {cx + 8.6F, cy - 5.2F}, {cx + 2.6F, cy - 1.4F}}));
      break;
    }
    case 2: {  // options: a cog
      Sdf teeth = tools::circle(cx, cy, 4.8F);
      for (int k = 0; k < 8; ++k) {
        const float a = static_cast<float>(k) * 0.785398F;
        teeth = tools::unite(teeth, tools::segment({cx, cy}, {cx + 6.8F * std::cos(a), cy + 6.8F * std::sin(a)}, 1.3F));
      }
      shape = tools::subtract(teeth, tools::circle(cx, cy, 2.2F));
      break;
    }
    case 3:  // high scores: a crown
      shape = tools::polygon({{cx - 7, cy + 5}, {cx - 7.5F, cy - 5}, {cx - 3.5F, cy - 0.5F}, {cx, cy - 7}, {cx + 3.5F, cy - 0.5F},
                              {cx + 7.5F, cy - 5}, {cx + 7, cy + 5}});
      break;
    default: {  // help: a question mark in a ring
      shape = tools::ring(cx, cy, 6.6F, 1.2F);
      break;
    }
  }
  fill(image, tools::grow(shape, 1), rim);
  fill(image, shape, tools::vertical(cy - 7, cy + 7, lighten(ink, 0.4F), ink));
  if (which == 4) {
    LabelStyle mark = boldStyle(10, ink);
    drawLabel(image, "?", cx, static_cast<int>(cy + 4.5F), Align::Centre, mark);
  }
}

void menuButton(Image& image, int row, const char* label, bool lit) {
  const float top = 38.0F + 50.0F * static_cast<float>(row);
  drawButton(image, 38, top + 6, 164, 38, 11, lit, kLitAccent);
  icon(image, row, 62, top + 25, lit);
  LabelStyle style = boldStyle(14, lit ? hex(0xFFFFFF) : palette::kText);
  style.bottom = lit ? hex(0xFFF0C0) : palette::kTextDim;
  style.shadowDy = 1;
  style.shadowColour = withAlpha(lit ? hex(0x5A2A00) : hex(0x000000), 0.7F);
  drawLabel(image, label, 128, static_cast<int>(top) + 30, Align::Centre, style);
}

void makeMainMenu(PictureSet& set) {
  static const char* kRows[5] = {"New game", "Continue", "Options", "High scores", "Help"};
  Image screen = backdrop(kScreenWidth, kScreenHeight, 0, 71);
  drawLogo(screen, 120, 29, 23);
  Image plain = screen;
  for (int row = 0; row < 5; ++row) menuButton(plain, row, kRows[row], false);
  drawHint(plain, "\xE2\x86\x91 \xE2\x86\x93 choose    Enter or tap: go", 306);
  set.add("menucover.png", tools::flatten(plain, palette::kNight));

  tools::RgbPicture lit(176, 250);
  for (int row = 0; row < 5; ++row) {
    Image one = plain;
    menuButton(one, row, kRows[row], true);
    lit.paste(tools::flatten(one, palette::kNight).crop(32, 38 + 50 * row, 176, 50), 0, 50 * row);
  }
  set.add("menuselect.png", lit);
}

struct OptionRow {
  const char* label;
  int x;
  int y;
};
const OptionRow kOptionRows[4] = {{"Music", 0, 104}, {"Sound effects", 0, 152}, {"About", 0, 200}, {"Back", 80, 257}};

void optionButton(Image& image, int row, bool lit) {
  const OptionRow& r = kOptionRows[row];
  const float x = static_cast<float>(r.x);
  const float y = static_cast<float>(r.y);
  if (row == 3) {
    drawButton(image, x + 6, y + 5, 132, 26, 9, lit, kLitAccent);
    const float cx = x + 40;
    const float cy = y + 18;
    const Sdf arrow = tools::unite(tools::polygon({{cx - 6, cy}, {cx - 1, cy - 5}, {cx - 1, cy + 5}}),
                                   tools::box(cx - 2, cy - 1.6F, 8, 3.2F));
    fill(image, tools::grow(arrow, 1), withAlpha(hex(0x0A0C20), 0.7F));
    fill(image, arrow, lit ? hex(0xFFF6D8) : hex(0x9CE8FF));
  } else {
    // Tabs growing out of the left edge.
    drawButton(image, x - 14, y + 5, 152, 26, 9, lit, kLitAccent);
  }
  LabelStyle style = boldStyle(13, lit ? hex(0xFFFFFF) : palette::kText);
  style.bottom = lit ? hex(0xFFF0C0) : palette::kTextDim;
  style.shadowDy = 1;
  style.shadowColour = withAlpha(lit ? hex(0x5A2A00) : hex(0x000000), 0.7F);
  if (row == 3) {
    drawLabel(image, r.label, x + 84, r.y + 22, Align::Centre, style);
  } else {
    drawLabel(image, r.label, x + 14, r.y + 22, Align::Left, style);
  }
}

// The check boxes, centred beside their rows; the box of row 0 (music) lies in the mark
// cell at (144, 108), that of row 1 (sound) in the cell at (144, 148).
const float kBoxTop[2] = {113, 157};

void checkBox(Image& image, int which, bool ticked) {
  const float x = 152;
  const float y = kBoxTop[which];
  const Sdf box = tools::roundRect(x, y, 24, 24, 5);
  if (ticked) image.glowMask(tools::coverage(kScreenWidth, kScreenHeight, tools::grow(box, 0.5F)).blurred(1.2F), withAlpha(hex(0x6AFF8A), 0.5F));
  fill(image, tools::grow(box, 1), hex(0x5A6AB0));
  fill(image, box, ticked ? tools::vertical(y, y + 24, hex(0x1E5A3A), hex(0x0C2A1C)) : tools::solid(hex(0x080B1E)));
  tools::recess(image, box, 3, 0.6F);
  if (ticked) {
    const Sdf tick = tools::unite(tools::segment({x + 6, y + 12.5F}, {x + 10.5F, y + 17}, 1.9F),
                                  tools::segment({x + 10.5F, y + 17}, {x + 18.5F, y + 6.5F}, 1.9F));
    fill(image, tools::grow(tick, 1), withAlpha(hex(0x06200E), 0.9F));
    fill(image, tick, tools::vertical(y + 5, y + 19, hex(0xE8FFD8), hex(0x4EE070)));
  }
}

void makeOptions(PictureSet& set) {
  Image screen = backdrop(kScreenWidth, kScreenHeight, 0, 83);
  drawTitle(screen, "OPTIONS", 120, 62, 28, hex(0xA8F0FF), hex(0x2AA8E0));
  drawRule(screen, 40, 200, 78, palette::kMist);
  LabelStyle note = bodyStyle(9, palette::kTextMuted);
  drawLabel(screen, "ON", 164, 100, Align::Centre, note);
  for (int row = 0; row < 4; ++row) optionButton(screen, row, false);
  checkBox(screen, 0, false);
  checkBox(screen, 1, false);
  LabelStyle info = bodyStyle(9, palette::kTextMuted);
  drawLabel(screen, "version, credits", 150, 223, Align::Left, info);
  drawHint(screen, "\xE2\x86\x91 \xE2\x86\x93 choose    Enter or tap: change", 312);
  const tools::RgbPicture plain = tools::flatten(screen, palette::kNight);
  set.add("optioncover.png", plain);

  tools::RgbPicture lit(144, 144);
  for (int row = 0; row < 4; ++row) {
    Image one = screen;
    optionButton(one, row, true);
    lit.paste(tools::flatten(one, palette::kNight).crop(kOptionRows[row].x, kOptionRows[row].y, 144, 36), 0, 36 * row);
  }
  set.add("optionselect.png", lit);

  tools::RgbPicture marks(40, 80);
  Image ticked = screen;
  checkBox(ticked, 0, true);
  checkBox(ticked, 1, true);
  const tools::RgbPicture tickedFlat = tools::flatten(ticked, palette::kNight);
  marks.paste(tickedFlat.crop(144, 108, 40, 40), 0, 0);
  marks.paste(tickedFlat.crop(144, 148, 40, 40), 0, 40);
  set.add("change.png", marks);
}

}  // namespace

void makeMenus(PictureSet& set) {
  makeMainMenu(set);
  makeOptions(set);
}

}  // namespace pictures
