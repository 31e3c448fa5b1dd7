// A text rasteriser opened when text is first drawn. Finding the font through fontconfig and
// opening it cost more than everything else before the cover, which has no text, so the window
// shows the cover first and the font is looked for when the screens are built.
#pragma once

#include <functional>
#include <memory>

#include "platform/text_rasteriser.hpp"

namespace platform {

class DeferredTextRasteriser : public TextRasteriser {
 public:
  using Opener = std::function<std::unique_ptr<TextRasteriser>()>;

  // `open` runs once, at the first render; when it gives null, text stays background only,
  // as without a rasteriser.
  explicit DeferredTextRasteriser(Opener open);

  void render(std::string_view utf8, std::uint32_t colour, int width, int height, std::uint32_t* pixels) override;

 private:
  Opener open_;
  std::unique_ptr<TextRasteriser> opened_;
};

}  // namespace platform
