// The level compiler, any bytes: as a level text (parsed, checked by the rules of play; a
// text that passes is written back as levelc writes it and parses to the same cells, and its
// brick map decodes to the same level), and as a brick map to decompile (a map that decodes
// writes texts that parse back to it). Messages stay bounded: one per cell and row at most.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/scratch.hpp"
#include "tools/levels/level_format.hpp"

namespace {

// Every cell of every row wrong, the row's length wrong, the extra rows and the short grid.
constexpr std::size_t kMostParseErrors = tools::kLevelRows * (tools::kLevelColumns + 1) + 2;

void checkFormattedLevel(int number, const tools::LevelGrid& cells) {
  tools::LevelText again;
  std::vector<std::string> errors;
  if (!tools::parseLevelText(tools::formatLevelText(number, cells), "again.txt", again, errors) || again.cells != cells) {
    fuzzing::violated("a level written back does not parse to the same cells");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tools::LevelText level;
  std::vector<std::string> errors;
  const bool parsed = tools::parseLevelText(text, "level01.txt", level, errors);
  if (parsed != errors.empty() || errors.size() > kMostParseErrors) fuzzing::violated("parse errors out of bounds");
  if (parsed) {
    tools::checkLevelRules(level, "level01.txt", errors);
    tools::checkPlayedLevelRules(level, "level01.txt", errors);
    checkFormattedLevel(1, level.cells);
    tools::BrickMap map{};
    map[0] = level.cells;
    tools::BrickMap decoded{};
    std::vector<std::string> decodeErrors;
    if (!tools::decodeBrickMap(tools::encodeBrickMap(map), "map.dat", decoded, decodeErrors) || decoded != map) {
      fuzzing::violated("a brick map does not decode to what was encoded");
    }
  }

  tools::BrickMap map{};
  std::vector<std::string> mapErrors;
  if (tools::decodeBrickMap(std::vector<std::uint8_t>(data, data + size), "BrickMap.dat", map, mapErrors)) {
    for (int number = 1; number <= tools::kLevelCount; ++number) {
      checkFormattedLevel(number, map[static_cast<std::size_t>(number - 1)]);
    }
  } else if (mapErrors.empty() || mapErrors.size() > 21) {
    fuzzing::violated("a refused brick map without its reasons, or too many");
  }
  return 0;
}
