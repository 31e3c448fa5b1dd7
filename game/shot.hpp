// A bullet fired straight up from the guns at the ends of the paddle.
#pragma once

#include <cstdint>

#include "game/wrapping.hpp"
#include "gfx/canvas.hpp"
#include "gfx/fixed.hpp"

namespace game {

class Shot {
 public:
  static constexpr Fixed kSpeed = 0x4000;  // 0.25 px/ms upward

  // Top-left corner of the 5 x 10 sprite, Fixed pixels.
  Shot(Fixed x, Fixed y) : x_(x), y_(y) {}
  virtual ~Shot() = default;
  Shot(const Shot&) = delete;
  Shot& operator=(const Shot&) = delete;

  void update(std::int32_t dt);  // dt in ms
  void draw(gfx::Canvas& canvas) const;

  Fixed x() const { return x_; }
  Fixed y() const { return y_; }
  Fixed centreX() const { return wrapAdd(x_, 0x28000); }  // x + 2.5
  Fixed bottom() const { return wrapAdd(y_, 0xA0000); }

 private:
  Fixed x_;
  Fixed y_;
};

}  // namespace game
