// Writes PNG files for the asset tools: 8-bit RGB or RGBA, no time stamp or other varying
// chunk, so the same pixels always give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

bool writePngRgb(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);
bool writePngRgba(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba);

// Reads any PNG as 8-bit RGBA (libpng's simplified reader). False when it cannot.
bool readPngRgba(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgba);

}  // namespace tools
