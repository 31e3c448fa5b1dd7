// Draws every picture of the game and the resource pictures (placeholders for now: flat
// colours at the right sizes).
//   make_pictures IMAGE_DIR RESOURCE_DIR
#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/png_write.hpp"

namespace {

struct Plain {
  const char* name;
  int width;
  int height;
  std::uint8_t red, green, blue;
};

constexpr Plain kPictures[] = {
    {"cover.png", 240, 320, 40, 40, 90},       {"about.png", 240, 320, 40, 60, 90},
    {"win.png", 240, 320, 40, 90, 40},         {"fail.png", 240, 320, 90, 40, 40},
    {"pass.png", 240, 320, 40, 40, 60},        {"pause.png", 240, 320, 60, 60, 60},
    {"menucover.png", 240, 320, 30, 30, 70},   {"menuselect.png", 176, 250, 90, 90, 160},
    {"keyhelp.png", 240, 320, 50, 50, 50},     {"mousehelp.png", 240, 320, 55, 50, 50},
    {"brickhelp.png", 240, 320, 50, 55, 50},   {"toolhelp.png", 240, 320, 50, 50, 55},
    {"optioncover.png", 240, 320, 30, 50, 70}, {"optionselect.png", 144, 144, 90, 120, 160},
    {"change.png", 40, 80, 200, 200, 40},      {"ball.png", 48, 36, 220, 220, 220},
    {"blast.png", 384, 192, 240, 120, 20},     {"Brick_Stone.png", 20, 120, 150, 150, 150},
    {"Brick_Fire.png", 60, 120, 230, 80, 20},  {"Brick_Gem.png", 60, 120, 40, 200, 160},
    {"Brick_Metal.png", 40, 120, 180, 180, 200}, {"Brick_Stable.png", 20, 120, 120, 90, 60},
    {"Brick_Hide.png", 20, 120, 100, 60, 140}, {"background.png", 240, 320, 10, 10, 30},
    {"digitpanel.png", 240, 24, 30, 30, 50},   {"board.png", 80, 30, 200, 200, 220},
    {"highscore.png", 240, 320, 20, 30, 50},   {"updating.png", 128, 60, 0, 0, 255},
    {"input.png", 240, 320, 30, 30, 40},       {"font.png", 240, 112, 0, 0, 255},
};

constexpr Plain kBitmaps[] = {
    {"bitmap115.png", 192, 16, 0, 0, 255},
    {"bitmap143.png", 160, 16, 0, 0, 255},
    {"bitmap154.png", 5, 10, 220, 40, 220},
    {"bitmap162.png", 210, 60, 60, 120, 220},
};

bool writePlain(const std::string& folder, const Plain& p) {
  std::vector<std::uint8_t> rgb;
  rgb.reserve(static_cast<std::size_t>(p.width) * p.height * 3);
  for (int i = 0; i < p.width * p.height; ++i) rgb.insert(rgb.end(), {p.red, p.green, p.blue});
  return tools::writePngRgb(folder + "/" + p.name, p.width, p.height, rgb);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_pictures IMAGE_DIR RESOURCE_DIR\n");
    return 2;
  }
  bool ok = true;
  for (const Plain& p : kPictures) ok = writePlain(argv[1], p) && ok;
  for (const Plain& p : kBitmaps) ok = writePlain(argv[2], p) && ok;
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * size * 4, 255);
    ok = tools::writePngRgba(std::string(argv[2]) + "/icon131-" + std::to_string(size) + ".png", size, size, rgba) &&
         ok;
  }
  return ok ? 0 : 1;
}
