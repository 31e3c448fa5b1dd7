// A ball in play: a 12 x 12 sprite that flies straight, bounces off the left, right and top
// edges by itself and leaves a trail of particles when it is a fire or pierce ball.
#pragma once

#include <array>
#include <cstdint>

#include "game/kinds.hpp"
#include "game/particle.hpp"
#include "game/wrapping.hpp"
#include "gfx/canvas.hpp"
#include "gfx/fixed.hpp"

namespace game {

class Ball {
 public:
  static constexpr int kTrailLength = 100;
  static constexpr Fixed kSize = 0xC0000;        // 12 pixels
  static constexpr Fixed kNormalSpeed = 0x4000;  // 0.25 px/ms
  static constexpr Fixed kFastSpeed = 0x8000;
  static constexpr Fixed kSlowSpeed = 0x2000;

  // Position: top-left corner, Fixed pixels; velocity and speed in Fixed pixels per ms.
  Ball(Fixed x, Fixed y, Fixed vx, Fixed vy, Fixed speed, BallKind kind);
  virtual ~Ball() = default;
  Ball(const Ball&) = delete;
  Ball& operator=(const Ball&) = delete;

  // dt in ms. The trail moves and fades even while the ball is stuck.
  void update(std::int32_t dt);
  // The trail, then the ball.
  void draw(gfx::Canvas& canvas) const;

  Fixed x() const { return x_; }
  Fixed y() const { return y_; }
  Fixed centreX() const { return wrapAdd(x_, kSize / 2); }
  Fixed right() const { return wrapAdd(x_, kSize); }
  Fixed bottom() const { return wrapAdd(y_, kSize); }
  Fixed vx() const { return vx_; }
  Fixed vy() const { return vy_; }
  Fixed speed() const { return speed_; }
  BallKind kind() const { return kind_; }
  bool stuck() const { return stuck_; }
  std::int32_t frameCounter() const { return frameCounter_; }
  const std::array<Particle, kTrailLength>& trail() const { return trail_; }
  std::int32_t nextTrailSlot() const { return nextTrailSlot_; }

  void setX(Fixed x) { x_ = x; }
  void setY(Fixed y) { y_ = y; }
  void setVx(Fixed vx) { vx_ = vx; }
  void setVy(Fixed vy) { vy_ = vy; }
  void setSpeed(Fixed speed) { speed_ = speed; }
  void setKind(BallKind kind) { kind_ = kind; }
  void setStuck(bool stuck) { stuck_ = stuck; }
  void shift(Fixed dx);

  // Nothing for a pierce ball, which so goes straight through bricks.
  void reflectX();
  void reflectY();
  // To the fast speed: the velocity is multiplied by the integer quotient 0x8000 / speed.
  void speedUp();
  // To the slow speed: the velocity is divided by the integer quotient speed / 0x2000.
  void slowDown();

 private:
  void emitTrail();

  Fixed x_;
  Fixed y_;
  Fixed vx_;
  Fixed vy_;
  Fixed speed_;
  BallKind kind_;
  bool stuck_ = false;
  std::int32_t frameCounter_ = 0;
  std::array<Particle, kTrailLength> trail_{};
  std::int32_t nextTrailSlot_ = 0;
};

}  // namespace game
