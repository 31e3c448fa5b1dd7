#include "gfx/blit.hpp"

#include <algorithm>
#include <cstring>

#include "gfx/pixel.hpp"
#include "gfx/text_surface.hpp"
#include "platform/display_device.hpp"

namespace gfx {
namespace {

// 64 bits throughout: a Canvas not in coordinate mode 1 hands its values over unshifted,
// and sums such as source x + width must not wrap on them.
using Coordinate = std::int64_t;

Coordinate reduce(const Canvas& canvas, Fixed value) { return canvas.coordinateMode == 1 ? toPixels(value) : value; }

struct Rect {
  Coordinate x, y, width, height, sourceX, sourceY;
};

Rect reduceRect(const Canvas& canvas, Fixed x, Fixed y, Fixed width, Fixed height, Fixed sourceX, Fixed sourceY) {
  return {reduce(canvas, x),      reduce(canvas, y),       reduce(canvas, width),
          reduce(canvas, height), reduce(canvas, sourceX), reduce(canvas, sourceY)};
}

// The source rectangle must lie wholly inside the source; it is never clipped against it.
bool sourceInside(const Rect& r, Coordinate sourceWidth, Coordinate sourceHeight) {
  return r.width > 0 && r.height > 0 && r.sourceX >= 0 && r.sourceY >= 0 && r.sourceX + r.width <= sourceWidth &&
         r.sourceY + r.height <= sourceHeight;
}

// Entirely past the right or bottom edge (drawn nothing, yet a valid call), then left and
// top clipped by moving into the source, right and bottom by shortening. False when
// nothing is left to draw.
bool clip(Rect& r, Coordinate clipWidth, Coordinate clipHeight) {
  if (r.x > clipWidth || r.y > clipHeight) return false;
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

Coordinate clipWidthOf(const Canvas& canvas) { return canvas.properties.cxWidth; }
Coordinate clipHeightOf(const Canvas& canvas) { return canvas.properties.cyHeight; }

std::uint16_t* destination(Canvas& canvas, const Rect& r) {
  return canvas.pixelBlock() + (r.x * canvas.xStep + r.y * canvas.yStep);
}

// The row loops. Destination rows advance by yStep and pixels by xStep; source rows by
// their stride. Contiguous destination rows (xStep 1, every layout the game meets) get the
// tight loops: opaque rows as block copies, and keyed rows as a select the compiler can
// turn into vector blends (writing back a pixel's own value is the same as not writing it).
struct Run {
  std::uint16_t* to;
  std::ptrdiff_t xStep;
  std::ptrdiff_t yStep;
  const std::uint16_t* from;
  std::ptrdiff_t sourceStride;
  std::ptrdiff_t width;
  std::ptrdiff_t height;
};

void copyOpaque(Run run) {
  const std::size_t rowBytes = static_cast<std::size_t>(run.width) * sizeof(std::uint16_t);
  for (std::ptrdiff_t row = 0; row < run.height; ++row, run.to += run.yStep, run.from += run.sourceStride) {
    if (run.xStep == 1) {
      std::memmove(run.to, run.from, rowBytes);  // a Canvas may be copied onto itself
    } else {
      for (std::ptrdiff_t column = 0; column < run.width; ++column) run.to[column * run.xStep] = run.from[column];
    }
  }
}

void copyKeyed(Run run, std::uint16_t key) {
  for (std::ptrdiff_t row = 0; row < run.height; ++row, run.to += run.yStep, run.from += run.sourceStride) {
    if (run.xStep == 1) {
      std::uint16_t* const to = run.to;
      const std::uint16_t* const from = run.from;
      for (std::ptrdiff_t column = 0; column < run.width; ++column) to[column] = from[column] != key ? from[column] : to[column];
    } else {
      for (std::ptrdiff_t column = 0; column < run.width; ++column) {
        if (run.from[column] != key) run.to[column * run.xStep] = run.from[column];
      }
    }
  }
}

void copyRun(const Run& run, std::int32_t colourKey) {
  if (colourKey == kNoColourKey) {
    copyOpaque(run);
  } else {
    copyKeyed(run, colourToPixel(static_cast<std::uint32_t>(colourKey)));
  }
}

// Only the pixels equal to `ink`, for text.
void copyInk(Run run, std::uint16_t ink) {
  for (std::ptrdiff_t row = 0; row < run.height; ++row, run.to += run.yStep, run.from += run.sourceStride) {
    if (run.xStep == 1) {
      std::uint16_t* const to = run.to;
      const std::uint16_t* const from = run.from;
      for (std::ptrdiff_t column = 0; column < run.width; ++column) to[column] = from[column] == ink ? ink : to[column];
    } else {
      for (std::ptrdiff_t column = 0; column < run.width; ++column) {
        if (run.from[column] == ink) run.to[column * run.xStep] = ink;
      }
    }
  }
}

void mixInto(Run run, int level) {
  for (std::ptrdiff_t row = 0; row < run.height; ++row, run.to += run.yStep, run.from += run.sourceStride) {
    if (run.xStep == 1) {
      std::uint16_t* const to = run.to;
      const std::uint16_t* const from = run.from;
      for (std::ptrdiff_t column = 0; column < run.width; ++column) to[column] = mixPixels(from[column], to[column], level);
    } else {
      for (std::ptrdiff_t column = 0; column < run.width; ++column) {
        std::uint16_t& pixel = run.to[column * run.xStep];
        pixel = mixPixels(run.from[column], pixel, level);
      }
    }
  }
}

Run runOf(Canvas& canvas, const Rect& r, const std::uint16_t* source, Coordinate sourceStride) {
  return {destination(canvas, r), canvas.xStep,      canvas.yStep, source + (r.sourceX + sourceStride * r.sourceY),
          sourceStride,           r.width,           r.height};
}

// The checks and clipping shared by the two screen-rectangle operations. Returns -1 when
// the copy goes ahead, otherwise the operation's result.
int prepareScreenRect(const Canvas& canvas, Rect& r, const Canvas* source) {
  if (r.width == 0 || r.height == 0) {
    r.width = platform::kScreenWidth;
    r.height = platform::kScreenHeight;
  }
  if (source == nullptr || source->pixelBlock() == nullptr) return 0;
  if (!sourceInside(r, platform::kScreenWidth, platform::kScreenHeight)) return 0;
  if (!canvas.holds(platform::kScreenWidth, platform::kScreenHeight)) return 0;
  if (!clip(r, platform::kScreenWidth, platform::kScreenHeight)) return 1;
  return -1;
}

}  // namespace

int drawSprite(Canvas& canvas, Fixed x, Fixed y, Fixed width, Fixed height, const Surface* surface, Fixed sourceX,
               Fixed sourceY, std::int32_t colourKey) {
  Rect r = reduceRect(canvas, x, y, width, height, sourceX, sourceY);
  if (surface == nullptr || surface->empty()) return 0;
  if (r.width == 0 || r.height == 0) {
    r.width = surface->width;
    r.height = surface->height;
  }
  if (!sourceInside(r, surface->width, surface->height) || !surface->consistent()) return 0;
  if (!canvas.holds(canvas.properties.cxWidth, canvas.properties.cyHeight)) return 0;
  if (!clip(r, clipWidthOf(canvas), clipHeightOf(canvas))) return 1;
  copyRun(runOf(canvas, r, surface->pixels.data(), surface->width), colourKey);
  return 1;
}

int copyScreenRect(Canvas& canvas, Fixed x, Fixed y, Fixed width, Fixed height, const Canvas* source, Fixed sourceX,
                   Fixed sourceY, std::int32_t colourKey) {
  Rect r = reduceRect(canvas, x, y, width, height, sourceX, sourceY);
  if (const int result = prepareScreenRect(canvas, r, source); result >= 0) return result;
  copyRun(runOf(canvas, r, source->pixelBlock(), platform::kScreenWidth), colourKey);
  return 1;
}

int blendScreenRect(Canvas& canvas, Fixed x, Fixed y, Fixed width, Fixed height, const Canvas* source, Fixed sourceX,
                    Fixed sourceY, int level) {
  Rect r = reduceRect(canvas, x, y, width, height, sourceX, sourceY);
  if (const int result = prepareScreenRect(canvas, r, source); result >= 0) return result;
  mixInto(runOf(canvas, r, source->pixelBlock(), platform::kScreenWidth), level);
  return 1;
}

int copyCanvas(Canvas& destination, const Canvas* source) {
  if (source == nullptr || source->pixelBlock() == nullptr || destination.pixelBlock() == nullptr) return 0;
  if (source != &destination) std::memcpy(destination.pixelBlock(), source->pixelBlock(), Canvas::kBlockBytes);
  return 1;
}

int blendPoint(Canvas& canvas, Fixed x, Fixed y, std::uint32_t colour, int level) {
  const Coordinate px = reduce(canvas, x);
  const Coordinate py = reduce(canvas, y);
  if (px < 0 || py < 0 || px >= clipWidthOf(canvas) || py >= clipHeightOf(canvas)) return 0;
  const Coordinate index = px * canvas.xStep + py * canvas.yStep;
  if (index < 0 || index >= static_cast<Coordinate>(Canvas::kBlockPixels)) return 0;
  std::uint16_t& pixel = canvas.pixelBlock()[index];
  pixel = mixPixels(colourToPixel(colour), pixel, level);
  return 1;
}

int drawText(Canvas& canvas, Fixed x, Fixed y, const TextSurface* text) {
  if (text == nullptr || text->empty() || text->width <= 0 || text->height <= 0 || !text->consistent()) return 0;
  Rect r{reduce(canvas, x), reduce(canvas, y), text->width, text->height, 0, 0};
  if (!canvas.holds(canvas.properties.cxWidth, canvas.properties.cyHeight)) return 0;
  if (!clip(r, clipWidthOf(canvas), clipHeightOf(canvas))) return 1;
  copyInk(runOf(canvas, r, text->pixels.data(), text->width), colourToPixel(text->colour));
  return 1;
}

}  // namespace gfx
