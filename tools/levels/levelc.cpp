// The level compiler: turns the level texts into "BrickMap.dat" and back, or only checks them.
//   levelc compile OUTPUT.dat LEVEL_DIR
//   levelc decompile INPUT.dat OUTPUT_DIR
//   levelc check LEVEL_DIR
// Errors go to standard error as "FILE:LINE: what"; the exit status is then 1 and nothing is
// written.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/levels/level_format.hpp"

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  std::vector<std::string> errors;
  bool ok = false;
  if (command == "compile" && argc == 4) {
    ok = tools::compileLevelFolder(argv[3], argv[2], errors);
  } else if (command == "decompile" && argc == 4) {
    ok = tools::decompileBrickMapFile(argv[2], argv[3], errors);
  } else if (command == "check" && argc == 3) {
    tools::BrickMap map{};
    ok = tools::readLevelFolder(argv[2], map, errors);
  } else {
    std::fprintf(stderr,
                 "usage: levelc compile OUTPUT.dat LEVEL_DIR\n"
                 "       levelc decompile INPUT.dat OUTPUT_DIR\n"
                 "       levelc check LEVEL_DIR\n");
    return 2;
  }
  for (const std::string& error : errors) std::fprintf(stderr, "%s\n", error.c_str());
  return ok ? 0 : 1;
}
