// Text rasterising: the stand-in for drawing text with the platform's default font.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

class TextRasteriser {
 public:
  virtual ~TextRasteriser() = default;
  // Draws `utf8` into `pixels` (width x height, top row first, colours 0x00BBGGRR), which
  // the caller has filled with the background. Glyph pixels get exactly `colour`: no
  // anti-aliasing. Words wrap within the width; lines start at the top left, 14 pixels apart.
  virtual void render(std::string_view utf8, std::uint32_t colour, int width, int height,
                      std::uint32_t* pixels) = 0;
};

// The installed rasteriser, or null: then rendered text stays background only.
TextRasteriser* textRasteriser();
void setTextRasteriser(TextRasteriser* rasteriser);

}  // namespace platform
