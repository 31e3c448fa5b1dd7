// "BrickMap.dat" of any length and content. The level map reads it as the game does: each
// cell is the file's little-endian value, 0 past its end, and a short file says so in one
// message box. Then the level in which the file ends is put on the field and played for a
// moment, so that whatever value a cell holds meets the bricks, the collisions and the drawing.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fuzz/support/bytes.hpp"
#include "fuzz/support/game_harness.hpp"
#include "fuzz/support/scratch.hpp"
#include "game/level_map.hpp"

namespace {

// The cell as the file holds it: the bytes of its four that the file has, low byte first.
std::int32_t cellInFile(const std::uint8_t* data, std::size_t size, std::size_t cell) {
  return static_cast<std::int32_t>(fuzzing::littleEndian(data, size, cell * 4, 4));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::GameHarness& harness = fuzzing::GameHarness::instance();
  if (!fuzzing::writeScratchFile("data/BrickMap.dat", data, size)) return 0;
  static game::LevelMap map;
  map.load();
  const int boxes = harness.takeMessageBoxes();
  if (size >= game::LevelMap::kFileBytes ? boxes != 0 : boxes != 1 || harness.lastMessage() != "READ FILE ERROR") {
    fuzzing::violated("a whole file was reported or a short one was not");
  }
  // The level in which the file ends holds its last byte, torn cells included; each level is
  // read by the same loop, so checking that one and the borders of the map suffices.
  constexpr std::int32_t kCells = game::BrickField::kCells;
  const std::size_t levelBytes = static_cast<std::size_t>(kCells) * 4;
  const auto level = static_cast<std::int32_t>(
      std::clamp<std::size_t>((size + levelBytes - 1) / levelBytes, 1, static_cast<std::size_t>(game::LevelMap::kLevels)));
  for (std::int32_t i = 0; i < kCells; ++i) {
    const std::size_t cell = static_cast<std::size_t>((level - 1) * kCells + i);
    if (map.cell(level, i % game::BrickField::kColumns, i / game::BrickField::kColumns) != cellInFile(data, size, cell)) {
      fuzzing::violated("a cell differs from the file");
    }
  }
  if (map.cell(1, 0, 0) != cellInFile(data, size, 0) ||
      map.cell(game::LevelMap::kLevels, game::BrickField::kColumns - 1, game::BrickField::kRows - 1) !=
          cellInFile(data, size, game::LevelMap::kCells - 1)) {
    fuzzing::violated("a cell at the ends of the map differs from the file");
  }
  if (map.cell(0, 0, 0) != 0 || map.cell(game::LevelMap::kLevels + 1, 0, 0) != 0 || map.cell(1, -1, 0) != 0 ||
      map.cell(1, 0, game::BrickField::kRows) != 0) {
    fuzzing::violated("a cell outside the map is not empty");
  }

  harness.startNewGame();
  harness.rig().setLevel(level);
  harness.game().setUpLevel();
  for (std::int32_t row = 0; row < game::BrickField::kRows; ++row) {
    for (std::int32_t col = 0; col < game::BrickField::kColumns; ++col) {
      harness.rig().setCell(col, row, map.cell(level, col, row));
    }
  }
  harness.play(3, 1000);
  return 0;
}
