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

}  // namespace game
