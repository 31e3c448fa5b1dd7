#include "game/spark.hpp"

#include "platform/random.hpp"

namespace game {

Spark::Spark(Fixed cx, Fixed cy) : ParticleBurst(cx, cy) {
  for (int i = 0; i < 5; ++i) {
    const int r1 = platform::nextRandom();
    const int r2 = platform::nextRandom();
    particles_.push_back(new Particle(cx, cy, (r1 - 0x3FFF) * 8, (r2 - 0x3FFF) * 8, 200, ParticleKind::FireCross));
  }
}

}  // namespace game
