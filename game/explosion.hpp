// A fire brick's explosion: 32 frames of the shared blast picture, two updates each.
#pragma once

#include "game/effect.hpp"

namespace game {

class Explosion : public Effect {
 public:
  // Centred on (cx, cy), Fixed pixels; idle until started.
  Explosion(Fixed cx, Fixed cy) : Effect(cx, cy) {}

  void start() { active_ = true; }
  // Counts updates whatever dt is; finished after 64 of them.
  void update(std::int32_t dt) override;
  // The 48 x 48 frame centred on (x, y), black transparent; nothing unless active.
  void draw(gfx::Canvas& canvas) override;

  bool active() const { return active_; }
  std::int32_t counter() const { return counter_; }

 private:
  std::int32_t counter_ = 0;
  bool active_ = false;
};

}  // namespace game
