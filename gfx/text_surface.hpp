// Text known only at run time (the places, names and scores of the high-score list),
// rendered once into a picture and drawn every frame as hard-edged glyphs of one colour.
#pragma once

#include <cstdint>
#include <string_view>

#include "gfx/canvas.hpp"
#include "gfx/fixed.hpp"
#include "gfx/surface.hpp"

namespace gfx {

struct TextSurface : Surface {
  std::uint32_t colour = 0;  // 0x00BBGGRR
};

// Every character is reckoned 12 pixels wide and every line 14 high, whatever the font:
// n characters fit on one line of 12n pixels when 12n <= maxWidth, otherwise the text takes
// maxWidth and 14 x (12n / maxWidth + 1) pixels.
void textSize(std::size_t characters, int maxWidth, int& width, int& height);

// Renders `text` in `colour` on the inverse colour, wrapping words within the size above.
void renderText(TextSurface& surface, std::u16string_view text, std::uint32_t colour, int maxWidth);

// Draws only the pixels of the text colour, with the top-left corner at (x, y).
int drawText(Canvas& canvas, Fixed x, Fixed y, const TextSurface* text);

}  // namespace gfx
