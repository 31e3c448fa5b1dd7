// The two digit strips of the resources: yellow 12 x 16 digits for the score panel (with six
// blank cells after them) and orange-red 16 x 16 digits for the level and final score.
#include <string>

#include "tools/pictures/pictures.hpp"
#include "tools/pictures/sprites.hpp"

namespace pictures {
namespace {

Image digitStrip(int cell, int cells, int height, float size, int baseline, Colour top, Colour middle,
                 Colour bottom, Colour rim) {
  Image strip(cell * cells, height);
  LabelStyle style = boldStyle(size);
  style.top = top;
  style.bottom = bottom;
  style.outline = 1;
  style.outlineColour = rim;
  for (int d = 0; d < 10; ++d) {
    const float cx = static_cast<float>(cell * d) + static_cast<float>(cell) / 2.0F;
    drawLabel(strip, std::to_string(d), cx, baseline, Align::Centre, style);
  }
  // A brighter middle band, like lit enamel.
  const int cap = style.font->capHeight(style.text);
  for (int y = 0; y < height; ++y) {
    const float t = static_cast<float>(y - (baseline - cap)) / static_cast<float>(cap);
    if (t < 0.3F || t > 0.6F) continue;
    for (int x = 0; x < strip.width(); ++x) {
      Colour c = strip.at(x, y);
      if (c.a <= 0) continue;
      const float lum = tools::luminance(c);
      if (lum < 0.35F) continue;  // the rim
      strip.set(x, y, tools::withAlpha(tools::mix(c, middle, 0.5F), c.a));
    }
  }
  return strip;
}

}  // namespace

void makeDigits(PictureSet& set) {
  const Image small = digitStrip(12, 16, 16, 15.5F, 14, hex(0xFFFBD0), hex(0xFFE45A), hex(0xFFA218), hex(0x2E1600));
  set.addResource("bitmap115.png", tools::flattenKeyed(small, tools::Key::Blue, palette::kSlot), tools::Key::Blue);
  const Image big = digitStrip(16, 10, 16, 18.5F, 15, hex(0xFFC890), hex(0xFF7A3A), hex(0xE0200E), hex(0x2A0600));
  set.addResource("bitmap143.png", tools::flattenKeyed(big, tools::Key::Blue, palette::kBand), tools::Key::Blue);
}

}  // namespace pictures
