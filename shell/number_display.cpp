#include "shell/number_display.hpp"

#include <algorithm>
#include <string>

#include "gfx/blit.hpp"

namespace shell {

NumberDisplay::NumberDisplay(int resourceNumber) {
  gfx::loadPictureResource(strip_, resourceNumber);
  glyphWidth_ = strip_.width / 16;
  glyphHeight_ = strip_.height;
}

void NumberDisplay::setValue(std::int64_t value) {
  value_ = std::clamp(value, kLowest, kHighest);
  length_ = 0;
  for (const char c : std::to_string(value_)) {
    glyphs_[static_cast<std::size_t>(length_++)] = c == '-' ? kMinusGlyph : c - '0';
  }
}

void NumberDisplay::draw(gfx::Canvas& canvas, Fixed x, Fixed y, std::int32_t colourKey) const {
  // A strip narrower than 16 pixels has no glyphs; a width of 0 would mean the whole strip.
  if (glyphWidth_ <= 0) return;
  for (std::int32_t i = 0; i < length_; ++i) {
    gfx::drawSprite(canvas, x + toFixed(i * glyphWidth_), y, toFixed(glyphWidth_), toFixed(glyphHeight_), &strip_,
                    toFixed(glyphs_[static_cast<std::size_t>(i)] * glyphWidth_), 0, colourKey);
  }
}

}  // namespace shell
