#include "platform/sdl/sdl_backend.hpp"

namespace platform {

std::unique_ptr<SdlBackend> SdlBackend::create(const WindowSettings&, std::string& error) {
  error = "the window backend is not built yet";
  return nullptr;
}

std::unique_ptr<TextRasteriser> createTtfRasteriser() { return nullptr; }

}  // namespace platform
