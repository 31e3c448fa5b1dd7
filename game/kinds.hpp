// The kinds and states of the game's objects, as stored in the level map, the saved state
// and the object fields (all signed 32-bit values).
#pragma once

#include <cstdint>

namespace game {

enum class BrickKind : std::int32_t { Empty = 0, Stone = 1, Metal = 2, Gem = 3, Hide = 4, Stable = 5, Fire = 6 };

enum class BallKind : std::int32_t { Normal = 0, Fire = 1, Pierce = 2 };

enum class MoveState : std::int32_t { Left = 0, Right = 1, Stopped = 2 };

enum class SizeState : std::int32_t { Long = 0, Normal = 1, Short = 2 };

enum class Attachment : std::int32_t { None = 0, StickyPads = 1, Guns = 2 };

enum class ParticleKind : std::int32_t { None = 0, FireCross = 1, ConfettiSquare = 2, IceCross = 3 };

// 0 is no item; 1 .. 14 the items hidden in bricks.
enum class ItemKind : std::int32_t {
  None = 0,
  Guns = 1,
  EightBalls = 2,
  Longer = 3,
  ExtraLife = 4,
  FastBalls = 5,
  FireBalls = 6,
  Bomb = 7,
  NextLevel = 8,
  Shorter = 9,
  SlowBalls = 10,
  DoubleBalls = 11,
  StickyPads = 12,
  PierceBalls = 13,
  WeakBricks = 14,
};

}  // namespace game
