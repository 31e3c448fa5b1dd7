// The look shared by every picture: the palette, the fonts, styled text and the recurring
// pieces of the screens (backdrop, titles, buttons, panels, key caps).
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/display_device.hpp"
#include "tools/common/raster.hpp"
#include "tools/common/shapes.hpp"
#include "tools/common/text.hpp"

namespace pictures {

// The full-screen pictures are drawn at the size of the game's screen.
using platform::kScreenHeight;
using platform::kScreenWidth;

using tools::Colour;
using tools::darken;
using tools::hex;
using tools::Image;
using tools::lighten;
using tools::Mask;
using tools::mix;
using tools::Paint;
using tools::Point;
using tools::Sdf;
using tools::withAlpha;

// Shapes of the screens are filled with 4 x 4 samples a pixel, for smooth edges.
inline void fill(Image& image, const Sdf& shape, const Paint& paint) { tools::fillShape(image, shape, paint, 1, 4); }
inline void fill(Image& image, const Sdf& shape, Colour c) { fill(image, shape, tools::solid(c)); }

namespace palette {
// Night sky: the backgrounds, darkest first.
inline const Colour kNight = tools::hex(0x05071A);
inline const Colour kDeep = tools::hex(0x0C1130);
inline const Colour kDusk = tools::hex(0x18204C);
inline const Colour kSlate = tools::hex(0x2A3468);
inline const Colour kSteel = tools::hex(0x4B5A9E);
inline const Colour kMist = tools::hex(0x8F9DDB);
// Text.
inline const Colour kText = tools::hex(0xF3F5FF);
inline const Colour kTextDim = tools::hex(0xB4BEE6);
inline const Colour kTextMuted = tools::hex(0x7580B0);
// Accents.
inline const Colour kCyan = tools::hex(0x3DE3FF);
inline const Colour kGold = tools::hex(0xFFD43B);
inline const Colour kAmber = tools::hex(0xFF9A1F);
inline const Colour kEmber = tools::hex(0xFF4A26);  // orange-red, the big digits
inline const Colour kMagenta = tools::hex(0xFF3DB4);
inline const Colour kViolet = tools::hex(0x9A5CFF);
inline const Colour kOutline = tools::hex(0x140A26);  // dark rim around bright text
// The play field, behind the sprites: soft sprite edges are blended into it.
inline const Colour kField = tools::hex(0x0A0F28);
// Behind the numbers drawn at run time: the panel's number slots, the band of the big digits.
inline const Colour kSlot = tools::hex(0x080B1E);
inline const Colour kBand = tools::hex(0x0B0F2C);
// Brick colours by picture row: red, orange, yellow, lime, green, cyan, blue, violet,
// magenta, silver.
inline const std::array<Colour, 10> kBrick = {
    tools::hex(0xE83A3F), tools::hex(0xF5862A), tools::hex(0xF2CF2E), tools::hex(0xA3DE38), tools::hex(0x30BE58),
    tools::hex(0x28C8DA), tools::hex(0x3A78F0), tools::hex(0x8A55E8), tools::hex(0xE04BC8), tools::hex(0xB9C1CF)};
}  // namespace palette

struct Fonts {
  tools::Font sans;
  tools::Font bold;
  tools::Font mono;
  tools::Font monoBold;
  tools::Font serifBold;
};
const Fonts& fonts();

enum class Align { Left, Centre, Right };

struct LabelStyle {
  const tools::Font* font = nullptr;
  tools::TextStyle text;
  Colour top = palette::kText;     // fill at the top of the capitals
  Colour bottom = palette::kText;  // fill at the baseline
  float outline = 0;               // width of the dark rim, pixels
  Colour outlineColour = palette::kOutline;
  int shadowDx = 0;  // drop shadow offset; no shadow when both are 0
  int shadowDy = 0;
  Colour shadowColour = tools::withAlpha(palette::kNight, 0.8F);
  float glow = 0;  // blur radius of a soft halo; none when 0
  Colour glowColour = palette::kCyan;
  float stripes = 0;  // strength of slanted dark stripes across the letters (the logo's)
};

LabelStyle bodyStyle(float size, Colour colour = palette::kTextDim);
LabelStyle boldStyle(float size, Colour colour = palette::kText);

// Draws one line with its baseline at `baseline`; x is the left end, the centre or the right
// end by `align`. Returns the advance in pixels.
int drawLabel(Image& image, std::string_view text, float x, int baseline, Align align, const LabelStyle& style);
int measureLabel(std::string_view text, const LabelStyle& style);
// The lines of word-wrapped text within `width` pixels; "\n" forces a break.
std::vector<std::string> wrapText(std::string_view text, int width, const LabelStyle& style);
// Word-wrapped text within `width` pixels from its left end x; returns the baseline after the
// last line.
int drawParagraph(Image& image, std::string_view text, int x, int baseline, int width, int lineHeight,
                  const LabelStyle& style, Align align = Align::Left);

// The night backdrop of the menus and full-screen pictures: a dark gradient with a glow at
// the top, faint slanted stripes and a few stars. `hue` tints it (0 blue night, 1 violet,
// 2 green, 3 red); `stars` scales how many stars there are (fewer behind text).
Image backdrop(int width, int height, int hue = 0, std::uint32_t seed = 1, float stars = 1);

// The game's name in the title lettering, centred on cx.
void drawLogo(Image& image, float cx, int baseline, float size);
// A heading in the title lettering.
void drawTitle(Image& image, std::string_view text, float cx, int baseline, float size,
               Colour top = palette::kGold, Colour bottom = palette::kAmber);
// A small centred line of dim text (instructions at the foot of a screen).
void drawHint(Image& image, std::string_view text, int baseline, Colour colour = palette::kTextMuted);

// A rounded glass panel: dark translucent fill, light rim.
void drawPanel(Image& image, float x, float y, float w, float h, float radius, Colour tint = palette::kSlate,
               float opacity = 0.72F);
// A raised rounded button, plain or lit (selected).
void drawButton(Image& image, float x, float y, float w, float h, float radius, bool lit, Colour accent = palette::kCyan);
// A keyboard key cap with a label; `lit` for the selected key.
void drawKeyCap(Image& image, float x, float y, float w, float h, std::string_view label, bool lit, float size = 10);
// A thin horizontal rule that fades out at both ends.
void drawRule(Image& image, float x0, float x1, float y, Colour colour = palette::kSteel);

}  // namespace pictures
