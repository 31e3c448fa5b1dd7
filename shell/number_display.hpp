// An integer shown as a row of glyphs cut from a strip of 16 equal cells: the digits, then
// ".", "+", "-", "*", "/", "=". The score, lives and level of a game are kept in these.
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <span>

#include "gfx/canvas.hpp"
#include "gfx/fixed.hpp"
#include "gfx/surface.hpp"

namespace shell {

class NumberDisplay {
 public:
  static constexpr std::int32_t kMinusGlyph = 12;

  // The numbers shown: the signed 32-bit lives and level, and the unsigned 32-bit score.
  static constexpr std::int64_t kLowest = INT32_MIN;
  static constexpr std::int64_t kHighest = UINT32_MAX;

  // The strip comes from the bitmap resource with that number.
  explicit NumberDisplay(int resourceNumber);

  // A value outside kLowest .. kHighest is held at the nearer end, so the text never needs
  // more than the 11 glyphs of "-2147483648".
  void setValue(std::int64_t value);
  std::int64_t value() const { return value_; }

  // Left-aligned at (x, y) (Fixed), growing to the right.
  void draw(gfx::Canvas& canvas, Fixed x, Fixed y, std::int32_t colourKey) const;

  std::span<const std::int32_t> glyphs() const { return {glyphs_.data(), static_cast<std::size_t>(length_)}; }

 private:
  std::array<std::int32_t, 12> glyphs_{};
  std::int64_t value_ = 0;
  std::int32_t length_ = 0;
  std::int32_t glyphWidth_ = 0;
  std::int32_t glyphHeight_ = 0;
  gfx::Surface strip_;
};

}  // namespace shell
