// The layouts of all fifty levels, as "BrickMap.dat" holds them: for each level 16 rows of
// 12 cells, each a signed 32-bit little-endian integer whose quotient by 10 is the brick kind
// and whose remainder is the row of the kind's picture. No header, count or checksum.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "game/brick_field.hpp"

namespace game {

class LevelMap {
 public:
  static constexpr std::int32_t kLevels = 50;
  static constexpr std::int32_t kCells = kLevels * BrickField::kCells;              // 9600
  static constexpr std::size_t kFileBytes = static_cast<std::size_t>(kCells) * 4;  // 38,400

  static constexpr bool holds(std::int32_t level) { return level >= 1 && level <= kLevels; }

  // Reads "BrickMap.dat" from the data folder, creating it empty when it is missing. A file
  // that cannot be opened shows "Open file error", a failed read "CAN'T READ FILE", a short
  // one "READ FILE ERROR"; the game goes on with what was read, the rest of the map empty.
  void load();

  // The cell value of (col, row) in a level from 1 to 50; 0, an empty cell, for any other
  // level (a driver's set-up), instead of reading outside the map.
  std::int32_t cell(std::int32_t level, std::int32_t col, std::int32_t row) const;

 private:
  std::array<std::int32_t, kCells> cells_{};
};

}  // namespace game
