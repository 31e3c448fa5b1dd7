#include "tests/support/test_files.hpp"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace testing_support {
namespace {

void put(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

int channelsOf(int colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;  // grey, or a palette index
  }
}

// One row packed as the file stores it: big-endian 16-bit samples, or several samples to a
// byte, the leftmost in the high bits.
std::vector<png_byte> packRow(const PngPicture& picture, int y) {
  const int perRow = picture.width * channelsOf(picture.colourType);
  const std::uint16_t* samples = picture.samples.data() + static_cast<std::size_t>(y) * perRow;
  std::vector<png_byte> row;
  if (picture.bitDepth >= 8) {
    for (int i = 0; i < perRow; ++i) {
      if (picture.bitDepth == 16) row.push_back(static_cast<png_byte>(samples[i] >> 8));
      row.push_back(static_cast<png_byte>(samples[i] & 0xFF));
    }
    return row;
  }
  row.assign(static_cast<std::size_t>((perRow * picture.bitDepth + 7) / 8), 0);
  for (int i = 0; i < perRow; ++i) {
    const int bit = i * picture.bitDepth;
    row[static_cast<std::size_t>(bit / 8)] |= static_cast<png_byte>(samples[i] << (8 - picture.bitDepth - bit % 8));
  }
  return row;
}

}  // namespace

std::vector<std::uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> wavBytes(const WavFormat& format, const std::vector<std::uint8_t>& samples) {
  std::vector<std::uint8_t> bytes{'R', 'I', 'F', 'F'};
  put(bytes, static_cast<std::uint32_t>(36 + samples.size()), 4);
  bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put(bytes, 16, 4);
  put(bytes, format.formatTag, 2);
  put(bytes, format.channels, 2);
  put(bytes, format.samplesPerSecond, 4);
  put(bytes, format.avgBytesPerSecond, 4);
  put(bytes, format.blockAlign, 2);
  put(bytes, format.bitsPerSample, 2);
  bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
  put(bytes, static_cast<std::uint32_t>(samples.size()), 4);
  bytes.insert(bytes.end(), samples.begin(), samples.end());
  return bytes;
}

void writeWav(const std::string& path, int milliseconds) {
  writeBytes(path, wavBytes({}, std::vector<std::uint8_t>(static_cast<std::size_t>(milliseconds) * 8, 0x80)));
}

bool writePng(const std::string& path, const PngPicture& picture) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  std::vector<std::vector<png_byte>> rows;
  std::vector<png_bytep> rowPointers;
  for (int y = 0; y < picture.height; ++y) rows.push_back(packRow(picture, y));
  for (auto& row : rows) rowPointers.push_back(row.data());
  std::vector<png_color> palette;
  for (std::size_t i = 0; i + 2 < picture.palette.size(); i += 3) {
    palette.push_back({picture.palette[i], picture.palette[i + 1], picture.palette[i + 2]});
  }
  volatile bool ok = png != nullptr && info != nullptr;
  if (ok && setjmp(png_jmpbuf(png)) != 0) ok = false;
  if (ok) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height),
                 picture.bitDepth, picture.colourType, picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!picture.paletteAlpha.empty()) {
      png_set_tRNS(png, info, picture.paletteAlpha.data(), static_cast<int>(picture.paletteAlpha.size()), nullptr);
    }
    if (picture.hasTransparentColour) {
      png_color_16 colour{};
      colour.gray = colour.red = picture.transparent[0];
      colour.green = picture.transparent[1];
      colour.blue = picture.transparent[2];
      png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    png_write_info(png, info);
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(png != nullptr ? &png : nullptr, info != nullptr ? &info : nullptr);
  return std::fclose(file) == 0 && ok;
}

bool writeRgbPng(const std::string& path, int width, int height, const std::function<Rgb(int x, int y)>& colourAt) {
  PngPicture picture;
  picture.width = width;
  picture.height = height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = colourAt(x, y);
      picture.samples.insert(picture.samples.end(), {c.red, c.green, c.blue});
    }
  }
  return writePng(path, picture);
}

}  // namespace testing_support
