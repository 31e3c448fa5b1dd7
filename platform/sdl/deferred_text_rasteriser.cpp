#include "platform/sdl/deferred_text_rasteriser.hpp"

#include <utility>

namespace platform {

DeferredTextRasteriser::DeferredTextRasteriser(Opener open) : open_(std::move(open)) {}

void DeferredTextRasteriser::render(std::string_view utf8, std::uint32_t colour, int width, int height,
                                    std::uint32_t* pixels) {
  if (open_) {
    opened_ = open_();
    open_ = nullptr;
  }
  if (opened_) opened_->render(utf8, colour, width, height, pixels);
}

}  // namespace platform
