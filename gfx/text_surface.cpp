#include "gfx/text_surface.hpp"

#include <algorithm>
#include <vector>

#include "gfx/pixel.hpp"
#include "platform/text_rasteriser.hpp"
#include "platform/unicode.hpp"

namespace gfx {

void textSize(std::size_t characters, int maxWidth, int& width, int& height) {
  const long long estimated = 12LL * static_cast<long long>(characters);
  if (maxWidth <= 0) {
    width = 0;
    height = 0;
  } else if (estimated <= maxWidth) {
    width = static_cast<int>(estimated);
    height = 14;
  } else {
    width = maxWidth;
    height = static_cast<int>(14 * (estimated / maxWidth + 1));
  }
}

void renderText(TextSurface& surface, std::u16string_view text, std::uint32_t colour, int maxWidth) {
  surface.clear();
  surface.colour = colour;
  int width = 0;
  int height = 0;
  textSize(text.size(), maxWidth, width, height);
  if (width <= 0 || height <= 0) return;
  const std::uint32_t inverse = (colour ^ 0xFFFFFFu) & 0xFFFFFFu;
  std::vector<std::uint32_t> rgb(static_cast<std::size_t>(width) * height, inverse);
  if (platform::TextRasteriser* rasteriser = platform::textRasteriser()) {
    rasteriser->render(platform::toUtf8(text), colour, width, height, rgb.data());
  }
  surface.width = width;
  surface.height = height;
  surface.pixels.resize(rgb.size());
  std::transform(rgb.begin(), rgb.end(), surface.pixels.begin(), colourToPixel);
}

int drawText(Canvas& canvas, Fixed x, Fixed y, const TextSurface* text) {
  if (text == nullptr || text->empty() || text->width <= 0 || text->height <= 0) return 0;
  int px = canvas.coordinateMode == 1 ? toPixels(x) : x;
  int py = canvas.coordinateMode == 1 ? toPixels(y) : y;
  const int clipWidth = static_cast<int>(canvas.properties.cxWidth);
  const int clipHeight = static_cast<int>(canvas.properties.cyHeight);
  if (px > clipWidth || py > clipHeight) return 1;
  int width = text->width;
  int height = text->height;
  int sourceX = 0;
  int sourceY = 0;
  if (px < 0) {
    width += px;
    sourceX = -px;
    px = 0;
  }
  if (py < 0) {
    height += py;
    sourceY = -py;
    py = 0;
  }
  width = std::min(width, clipWidth - px);
  height = std::min(height, clipHeight - py);
  if (width <= 0 || height <= 0) return 1;
  const std::uint16_t ink = colourToPixel(text->colour);
  for (int row = 0; row < height; ++row) {
    const std::uint16_t* from = text->pixels.data() + static_cast<std::size_t>(sourceY + row) * text->width + sourceX;
    for (int column = 0; column < width; ++column) {
      if (from[column] == ink) canvas.at(px + column, py + row) = ink;
    }
  }
  return 1;
}

}  // namespace gfx
