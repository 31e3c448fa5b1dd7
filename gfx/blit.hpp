// The drawing operations: rectangles of pictures and canvases copied, keyed or mixed into a
// Canvas, and single mixed points. Positions and sizes are Fixed (the Canvas's coordinate
// mode 1) and reduced to whole pixels by an arithmetic shift. Each returns 1 when it ran,
// clipped away entirely included, and 0 when its arguments are invalid or when the Canvas's
// reported size and pitches would reach outside its block (see Canvas::holds).
#pragma once

#include <cstdint>

#include "gfx/canvas.hpp"
#include "gfx/fixed.hpp"
#include "gfx/surface.hpp"

namespace gfx {

// Width or height 0 means the whole picture (source x and y still apply). The source
// rectangle must lie inside the picture (it is never clipped: one pixel past it returns 0
// even when the Canvas would clip it away); the destination is clipped to the Canvas's
// cxWidth x cyHeight. colourKey -1 is opaque; any other colour (0x00BBGGRR) is not drawn.
int drawSprite(Canvas& canvas, Fixed x, Fixed y, Fixed width, Fixed height, const Surface* surface, Fixed sourceX,
               Fixed sourceY, std::int32_t colourKey);

// The source Canvas is read as a plain 240-pixel-wide picture; width or height 0 means
// 240 x 320; clipping against 240 x 320.
int copyScreenRect(Canvas& canvas, Fixed x, Fixed y, Fixed width, Fixed height, const Canvas* source, Fixed sourceX,
                   Fixed sourceY, std::int32_t colourKey);

// As copyScreenRect, mixing the source over the destination at `level` (0 .. 31; values
// outside are taken as the nearest end): (new x level + old x (31 - level)) >> 5 per field.
int blendScreenRect(Canvas& canvas, Fixed x, Fixed y, Fixed width, Fixed height, const Canvas* source, Fixed sourceX,
                    Fixed sourceY, int level);

// The whole 153,602-byte block, spare pixel included. 0 without a source.
int copyCanvas(Canvas& destination, const Canvas* source);

// Mixes `colour` (0x00BBGGRR) into one pixel at `level`; 0 outside the Canvas's
// cxWidth x cyHeight.
int blendPoint(Canvas& canvas, Fixed x, Fixed y, std::uint32_t colour, int level);

}  // namespace gfx
