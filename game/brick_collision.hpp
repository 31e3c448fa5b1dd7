// Where a ball meets the bricks: from the ball's box and velocity and the alive bricks under
// its four corners, which cells it strikes and along which axes it bounces.
#pragma once

#include <array>
#include <cstdint>

#include "game/ball.hpp"
#include "game/brick_field.hpp"

namespace game {

struct BrickContact {
  struct Cell {
    std::int32_t col = 0;
    std::int32_t row = 0;
  };
  std::array<Cell, 2> hits{};  // struck in this order
  std::int32_t hitCount = 0;
  bool reflectX = false;  // the ball's reflectX and reflectY are to follow the hits
  bool reflectY = false;
};

// The corners are looked up all at once, before any hit is applied; a ball reaching outside
// the field (left of column 0, right of column 11, above row 0, below row 15) meets nothing.
// Striking a brick never reads the ball's velocity, so the hits may be applied before the
// reflections whatever order the rules name them in.
BrickContact brickContact(const Ball& ball, const BrickField& field);

}  // namespace game
