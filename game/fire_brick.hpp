// The Fire brick: flickers through three frames, is destroyed by every striker, and then
// explodes; when its explosion has played out the game screen blasts its eight neighbours,
// which sets neighbouring Fire bricks off in turn.
#pragma once

#include "game/brick.hpp"
#include "game/explosion.hpp"

namespace game {

class FireBrick : public Brick {
 public:
  // The explosion is centred on the brick, at (x + 10, y + 6).
  FireBrick(Fixed x, Fixed y, std::int32_t variant);

  // Raised at every update once the explosion has finished, so the game screen's area blast
  // repeats each step afterwards (finding nothing left to destroy).
  bool takeExploded() override;
  void update(std::int32_t dt) override;
  void draw(gfx::Canvas& canvas) override;
  void drawOverlay(gfx::Canvas& canvas) override;
  // Also starts the explosion and plays the shared blast sound when sound effects are heard.
  void destroy() override;

  std::int32_t animTime() const { return animTime_; }
  const Explosion& explosion() const { return explosion_; }

 private:
  Explosion explosion_;
  std::int32_t animTime_ = 0;  // ms, 0 .. 299
  bool exploded_ = false;
};

}  // namespace game
