#include "game/ball.hpp"

#include "game/wrapping.hpp"
#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/display_device.hpp"
#include "platform/random.hpp"
#include "shell/process_state.hpp"

namespace game {
namespace {

constexpr Fixed kRightLimit = toFixed(platform::kScreenWidth) - Ball::kSize;  // 228
constexpr Fixed kRightMirror = 2 * kRightLimit;

}  // namespace

Ball::Ball(Fixed x, Fixed y, Fixed vx, Fixed vy, Fixed speed, BallKind kind)
    : x_(x), y_(y), vx_(vx), vy_(vy), speed_(speed), kind_(kind) {}

void Ball::update(std::int32_t dt) {
  for (Particle& particle : trail_) particle.update(dt);
  if (stuck_) return;
  frameCounter_ = (frameCounter_ + 1) % 40;
  const Fixed nx = wrapAdd(x_, wrapMul(dt, vx_));
  Fixed ny = wrapAdd(y_, wrapMul(dt, vy_));
  if (ny <= 0) {
    ny = wrapNeg(ny);
    vy_ = wrapNeg(vy_);
  }
  if (nx <= 0) {
    x_ = wrapNeg(nx);
    y_ = ny;
    vx_ = wrapNeg(vx_);
    return;
  }
  if (nx >= kRightLimit) {
    x_ = wrapSub(kRightMirror, nx);
    y_ = ny;
    vx_ = wrapNeg(vx_);
    return;
  }
  x_ = nx;
  y_ = ny;
  if (kind_ == BallKind::Fire || kind_ == BallKind::Pierce) {
    for (int i = 0; i < 5; ++i) emitTrail();
  }
}

void Ball::emitTrail() {
  const int r1 = platform::nextRandom();
  const int r2 = platform::nextRandom();
  const int r3 = platform::nextRandom();
  const int r4 = platform::nextRandom();
  Particle& particle = trail_[static_cast<std::size_t>(nextTrailSlot_)];
  const Fixed px = wrapAdd(x_, toFixed(r4 % 12));
  const Fixed py = wrapAdd(y_, toFixed(r3 % 12));
  if (kind_ == BallKind::Fire) {
    particle.set(px, py, r2 - 0x3FFF, r1 - 0x3FFF, 300, ParticleKind::FireCross);
  } else {
    particle.set(px, py, (r2 - 0x3FFF) * 16, (r1 - 0x3FFF) * 16, 128, ParticleKind::IceCross);
  }
  nextTrailSlot_ = (nextTrailSlot_ + 1) % kTrailLength;
}

void Ball::draw(gfx::Canvas& canvas) const {
  for (const Particle& particle : trail_) particle.draw(canvas);
  Fixed cellX = 0;
  Fixed cellY = 0;
  if (kind_ == BallKind::Fire) {
    cellX = toFixed(12 * (frameCounter_ / 10));
    cellY = toFixed(12);
  } else if (kind_ == BallKind::Pierce) {
    cellY = toFixed(24);
  }
  gfx::drawSprite(canvas, x_, y_, kSize, kSize, &shell::process().assets.ballPicture, cellX, cellY, gfx::kKeyBlack);
}

void Ball::shift(Fixed dx) { x_ = wrapAdd(x_, dx); }

void Ball::reflectX() {
  if (kind_ != BallKind::Pierce) vx_ = wrapNeg(vx_);
}

void Ball::reflectY() {
  if (kind_ != BallKind::Pierce) vy_ = wrapNeg(vy_);
}

// The quotients are 1, 2 or 4 for the three speeds the game gives a ball. A speed set from
// outside (the headless driver) that gives a quotient of 0 to divide by leaves the velocity as
// it is instead of crashing.
void Ball::speedUp() {
  if (speed_ != 0) {
    const Fixed q = kFastSpeed / speed_;
    vx_ = wrapMul(vx_, q);
    vy_ = wrapMul(vy_, q);
  }
  speed_ = kFastSpeed;
}

void Ball::slowDown() {
  const Fixed q = speed_ / kSlowSpeed;
  if (q != 0) {
    vx_ = q == -1 ? wrapNeg(vx_) : vx_ / q;
    vy_ = q == -1 ? wrapNeg(vy_) : vy_ / q;
  }
  speed_ = kSlowSpeed;
}

}  // namespace game
