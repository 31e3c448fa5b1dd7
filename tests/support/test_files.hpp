// Small files the tests write into scratch folders: raw bytes, canonical WAV files and PNG
// pictures of any colour type and depth, so that a test sees exactly the contents it chose.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

std::vector<std::uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The six fields of a WAV header's format record.
struct WavFormat {
  std::uint16_t formatTag = 1;  // PCM
  std::uint16_t channels = 1;
  std::uint32_t samplesPerSecond = 8000;
  std::uint32_t avgBytesPerSecond = 8000;
  std::uint16_t blockAlign = 1;
  std::uint16_t bitsPerSample = 8;
};

// The canonical 44-byte header, then the samples.
std::vector<std::uint8_t> wavBytes(const WavFormat& format, const std::vector<std::uint8_t>& samples);
// 8-bit mono silence at 8,000 samples a second, `milliseconds` long.
void writeWav(const std::string& path, int milliseconds);

struct PngPicture {
  int width = 1;
  int height = 1;
  int colourType = 2;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  // Samples row after row, one value per channel, within the bit depth (16-bit samples are
  // whole values 0..65535); the writer packs them as the file stores them.
  std::vector<std::uint16_t> samples;
  std::vector<std::uint8_t> palette;       // red, green, blue triples
  std::vector<std::uint8_t> paletteAlpha;  // tRNS of a palette picture
  bool hasTransparentColour = false;       // tRNS of a grey or RGB picture
  std::uint16_t transparent[3] = {0, 0, 0};  // grey in [0], or red, green, blue
};

bool writePng(const std::string& path, const PngPicture& picture);

struct Rgb {
  std::uint8_t red, green, blue;
};

// An 8-bit RGB picture whose pixel (x, y) has the colour the function gives.
bool writeRgbPng(const std::string& path, int width, int height, const std::function<Rgb(int x, int y)>& colourAt);

}  // namespace testing_support
