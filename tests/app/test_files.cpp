#include "tests/app/test_files.hpp"

#include <png.h>

#include <fstream>
#include <vector>

#include "gfx/pixel.hpp"

namespace app_test {
namespace {

void put16(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value));
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  put16(bytes, value & 0xFFFFu);
  put16(bytes, value >> 16);
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

void writeWav(const std::string& path, int milliseconds) {
  const std::uint32_t samples = static_cast<std::uint32_t>(milliseconds) * 8;
  std::vector<std::uint8_t> bytes{'R', 'I', 'F', 'F'};
  put32(bytes, 36 + samples);
  bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(bytes, 16);
  put16(bytes, 1);      // PCM
  put16(bytes, 1);      // mono
  put32(bytes, 8000);   // samples a second
  put32(bytes, 8000);   // bytes a second
  put16(bytes, 1);      // block alignment
  put16(bytes, 8);      // bits per sample
  bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
  put32(bytes, samples);
  bytes.insert(bytes.end(), samples, 0x80);
  writeBytes(path, bytes);
}

void writePng(const std::string& path, int width, int height, const std::function<Rgb(int x, int y)>& colourAt) {
  std::vector<std::uint8_t> rgb;
  rgb.reserve(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = colourAt(x, y);
      rgb.insert(rgb.end(), {c.red, c.green, c.blue});
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
  png_image_free(&image);
}

void writeFlatPng(const std::string& path, int width, int height, Rgb colour) {
  writePng(path, width, height, [colour](int, int) { return colour; });
}

void writeLevelMap(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  for (int cell = 0; cell < 50 * 16 * 12; ++cell) put32(bytes, 10);
  writeBytes(path, bytes);
}

std::uint16_t pixelOf(Rgb colour) { return gfx::packRgb(colour.red, colour.green, colour.blue); }

}  // namespace app_test
