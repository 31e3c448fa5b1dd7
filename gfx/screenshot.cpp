#include "gfx/screenshot.hpp"

#include <png.h>

#include <cstring>
#include <vector>

#include "platform/display_device.hpp"

namespace gfx {

std::uint64_t frameHash(const Canvas& canvas) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(canvas.pixelBlock());
  for (std::size_t i = 0; i < Canvas::kFrameBytes; ++i) {
    hash ^= bytes[i];
    hash *= 0x100000001b3ull;
  }
  return hash;
}

bool saveScreenshot(const Canvas& canvas, const std::string& path) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(platform::kScreenWidth) * platform::kScreenHeight * 3);
  const std::uint16_t* pixels = canvas.pixelBlock();
  for (std::size_t i = 0; i < static_cast<std::size_t>(platform::kScreenWidth) * platform::kScreenHeight; ++i) {
    const unsigned p = pixels[i];
    const unsigned red = (p >> 11) & 31u;
    const unsigned green = (p >> 5) & 63u;
    const unsigned blue = p & 31u;
    rgb[3 * i] = static_cast<std::uint8_t>(red << 3 | red >> 2);
    rgb[3 * i + 1] = static_cast<std::uint8_t>(green << 2 | green >> 4);
    rgb[3 * i + 2] = static_cast<std::uint8_t>(blue << 3 | blue >> 2);
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = platform::kScreenWidth;
  image.height = platform::kScreenHeight;
  image.format = PNG_FORMAT_RGB;
  const bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

}  // namespace gfx
