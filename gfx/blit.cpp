#include "gfx/blit.hpp"

#include <algorithm>
#include <cstring>

#include "gfx/pixel.hpp"

namespace gfx {
namespace {

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;

int reduce(const Canvas& canvas, Fixed value) { return canvas.coordinateMode == 1 ? toPixels(value) : value; }

struct Rect {
  int x, y, width, height, sourceX, sourceY;
};

// Reduces the six coordinates of a rectangle operation to pixels.
Rect reduceRect(const Canvas& canvas, Fixed x, Fixed y, Fixed width, Fixed height, Fixed sourceX, Fixed sourceY) {
  return {reduce(canvas, x),     reduce(canvas, y),       reduce(canvas, width),
          reduce(canvas, height), reduce(canvas, sourceX), reduce(canvas, sourceY)};
}

bool sourceInside(const Rect& r, int sourceWidth, int sourceHeight) {
  return r.width > 0 && r.height > 0 && r.sourceX >= 0 && r.sourceY >= 0 && r.sourceX + r.width <= sourceWidth &&
         r.sourceY + r.height <= sourceHeight;
}

// Clips left and top by moving into the source, right and bottom by shortening.
// False when nothing is left to draw.
bool clip(Rect& r, int clipWidth, int clipHeight) {
  if (r.x < 0) {
    r.width += r.x;
    r.sourceX -= r.x;
    r.x = 0;
  }
  if (r.y < 0) {
    r.height += r.y;
    r.sourceY -= r.y;
    r.y = 0;
  }
  r.width = std::min(r.width, clipWidth - r.x);
  r.height = std::min(r.height, clipHeight - r.y);
  return r.width > 0 && r.height > 0;
}

std::ptrdiff_t destinationIndex(const Canvas& canvas, int x, int y) {
  return static_cast<std::ptrdiff_t>(x) * canvas.xStep + static_cast<std::ptrdiff_t>(y) * canvas.yStep;
}

// Copies a clipped rectangle from rows of `sourceStride` pixels, opaque or keyed.
void copyRect(Canvas& canvas, const Rect& r, const std::uint16_t* source, int sourceStride, std::int32_t colourKey) {
  const std::uint16_t* from = source + r.sourceX + static_cast<std::ptrdiff_t>(sourceStride) * r.sourceY;
  std::uint16_t* to = canvas.pixelBlock() + destinationIndex(canvas, r.x, r.y);
  const bool contiguous = canvas.xStep == 1;
  if (colourKey == kNoColourKey && contiguous) {
    for (int row = 0; row < r.height; ++row) {
      std::memcpy(to, from, static_cast<std::size_t>(r.width) * sizeof(std::uint16_t));
      to += canvas.yStep;
      from += sourceStride;
    }
    return;
  }
  const bool keyed = colourKey != kNoColourKey;
  const std::uint16_t key = colourToPixel(static_cast<std::uint32_t>(colourKey));
  for (int row = 0; row < r.height; ++row) {
    std::uint16_t* out = to;
    for (int column = 0; column < r.width; ++column) {
      if (!keyed || from[column] != key) *out = from[column];
      out += canvas.xStep;
    }
    to += canvas.yStep;
    from += sourceStride;
  }
}

int clipWidthOf(const Canvas& canvas) { return static_cast<int>(canvas.properties.cxWidth); }
int clipHeightOf(const Canvas& canvas) { return static_cast<int>(canvas.properties.cyHeight); }

// The common checks of the two screen-rectangle operations; false when there is nothing to do.
// `result` is what the operation returns then.
bool prepareScreenRect(Rect& r, const Canvas* source, int& result) {
  if (r.width == 0 || r.height == 0) {
    r.width = kScreenWidth;
    r.height = kScreenHeight;
  }
  if (source == nullptr || source->pixelBlock() == nullptr || !sourceInside(r, kScreenWidth, kScreenHeight)) {
    result = 0;
    return false;
  }
  result = 1;
  if (r.x > kScreenWidth || r.y > kScreenHeight) return false;
  return clip(r, kScreenWidth, kScreenHeight);
}

}  // namespace

int drawSprite(Canvas& canvas, Fixed x, Fixed y, Fixed width, Fixed height, const Surface* surface, Fixed sourceX,
               Fixed sourceY, std::int32_t colourKey) {
  Rect r = reduceRect(canvas, x, y, width, height, sourceX, sourceY);
  if (surface == nullptr) return 0;
  if (r.width == 0 || r.height == 0) {
    r.width = surface->width;
    r.height = surface->height;
  }
  if (surface->empty() || !sourceInside(r, surface->width, surface->height)) return 0;
  if (r.x > clipWidthOf(canvas) || r.y > clipHeightOf(canvas)) return 1;
  if (!clip(r, clipWidthOf(canvas), clipHeightOf(canvas))) return 1;
  copyRect(canvas, r, surface->pixels.data(), surface->width, colourKey);
  return 1;
}

int copyScreenRect(Canvas& canvas, Fixed x, Fixed y, Fixed width, Fixed height, const Canvas* source, Fixed sourceX,
                   Fixed sourceY, std::int32_t colourKey) {
  Rect r = reduceRect(canvas, x, y, width, height, sourceX, sourceY);
  int result = 0;
  if (!prepareScreenRect(r, source, result)) return result;
  copyRect(canvas, r, source->pixelBlock(), kScreenWidth, colourKey);
  return 1;
}

int blendScreenRect(Canvas& canvas, Fixed x, Fixed y, Fixed width, Fixed height, const Canvas* source, Fixed sourceX,
                    Fixed sourceY, int level) {
  Rect r = reduceRect(canvas, x, y, width, height, sourceX, sourceY);
  int result = 0;
  if (!prepareScreenRect(r, source, result)) return result;
  const std::uint16_t* from = source->pixelBlock() + r.sourceX + static_cast<std::ptrdiff_t>(kScreenWidth) * r.sourceY;
  std::uint16_t* to = canvas.pixelBlock() + destinationIndex(canvas, r.x, r.y);
  for (int row = 0; row < r.height; ++row) {
    std::uint16_t* out = to;
    for (int column = 0; column < r.width; ++column) {
      *out = mixPixels(from[column], *out, level);
      out += canvas.xStep;
    }
    to += canvas.yStep;
    from += kScreenWidth;
  }
  return 1;
}

int copyCanvas(Canvas& destination, const Canvas* source) {
  if (source == nullptr) return 0;
  std::memcpy(destination.pixelBlock(), source->pixelBlock(), Canvas::kBlockBytes);
  return 1;
}

int blendPoint(Canvas& canvas, Fixed x, Fixed y, std::uint32_t colour, int level) {
  const int px = reduce(canvas, x);
  const int py = reduce(canvas, y);
  if (px < 0 || py < 0 || px >= clipWidthOf(canvas) || py >= clipHeightOf(canvas)) return 0;
  std::uint16_t& pixel = canvas.pixelBlock()[destinationIndex(canvas, px, py)];
  pixel = mixPixels(colourToPixel(colour), pixel, level);
  return 1;
}

}  // namespace gfx
