// The burst of 50 confetti particles over a brick that breaks.
#pragma once

#include "game/effect.hpp"
#include "game/object_list.hpp"
#include "game/particle.hpp"

namespace game {

class Blast : public Effect {
 public:
  // (cx, cy): the centre of the brick, Fixed pixels. Draws four random numbers per particle.
  Blast(Fixed cx, Fixed cy);
  ~Blast() override;

  // Finished once every particle is dead (300 ms).
  void update(std::int32_t dt) override;
  void draw(gfx::Canvas& canvas) override;
  const ObjectList<Particle>& particles() const { return particles_; }

 private:
  ObjectList<Particle> particles_;
};

}  // namespace game
