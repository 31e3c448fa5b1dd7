#include "game/spark.hpp"

#include "platform/random.hpp"

namespace game {

Spark::Spark(Fixed cx, Fixed cy) : Effect(cx, cy) {
  for (int i = 0; i < 5; ++i) {
    const int r1 = platform::nextRandom();
    const int r2 = platform::nextRandom();
    particles_.push_back(new Particle(cx, cy, (r1 - 0x3FFF) * 8, (r2 - 0x3FFF) * 8, 200, ParticleKind::FireCross));
  }
}

Spark::~Spark() { particles_.destroyAll(); }

void Spark::update(std::int32_t dt) {
  bool allDead = true;
  for (Particle* particle : particles_) {
    particle->update(dt);
    allDead = allDead && particle->isDead();
  }
  finished_ = allDead;
}

void Spark::draw(gfx::Canvas& canvas) {
  for (Particle* particle : particles_) particle->draw(canvas);
}

}  // namespace game
