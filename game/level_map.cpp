#include "game/level_map.hpp"

#include "platform/files.hpp"
#include "platform/message_box.hpp"

namespace game {

// The file is read in one request straight into the map, so a short file fills the map from
// its start; whatever was not read stays 0, an empty cell.
void LevelMap::load() {
  const platform::FileRead file = platform::readFile(platform::dataPath("BrickMap.dat"), kFileBytes, true);
  if (!file.opened) {
    platform::showMessageBox("Open file error", "");
    return;
  }
  cells_.fill(0);
  for (std::size_t i = 0; i < file.bytes.size(); ++i) {
    auto& cell = cells_[i / 4];
    const std::uint32_t byte = static_cast<std::uint32_t>(file.bytes[i]) << (8 * (i % 4));
    cell = static_cast<std::int32_t>(static_cast<std::uint32_t>(cell) | byte);
  }
  if (file.readFailed) {
    platform::showMessageBox("CAN'T READ FILE", "");
  } else if (file.bytes.size() < kFileBytes) {
    platform::showMessageBox("READ FILE ERROR", "");
  }
}

std::int32_t LevelMap::cell(std::int32_t level, std::int32_t col, std::int32_t row) const {
  if (!holds(level) || !BrickField::inside(col, row)) return 0;
  return cells_[static_cast<std::size_t>((level - 1) * BrickField::kCells + row * BrickField::kColumns + col)];
}

}  // namespace game
