// The brick field of the level being played: 16 rows of 12 cells, each holding a brick and
// the kind of item the brick releases when it breaks. Row 0 is the top row, column 0 the
// left one; the cell (col, row) covers x 20 col .. 20 col + 20, y 12 row .. 12 row + 12
// pixels, so the field is the top 240 x 192 pixels of the screen.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "game/brick.hpp"

namespace game {

struct BrickCell {
  std::unique_ptr<Brick> brick;  // null only before the first level and after a tear-down
  std::int32_t hiddenItem = 0;   // an ItemKind: 0 none, 1 .. 14 the item the brick releases
};

class BrickField {
 public:
  static constexpr std::int32_t kColumns = 12;
  static constexpr std::int32_t kRows = 16;
  static constexpr std::int32_t kCells = kColumns * kRows;

  static constexpr bool inside(std::int32_t col, std::int32_t row) {
    return col >= 0 && col < kColumns && row >= 0 && row < kRows;
  }

  // The cell must lie inside the field.
  BrickCell& at(std::int32_t col, std::int32_t row) { return cells_[index(col, row)]; }
  const BrickCell& at(std::int32_t col, std::int32_t row) const { return cells_[index(col, row)]; }

  // Inside the field and holding a brick with hit points left: what a ball, a shot or a blast
  // can strike. Any position may be asked.
  bool alive(std::int32_t col, std::int32_t row) const {
    if (!inside(col, row)) return false;
    const Brick* brick = at(col, row).brick.get();
    return brick != nullptr && brick->isAlive();
  }

  // Every cell back to no brick and no item.
  void clear() {
    for (BrickCell& cell : cells_) {
      cell.brick.reset();
      cell.hiddenItem = 0;
    }
  }

  // Row by row from row 0, each row from column 0: the order in which the bricks are updated
  // and drawn.
  auto begin() { return cells_.begin(); }
  auto end() { return cells_.end(); }
  auto begin() const { return cells_.begin(); }
  auto end() const { return cells_.end(); }

 private:
  static std::size_t index(std::int32_t col, std::int32_t row) {
    return static_cast<std::size_t>(row * kColumns + col);
  }

  std::array<BrickCell, kCells> cells_;
};

}  // namespace game
