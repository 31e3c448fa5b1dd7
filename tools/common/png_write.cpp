#include "tools/common/png_write.hpp"

#include <png.h>

#include <cstdio>
#include <cstring>

namespace tools {
namespace {

bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& pixels,
              png_uint_32 format) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = format;
  const std::size_t needed = PNG_IMAGE_SIZE(image);
  if (pixels.size() != needed) {
    std::fprintf(stderr, "%s: %zu bytes of pixels for %d x %d, expected %zu\n", path.c_str(), pixels.size(), width,
                 height, needed);
    return false;
  }
  const int ok = png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr);
  if (ok == 0) std::fprintf(stderr, "%s: %s\n", path.c_str(), image.message);
  png_image_free(&image);
  return ok != 0;
}

}  // namespace

bool writePngRgb(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb) {
  return writePng(path, width, height, rgb, PNG_FORMAT_RGB);
}

bool writePngRgba(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba) {
  return writePng(path, width, height, rgba, PNG_FORMAT_RGBA);
}

bool readPngRgba(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgba) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return false;
  image.format = PNG_FORMAT_RGBA;
  rgba.assign(PNG_IMAGE_SIZE(image), 0);
  const int ok = png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr);
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  png_image_free(&image);
  return ok != 0;
}

}  // namespace tools
