#include "game/blast.hpp"

#include "platform/random.hpp"

namespace game {

Blast::Blast(Fixed cx, Fixed cy) : ParticleBurst(cx, cy) {
  for (int i = 0; i < 50; ++i) {
    const int r1 = platform::nextRandom();
    const int r2 = platform::nextRandom();
    auto* particle = new Particle();
    const int r3 = platform::nextRandom();
    const int r4 = platform::nextRandom();
    particle->set(cx + toFixed(r4 % 20 - 10), cy + toFixed(r3 % 12 - 6), (r1 - 0x3FFF) * 8, (r2 - 0x3FFF) * 8, 300,
                  ParticleKind::ConfettiSquare);
    particles_.push_back(particle);
  }
}

}  // namespace game
