#include "game/particle.hpp"

#include <algorithm>

#include "game/wrapping.hpp"
#include "gfx/blit.hpp"
#include "platform/random.hpp"

namespace game {
namespace {

void drawCross(gfx::Canvas& canvas, Fixed x, Fixed y, std::uint32_t colour, int level) {
  gfx::blendPoint(canvas, x, y, colour, level);
  gfx::blendPoint(canvas, wrapAdd(x, kFixedOne), y, colour, level);
  gfx::blendPoint(canvas, wrapSub(x, kFixedOne), y, colour, level);
  gfx::blendPoint(canvas, x, wrapAdd(y, kFixedOne), colour, level);
  gfx::blendPoint(canvas, x, wrapSub(y, kFixedOne), colour, level);
}

std::uint32_t randomFireColour() { return FireColours[static_cast<std::size_t>(platform::nextRandom() % 16)]; }

}  // namespace

Particle::Particle(Fixed x, Fixed y, Fixed vx, Fixed vy, std::int32_t life, ParticleKind kind) {
  set(x, y, vx, vy, life, kind);
}

void Particle::set(Fixed x, Fixed y, Fixed vx, Fixed vy, std::int32_t life, ParticleKind kind) {
  x_ = x;
  y_ = y;
  vx_ = vx;
  vy_ = vy;
  life_ = life;
  kind_ = kind;
  initialLife_ = life;
}

void Particle::update(std::int32_t dt) {
  x_ = wrapAdd(x_, vx_);
  y_ = wrapAdd(y_, vy_);
  vx_ -= vx_ >> 3;
  vy_ -= vy_ >> 3;
  if (life_ >= 0) life_ -= dt;
}

void Particle::draw(gfx::Canvas& canvas) const {
  if (life_ < 0) return;
  // A particle set up with no life at all shows its last colour rather than dividing by 0.
  const std::int64_t fadeRaw = initialLife_ > 0 ? static_cast<std::int64_t>(life_) * 16 / initialLife_ : 0;
  const auto fade = static_cast<std::size_t>(std::clamp<std::int64_t>(fadeRaw, 0, 15));
  switch (kind_) {
    case ParticleKind::FireCross:
      drawCross(canvas, x_, y_, FireColours[15 - fade], life_ / 10);
      break;
    case ParticleKind::ConfettiSquare: {
      const int level = life_ / 10;
      const Fixed right = wrapAdd(x_, kFixedOne);
      const Fixed below = wrapAdd(y_, kFixedOne);
      gfx::blendPoint(canvas, x_, y_, randomFireColour(), level);
      gfx::blendPoint(canvas, right, y_, randomFireColour(), level);
      gfx::blendPoint(canvas, x_, below, randomFireColour(), level);
      gfx::blendPoint(canvas, right, below, randomFireColour(), level);
      break;
    }
    case ParticleKind::IceCross:
      drawCross(canvas, x_, y_, IceColours[15 - fade], std::min(life_ / 4, 31));
      break;
    case ParticleKind::None:
      break;
  }
}

}  // namespace game
