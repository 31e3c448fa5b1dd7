#include "tools/pictures/style.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/common/noise.hpp"
#include "tools/common/picture_file.hpp"

namespace pictures {
namespace {

using tools::kTextMargin;

constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu/";

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float smooth(float edge0, float edge1, float v) {
  const float t = clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

int leftOf(float x, int advance, Align align) {
  switch (align) {
    case Align::Centre:
      return static_cast<int>(std::lround(x - static_cast<float>(advance) / 2.0F));
    case Align::Right:
      return static_cast<int>(std::lround(x)) - advance;
    case Align::Left:
      break;
  }
  return static_cast<int>(std::lround(x));
}

}  // namespace

const Fonts& fonts() {
  static const Fonts kFonts{tools::Font(std::string(kFontFolder) + "DejaVuSans.ttf"),
                            tools::Font(std::string(kFontFolder) + "DejaVuSans-Bold.ttf"),
                            tools::Font(std::string(kFontFolder) + "DejaVuSansMono.ttf"),
                            tools::Font(std::string(kFontFolder) + "DejaVuSansMono-Bold.ttf"),
                            tools::Font(std::string(kFontFolder) + "DejaVuSerif-Bold.ttf")};
  return kFonts;
}

LabelStyle bodyStyle(float size, Colour colour) {
  LabelStyle style;
  style.font = &fonts().sans;
  style.text.size = size;
  style.top = colour;
  style.bottom = colour;
  return style;
}

LabelStyle boldStyle(float size, Colour colour) {
  LabelStyle style = bodyStyle(size, colour);
  style.font = &fonts().bold;
  return style;
}

int measureLabel(std::string_view text, const LabelStyle& style) { return style.font->measure(text, style.text); }

int drawLabel(Image& image, std::string_view text, float x, int baseline, Align align, const LabelStyle& style) {
  const tools::TextMask rendered = style.font->render(text, style.text);
  const int left = leftOf(x, rendered.advance, align);
  const int ox = left - kTextMargin;
  const int oy = baseline - rendered.baseline;
  const Mask& letters = rendered.mask;
  const Mask rim = style.outline > 0 ? letters.dilated(style.outline) : letters;
  if (style.glow > 0) image.glowMask(rim.blurred(style.glow), style.glowColour, ox, oy, 1.0F);
  if (style.shadowDx != 0 || style.shadowDy != 0) {
    image.fillMask(rim, tools::solid(style.shadowColour), ox + style.shadowDx, oy + style.shadowDy);
  }
  if (style.outline > 0) image.fillMask(rim, tools::solid(style.outlineColour), ox, oy);
  const float capTop = static_cast<float>(baseline - style.font->capHeight(style.text));
  Paint fill = tools::vertical(capTop, static_cast<float>(baseline), style.top, style.bottom);
  if (style.stripes > 0) {
    const float slant = style.text.slant;
    const float strength = style.stripes;
    const float period = std::max(4.0F, style.text.size * 0.34F);
    fill = [fill, slant, strength, period](float px, float py) {
      const float u = (px + py * (slant + 0.9F)) / period;
      const float band = smooth(0.35F, 0.5F, std::fabs(u - std::floor(u) - 0.5F) * 2.0F - 0.1F);
      return tools::darken(fill(px, py), strength * (1 - band));
    };
  }
  image.fillMask(letters, fill, ox, oy);
  return rendered.advance;
}

std::vector<std::string> wrapText(std::string_view text, int width, const LabelStyle& style) {
  std::vector<std::string> lines;
  std::string line;
  std::string word;
  auto flushWord = [&]() {
    if (word.empty()) return;
    const std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && measureLabel(candidate, style) > width) {
      lines.push_back(line);
      line = word;
    } else {
      line = candidate;
    }
    word.clear();
  };
  for (const char c : text) {
    if (c == ' ') {
      flushWord();
    } else if (c == '\n') {
      flushWord();
      lines.push_back(line);
      line.clear();
    } else {
      word.push_back(c);
    }
  }
  flushWord();
  if (!line.empty()) lines.push_back(line);
  return lines;
}

int drawParagraph(Image& image, std::string_view text, int x, int baseline, int width, int lineHeight,
                  const LabelStyle& style, Align align) {
  for (const std::string& l : wrapText(text, width, style)) {
    const float at = align == Align::Centre   ? static_cast<float>(x) + static_cast<float>(width) / 2.0F
                     : align == Align::Right ? static_cast<float>(x + width)
                                             : static_cast<float>(x);
    drawLabel(image, l, at, baseline, align, style);
    baseline += lineHeight;
  }
  return baseline;
}

Image backdrop(int width, int height, int hue, std::uint32_t seed, float stars) {
  struct Tint {
    Colour top, bottom, glow;
  };
  static const Tint kTints[] = {
      {hex(0x1A2560), hex(0x04061A), hex(0x3448B0)},
      {hex(0x2C1A62), hex(0x07041A), hex(0x6A38C0)},
      {hex(0x0F3E4A), hex(0x03101A), hex(0x2AA08E)},
      {hex(0x4A1630), hex(0x10040E), hex(0xB03A4A)},
  };
  const Tint& tint = kTints[std::clamp(hue, 0, 3)];
  Image image(width, height);
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const float px = static_cast<float>(x) + 0.5F;
      const float py = static_cast<float>(y) + 0.5F;
      Colour c = tools::mix(tint.top, tint.bottom, smooth(0, 1, py / h));
      // A soft light above the top edge.
      const float dx = (px - w / 2) / w;
      const float dy = (py + h * 0.15F) / h;
      const float light = std::exp(-(dx * dx * 3.0F + dy * dy * 4.0F));
      c = tools::mix(c, tint.glow, 0.45F * light);
      // Faint slanted stripes.
      const float u = (px * 0.8F + py * 0.6F) / 22.0F;
      const float band = smooth(0.2F, 0.8F, std::fabs(u - std::floor(u) - 0.5F) * 2.0F);
      c = tools::lighten(c, 0.025F * band);
      // Vignette.
      const float vx = (px / w - 0.5F) * 2.0F;
      const float vy = (py / h - 0.5F) * 2.0F;
      c = tools::darken(c, 0.35F * smooth(0.6F, 1.6F, vx * vx + vy * vy));
      c.a = 1;
      image.set(x, y, c);
    }
  }
  // Stars: a few pinpoints, brighter ones with a faint cross.
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const float r = tools::hashUnit(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), seed);
      if (r > 0.0045F * stars) continue;
      const float bright = 0.25F + 0.75F * tools::hashUnit(static_cast<std::uint32_t>(y), static_cast<std::uint32_t>(x),
                                                            seed + 7);
      const Colour star = tools::mix(hex(0xAFC4FF), hex(0xFFFFFF), bright);
      image.blend(x, y, withAlpha(star, 0.25F + 0.5F * bright));
      if (bright > 0.85F) {
        for (const auto& [ox, oy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
          image.blend(x + ox, y + oy, withAlpha(star, 0.22F));
        }
      }
    }
  }
  tools::dither(image);
  return image;
}

void drawLogo(Image& image, float cx, int baseline, float size) {
  LabelStyle style;
  style.font = &fonts().bold;
  style.text.size = size;
  style.text.slant = 0.2F;
  style.text.tracking = -size * 0.02F;
  style.outline = std::max(1.5F, size * 0.07F);
  style.shadowDy = std::max(1, static_cast<int>(size * 0.08F));
  style.shadowColour = withAlpha(hex(0x000000), 0.7F);
  style.glow = size * 0.22F;
  style.glowColour = withAlpha(hex(0xFF6A2A), 0.55F);
  style.stripes = 0.32F;
  style.top = hex(0xFFF6C0);
  style.bottom = hex(0xFF5A1E);
  drawLabel(image, "ZEBROLITE", cx, baseline, Align::Centre, style);
  // Polish: a white sheen on the tops of the letters and a deeper red at their feet.
  const tools::TextMask letters = style.font->render("ZEBROLITE", style.text);
  const float top = static_cast<float>(baseline - style.font->capHeight(style.text));
  const int left = static_cast<int>(std::lround(cx - static_cast<float>(letters.advance) / 2.0F)) - kTextMargin;
  const Paint sheen = tools::linear(0, top, 0, static_cast<float>(baseline),
                                    {{0, withAlpha(hex(0xFFFBE0), 0.9F)},
                                     {0.35F, withAlpha(hex(0xFFD43B), 0.0F)},
                                     {0.55F, withAlpha(hex(0xFFB02A), 0.0F)},
                                     {1, withAlpha(hex(0xD8301A), 0.5F)}});
  image.fillMask(letters.mask, sheen, left, baseline - letters.baseline);
}

void drawTitle(Image& image, std::string_view text, float cx, int baseline, float size, Colour top, Colour bottom) {
  LabelStyle style;
  style.font = &fonts().bold;
  style.text.size = size;
  style.top = tools::lighten(top, 0.35F);
  style.bottom = bottom;
  style.outline = std::max(1.0F, size * 0.06F);
  style.shadowDy = std::max(1, static_cast<int>(size * 0.07F));
  style.shadowColour = withAlpha(hex(0x000000), 0.6F);
  style.glow = size * 0.25F;
  style.glowColour = withAlpha(bottom, 0.35F);
  drawLabel(image, text, cx, baseline, Align::Centre, style);
}

void drawHint(Image& image, std::string_view text, int baseline, Colour colour) {
  LabelStyle style = bodyStyle(9, colour);
  drawLabel(image, text, static_cast<float>(image.width()) / 2.0F, baseline, Align::Centre, style);
}

void drawPanel(Image& image, float x, float y, float w, float h, float radius, Colour tint, float opacity) {
  const Sdf shape = tools::roundRect(x, y, w, h, radius);
  tools::fillShape(image, shape,
                   tools::vertical(y, y + h, withAlpha(tools::darken(tint, 0.35F), opacity),
                                   withAlpha(tools::darken(tint, 0.7F), opacity)));
  tools::fillShape(image, tools::outline(tools::grow(shape, -0.5F), 0.5F),
                   tools::vertical(y, y + h, withAlpha(tools::lighten(tint, 0.35F), 0.9F),
                                   withAlpha(tint, 0.6F)));
}

void drawButton(Image& image, float x, float y, float w, float h, float radius, bool lit, Colour accent) {
  const Sdf shape = tools::roundRect(x, y, w, h, radius);
  const Mask body = tools::coverage(image.width(), image.height(), shape);
  if (lit) {
    // A tight halo: highlights are cut out a few pixels around their button.
    image.glowMask(tools::coverage(image.width(), image.height(), tools::grow(shape, 0.5F)).blurred(1.1F),
                   withAlpha(accent, 0.6F));
  } else {
    image.fillMask(body.shifted(0, 2).blurred(1.2F), tools::solid(withAlpha(hex(0x000000), 0.55F)));
  }
  const Colour top = lit ? tools::mix(accent, hex(0xFFF4D0), 0.2F) : hex(0x3A467F);
  const Colour bottom = lit ? darken(accent, 0.52F) : hex(0x1B2250);
  image.fillMask(body, tools::vertical(y, y + h, top, bottom));
  // Gloss over the upper half.
  const Sdf gloss = tools::intersect(tools::grow(shape, -1.5F), tools::box(x, y, w, h * 0.48F));
  tools::fillShape(image, gloss, tools::vertical(y, y + h * 0.5F, withAlpha(hex(0xFFFFFF), lit ? 0.22F : 0.1F),
                                                 withAlpha(hex(0xFFFFFF), 0.02F)));
  tools::bevel(image, shape, 1.6F, 0.35F, 0.35F);
  const Colour rim = lit ? tools::lighten(accent, 0.45F) : hex(0x6070B8);
  tools::fillShape(image, tools::outline(tools::grow(shape, -0.5F), 0.5F), tools::solid(withAlpha(rim, lit ? 1 : 0.8F)));
}

void drawKeyCap(Image& image, float x, float y, float w, float h, std::string_view label, bool lit, float size) {
  const Sdf shape = tools::roundRect(x, y, w, h, 3.5F);
  const Mask body = tools::coverage(image.width(), image.height(), shape);
  image.fillMask(body.shifted(0, 1).blurred(0.8F), tools::solid(withAlpha(hex(0x000000), 0.6F)));
  const Colour top = lit ? hex(0xFFE680) : hex(0x3C4886);
  const Colour bottom = lit ? hex(0xF0901E) : hex(0x20285C);
  image.fillMask(body, tools::vertical(y, y + h, top, bottom));
  tools::bevel(image, shape, 1.5F, lit ? 0.5F : 0.3F, 0.35F);
  tools::fillShape(image, tools::outline(tools::grow(shape, -0.5F), 0.5F),
                   tools::solid(lit ? withAlpha(hex(0xFFF6C8), 0.9F) : withAlpha(hex(0x6A7AC4), 0.7F)));
  if (!label.empty()) {
    LabelStyle style = boldStyle(size, lit ? hex(0x2A1206) : palette::kText);
    if (!lit) {
      style.shadowDy = 1;
      style.shadowColour = withAlpha(hex(0x000000), 0.5F);
    }
    const int cap = style.font->capHeight(style.text);
    const int baseline = static_cast<int>(std::lround(y + h / 2.0F + static_cast<float>(cap) / 2.0F - 0.5F));
    drawLabel(image, label, x + w / 2.0F, baseline, Align::Centre, style);
  }
}

void drawRule(Image& image, float x0, float x1, float y, Colour colour) {
  const Paint fade = tools::linear(x0, 0, x1, 0,
                                   {{0, withAlpha(colour, 0)}, {0.25F, colour}, {0.75F, colour}, {1, withAlpha(colour, 0)}});
  tools::fillShape(image, tools::box(x0, y, x1 - x0, 1), fade);
}

}  // namespace pictures
