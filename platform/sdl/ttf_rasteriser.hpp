// Text over SDL2_ttf: a sans font found through fontconfig, drawn without anti-aliasing so
// that every glyph pixel has exactly the requested colour. Needs no window and no video.
#pragma once

#include <memory>
#include <string>

#include "platform/text_rasteriser.hpp"

namespace platform {

// The file of the font to draw with: fontconfig's match for DejaVu Sans (or any sans-serif
// font), else DejaVu Sans at its usual Debian path; empty when there is none.
std::string findTextFont();

class TtfRasteriser : public TextRasteriser {
 public:
  static constexpr int kLineHeight = 14;  // pixels from one line's top to the next
  static constexpr int kCellWidth = 12;   // pixels a character is reckoned to take

  // Null when SDL2_ttf cannot start or the font cannot be opened.
  static std::unique_ptr<TtfRasteriser> open(const std::string& fontFile);
  ~TtfRasteriser() override;
  TtfRasteriser(const TtfRasteriser&) = delete;
  TtfRasteriser& operator=(const TtfRasteriser&) = delete;

  void render(std::string_view utf8, std::uint32_t colour, int width, int height, std::uint32_t* pixels) override;

  int pointSize() const { return pointSize_; }

 private:
  struct Font;
  TtfRasteriser(Font* font, int pointSize, int shift);
  Font* font_;
  int pointSize_;
  int shift_;  // rows the rendered line moves down within its 14 (negative: up)
};

}  // namespace platform
