#include "game/paddle_breakup.hpp"

#include "game/wrapping.hpp"
#include "platform/random.hpp"

namespace game {

PaddleBreakup::~PaddleBreakup() { particles_.destroyAll(); }

void PaddleBreakup::start(Fixed x, Fixed width) {
  running_ = true;
  const int span = width >> 16;
  for (int i = 0; i < 50; ++i) {
    const int r1 = platform::nextRandom();
    const int r2 = platform::nextRandom();
    const int r3 = platform::nextRandom();
    const int r4 = platform::nextRandom();
    // A paddle is never narrower than 40 pixels; a zero width only loses the spread.
    const int along = span > 0 ? r4 % span : 0;
    particles_.push_back(new Particle(wrapAdd(x, toFixed(along)), toFixed(286 + r3 % 10), (r2 - 0x3FFF) * 8, -r1 * 8, 300,
                                      ParticleKind::FireCross));
  }
}

void PaddleBreakup::update(std::int32_t dt) {
  if (!running_) return;
  bool oneDead = false;
  for (Particle* particle : particles_) {
    particle->update(dt);
    oneDead = oneDead || particle->isDead();
  }
  if (oneDead) {
    running_ = false;
    justFinished_ = true;
  }
}

void PaddleBreakup::draw(gfx::Canvas& canvas) {
  if (!running_) return;
  for (Particle* particle : particles_) particle->draw(canvas);
}

std::int32_t PaddleBreakup::randomsDrawn() const {
  if (!running_) return 0;
  std::int32_t count = 0;
  for (const Particle* particle : particles_) count += particle->randomsDrawn();
  return count;
}

bool PaddleBreakup::takeFinished() {
  const bool finished = justFinished_;
  justFinished_ = false;
  return finished;
}

void PaddleBreakup::reset() {
  particles_.destroyAll();
  justFinished_ = false;
  running_ = false;
}

}  // namespace game
