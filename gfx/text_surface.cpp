#include "gfx/text_surface.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "gfx/pixel.hpp"
#include "platform/text_rasteriser.hpp"
#include "platform/unicode.hpp"

namespace gfx {
namespace {

constexpr std::int64_t kCharacterWidth = 12;
constexpr std::int64_t kLineHeight = 14;
// A text that would need more pixels than this is not rendered (its size is 0 x 0); the
// high-score list renders at most a few dozen characters.
constexpr std::int64_t kMaxTextPixels = 1 << 22;

}  // namespace

void textSize(std::size_t characters, int maxWidth, int& width, int& height) {
  width = 0;
  height = 0;
  if (characters > static_cast<std::size_t>(kMaxTextPixels)) return;
  const std::int64_t estimated = kCharacterWidth * static_cast<std::int64_t>(characters);
  std::int64_t w = 0;
  std::int64_t h = 0;
  if (estimated <= maxWidth) {
    w = estimated;
    h = kLineHeight;
  } else if (maxWidth > 0) {
    // A line of 12 n pixels does not fit: the text takes the whole width and as many lines
    // as the truncating division says, plus one.
    w = maxWidth;
    h = kLineHeight * (estimated / maxWidth + 1);
  }
  if (w * h > kMaxTextPixels) return;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
}

void renderText(TextSurface& surface, std::u16string_view text, std::uint32_t colour, int maxWidth) {
  surface.clear();
  surface.colour = colour;
  int width = 0;
  int height = 0;
  textSize(text.size(), maxWidth, width, height);
  if (width <= 0 || height <= 0) return;
  // Red, green and blue each replaced by 255 minus its value: white text on black.
  const std::uint32_t inverse = (colour & 0xFFFFFFu) ^ 0xFFFFFFu;
  std::vector<std::uint32_t> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), inverse);
  if (platform::TextRasteriser* rasteriser = platform::textRasteriser()) {
    rasteriser->render(platform::toUtf8(text), colour, width, height, rgb.data());
  }
  surface.width = width;
  surface.height = height;
  surface.pixels.resize(rgb.size());
  std::transform(rgb.begin(), rgb.end(), surface.pixels.begin(), colourToPixel);
}

}  // namespace gfx
