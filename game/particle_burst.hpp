// An effect made only of particles it owns: it is over once every one of them is dead.
// Blasts and sparks are bursts that differ only in how they throw their particles.
#pragma once

#include "game/effect.hpp"
#include "game/object_list.hpp"
#include "game/particle.hpp"

namespace game {

class ParticleBurst : public Effect {
 public:
  ~ParticleBurst() override;

  void update(std::int32_t dt) override;
  void draw(gfx::Canvas& canvas) override;
  std::int32_t randomsDrawn() const override;
  const ObjectList<Particle>& particles() const { return particles_; }

 protected:
  ParticleBurst(Fixed cx, Fixed cy) : Effect(cx, cy) {}

  ObjectList<Particle> particles_;
};

}  // namespace game
