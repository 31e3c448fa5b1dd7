// The spray of 5 fire particles where a brick is hit and survives.
#pragma once

#include "game/effect.hpp"
#include "game/object_list.hpp"
#include "game/particle.hpp"

namespace game {

class Spark : public Effect {
 public:
  // (cx, cy): the centre of the brick, Fixed pixels. Draws two random numbers per particle.
  Spark(Fixed cx, Fixed cy);
  ~Spark() override;

  // Finished once every particle is dead (200 ms).
  void update(std::int32_t dt) override;
  void draw(gfx::Canvas& canvas) override;
  const ObjectList<Particle>& particles() const { return particles_; }

 private:
  ObjectList<Particle> particles_;
};

}  // namespace game
