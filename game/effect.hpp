// Something that plays out at a point of the screen and then reports itself finished: the
// blasts and sparks at bricks (kept in the game screen's effect list) and the fire bricks'
// explosions.
#pragma once

#include <cstdint>

#include "gfx/canvas.hpp"
#include "gfx/fixed.hpp"

namespace game {

class Effect {
 public:
  Effect(Fixed x, Fixed y) : x_(x), y_(y) {}
  virtual ~Effect() = default;
  Effect(const Effect&) = delete;
  Effect& operator=(const Effect&) = delete;

  virtual void draw(gfx::Canvas&) {}
  // The random numbers draw takes (drawing consumes some: see Particle::randomsDrawn).
  virtual std::int32_t randomsDrawn() const { return 0; }
  virtual void update(std::int32_t) {}
  bool finished() const { return finished_; }

  Fixed x() const { return x_; }
  Fixed y() const { return y_; }

 protected:
  Fixed x_;
  Fixed y_;
  bool finished_ = false;
};

}  // namespace game
