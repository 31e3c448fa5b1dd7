// The brick kinds that only differ in how they are drawn: Empty (never alive, never drawn),
// Stone, Metal and Gem (their frame shows the damage), Hide (invisible until hit once) and
// Stable (100 hits). The Fire brick has a file of its own.
#pragma once

#include "game/brick.hpp"

namespace game {

class EmptyBrick : public Brick {
 public:
  EmptyBrick(Fixed x, Fixed y, std::int32_t variant) : Brick(x, y, BrickKind::Empty, variant) {}
};

class StoneBrick : public Brick {
 public:
  StoneBrick(Fixed x, Fixed y, std::int32_t variant) : Brick(x, y, BrickKind::Stone, variant) {}
  void draw(gfx::Canvas& canvas) override;
};

// Frame 0 intact, frame 1 after the first hit.
class MetalBrick : public Brick {
 public:
  MetalBrick(Fixed x, Fixed y, std::int32_t variant) : Brick(x, y, BrickKind::Metal, variant) {}
  void draw(gfx::Canvas& canvas) override;
};

// One frame further per hit; black is transparent.
class GemBrick : public Brick {
 public:
  GemBrick(Fixed x, Fixed y, std::int32_t variant) : Brick(x, y, BrickKind::Gem, variant) {}
  void draw(gfx::Canvas& canvas) override;
};

// Drawn only with exactly one hit point left: balls bounce off it while it is invisible.
class HideBrick : public Brick {
 public:
  HideBrick(Fixed x, Fixed y, std::int32_t variant) : Brick(x, y, BrickKind::Hide, variant) {}
  void draw(gfx::Canvas& canvas) override;
};

class StableBrick : public Brick {
 public:
  StableBrick(Fixed x, Fixed y, std::int32_t variant) : Brick(x, y, BrickKind::Stable, variant) {}
  void draw(gfx::Canvas& canvas) override;
};

}  // namespace game
