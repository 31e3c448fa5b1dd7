// Pictures: blocks of 16-bit pixels with their size, loaded once from PNG files or from the
// bitmaps embedded in the executable, and drawn many times.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {

struct Surface {
  std::vector<std::uint16_t> pixels;  // row after row, top row first; empty for an empty Surface
  std::int32_t width = 0;
  std::int32_t height = 0;

  bool empty() const { return pixels.empty(); }
  // The pixel block holds the width x height the size promises (a Surface filled by hand may not).
  bool consistent() const {
    return width > 0 && height > 0 && pixels.size() >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  }
  void clear() {
    pixels.clear();
    pixels.shrink_to_fit();
    width = 0;
    height = 0;
  }
};

// The path of a picture in the "image" folder of the game's data.
std::string imagePath(std::string_view name);

// Fills `surface` from a picture file. The kind is chosen by the extension, without regard
// to case: only PNG is loaded. A missing, unknown or undecodable file leaves it empty.
void loadPicture(Surface& surface, const std::string& path);

// Fills `surface` from the bitmap resource with that number. A missing resource shows the
// message box "ERROR LOAD RESOURCE" / "ERROR" and leaves it empty.
void loadPictureResource(Surface& surface, int number);

}  // namespace gfx
