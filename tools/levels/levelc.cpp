// Compiles the level texts into "BrickMap.dat" (placeholder for now: one row of stone
// bricks in every level).
//   levelc compile OUTPUT.dat LEVEL_DIR
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 4 || std::string(argv[1]) != "compile") {
    std::fprintf(stderr, "usage: levelc compile OUTPUT.dat LEVEL_DIR\n");
    return 2;
  }
  std::vector<std::uint8_t> map(38400, 0);
  for (int level = 0; level < 50; ++level) {
    for (int col = 0; col < 12; ++col) {
      const std::size_t at = static_cast<std::size_t>(level) * 768 + 4 * 48 + static_cast<std::size_t>(col) * 4;
      map[at] = static_cast<std::uint8_t>(10 + col % 10);
    }
  }
  std::ofstream file(argv[2], std::ios::binary);
  file.write(reinterpret_cast<const char*>(map.data()), static_cast<std::streamsize>(map.size()));
  return file.good() ? 0 : 1;
}
