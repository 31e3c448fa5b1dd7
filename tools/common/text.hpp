// Text for the picture tools: UTF-8 strings rasterised by FreeType into coverage masks, with
// hinting for crisp small text, optional slant and letter spacing.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tools/common/raster.hpp"

namespace tools {

struct TextStyle {
  float size = 12;     // pixels per em
  float slant = 0;     // horizontal shear, 0.2 for a sporty italic
  float tracking = 0;  // extra pixels between letters
  bool mono = false;   // one-bit glyphs: hard edges, no grey pixels
};

// A line of text as coverage. The mask has a margin of `kTextMargin` pixels on every side;
// the pen starts at x = kTextMargin on the baseline.
struct TextMask {
  Mask mask;
  int baseline = 0;  // row of the baseline in the mask
  int advance = 0;   // width of the text from pen start to pen end, pixels
  int ascent = 0;    // pixels from the baseline to the top of the tallest glyph
  int descent = 0;   // pixels from the baseline to the bottom of the lowest glyph
};
constexpr int kTextMargin = 8;

class Font {
 public:
  // Exits the tool with a message when the file cannot be read: pictures without their text
  // must not be made.
  explicit Font(const std::string& path);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  TextMask render(std::string_view utf8, const TextStyle& style) const;
  int measure(std::string_view utf8, const TextStyle& style) const;
  // Ascent of capital letters (the height of "H") at that size, pixels.
  int capHeight(const TextStyle& style) const;

 private:
  struct Face;
  std::unique_ptr<Face> face_;
  std::string path_;
};

}  // namespace tools
