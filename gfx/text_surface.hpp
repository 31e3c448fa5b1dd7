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

// The size in pixels of a text of `characters` UTF-16 units. Every character is reckoned
// 12 pixels wide and every line 14 high, whatever the font: n characters fit on one line of
// 12n pixels when 12n <= maxWidth, otherwise the text takes maxWidth and
// 14 x (12n / maxWidth + 1) pixels, the division truncating. 0 x 0 when it cannot be laid
// out (a maxWidth of 0 or less for a text that does not fit, or an absurdly long text).
void textSize(std::size_t characters, int maxWidth, int& width, int& height);

// Renders `text` in `colour` (0x00BBGGRR) on the inverse colour, wrapping words within the
// size above; maxWidth in pixels. Without a text rasteriser the picture is background only.
void renderText(TextSurface& surface, std::u16string_view text, std::uint32_t colour, int maxWidth);

// Draws only the pixels equal to the text colour, with the top-left corner at (x, y)
// (Fixed), clipped like drawSprite. 0 for a missing or empty text, otherwise 1.
int drawText(Canvas& canvas, Fixed x, Fixed y, const TextSurface* text);

}  // namespace gfx
