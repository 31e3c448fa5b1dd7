// Small data files the application tests put into a scratch data folder: sounds, pictures
// and a level map, so that a test sees exactly the contents it chose.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace app_test {

// An 8-bit mono PCM WAV at 8,000 samples a second lasting `milliseconds`.
void writeWav(const std::string& path, int milliseconds);

struct Rgb {
  std::uint8_t red, green, blue;
};

// A PNG of the given size whose pixel (x, y) has the colour the function gives.
void writePng(const std::string& path, int width, int height, const std::function<Rgb(int x, int y)>& colourAt);
void writeFlatPng(const std::string& path, int width, int height, Rgb colour);

// "BrickMap.dat" with a stone brick in every cell of all 50 levels: a level that is never
// cleared by itself while its ball rests on the paddle.
void writeLevelMap(const std::string& path);

// The 16-bit pixel the picture loader makes of a colour.
std::uint16_t pixelOf(Rgb colour);

}  // namespace app_test
