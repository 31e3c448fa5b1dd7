// The player's bat: slides along the line y = 286 near the bottom of the screen, carries
// the balls resting on it, sends balls off at an angle that depends on where they meet it,
// and bursts into particles when it is destroyed.
#pragma once

#include <array>
#include <cstdint>

#include "game/ball.hpp"
#include "game/kinds.hpp"
#include "game/object_list.hpp"
#include "game/paddle_breakup.hpp"
#include "game/wrapping.hpp"
#include "gfx/canvas.hpp"
#include "gfx/fixed.hpp"
#include "gfx/surface.hpp"

namespace game {

// Entry a (0 .. 180 degrees): c = cos a and s = -sin a, Fixed, the fraction truncated
// toward zero (never rounded): so entry 1 is (65526, -1143) and entry 30's sine is exactly
// -32768.
struct Direction {
  Fixed c;
  Fixed s;
};
const std::array<Direction, 181>& directionTable();

class Paddle {
 public:
  static constexpr Fixed kTop = 0x11E0000;       // the paddle line, y = 286
  static constexpr Fixed kRestingY = 0x1120000;  // a resting ball's top, y = 274

  // Loads "image/board.png", then resets.
  Paddle();
  virtual ~Paddle();
  Paddle(const Paddle&) = delete;
  Paddle& operator=(const Paddle&) = delete;

  // Normal size, centred at x = 90, no attachment, stopped; the resting balls are forgotten
  // (not destroyed) and the break-up is reset.
  void reset();
  void moveLeft();
  void moveRight();
  void stop();
  // Centres the paddle on the stylus x (Fixed), within the screen; resting balls follow.
  // Move state and velocity stay.
  void moveTo(Fixed stylusX);
  void lengthen();
  void shorten();
  void setAttachment(Attachment attachment) { attachment_ = attachment; }
  void attach(Ball& ball);
  // Every resting ball flies off at its bounce angle; the resting list is emptied.
  void launch();
  void bounce(Ball& ball);
  // Starts the break-up once; later calls do nothing until the next reset.
  void destroy();
  // dt in ms; the acceleration is once per call whatever dt is.
  void update(std::int32_t dt);
  void draw(gfx::Canvas& canvas);

  // In whole degrees, 10 .. 170; draws one random number.
  std::int32_t bounceAngle(const Ball& ball) const;
  // The velocity of angle a (0 .. 180) at the ball's own speed.
  static void aim(Ball& ball, std::int32_t angle);

  Fixed x() const { return x_; }
  Fixed width() const { return width_; }
  Fixed right() const { return wrapAdd(x_, width_); }
  Fixed velocity() const { return velocity_; }
  MoveState moveState() const { return moveState_; }
  SizeState sizeState() const { return sizeState_; }
  Attachment attachment() const { return attachment_; }
  bool breaking() const { return breaking_; }
  bool destroyed() const { return destroyed_; }
  const ObjectList<Ball>& restingBalls() const { return resting_; }
  const PaddleBreakup& breakup() const { return breakup_; }

  // For the headless driver's set-up: the left end as given, and the size with its width.
  void setX(Fixed x) { x_ = x; }
  void setSizeState(SizeState size);
  // Forgets the resting balls without touching them (their owner is about to delete them).
  void forgetRestingBalls() { resting_.clear(); }
  // Takes one ball off the resting list, if it is there (it is about to be deleted).
  void forgetRestingBall(const Ball* ball);

 private:
  Fixed velocity_ = 0;
  MoveState moveState_ = MoveState::Stopped;
  Fixed x_ = 0;
  Fixed width_ = 0;
  SizeState sizeState_ = SizeState::Normal;
  Attachment attachment_ = Attachment::None;
  gfx::Surface picture_;
  PaddleBreakup breakup_;
  bool destroyed_ = false;
  bool breaking_ = false;
  ObjectList<Ball> resting_;
};

}  // namespace game
