#include "game/particle_burst.hpp"

namespace game {

ParticleBurst::~ParticleBurst() { particles_.destroyAll(); }

void ParticleBurst::update(std::int32_t dt) {
  bool allDead = true;
  for (Particle* particle : particles_) {
    particle->update(dt);
    allDead = allDead && particle->isDead();
  }
  finished_ = allDead;
}

void ParticleBurst::draw(gfx::Canvas& canvas) {
  for (Particle* particle : particles_) particle->draw(canvas);
}

std::int32_t ParticleBurst::randomsDrawn() const {
  std::int32_t count = 0;
  for (const Particle* particle : particles_) count += particle->randomsDrawn();
  return count;
}

}  // namespace game
