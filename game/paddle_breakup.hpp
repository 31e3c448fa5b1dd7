// The burst of 50 fire particles thrown up from the paddle when it is destroyed.
#pragma once

#include <cstdint>

#include "game/object_list.hpp"
#include "game/particle.hpp"

namespace game {

class PaddleBreakup {
 public:
  PaddleBreakup() = default;
  virtual ~PaddleBreakup();
  PaddleBreakup(const PaddleBreakup&) = delete;
  PaddleBreakup& operator=(const PaddleBreakup&) = delete;

  // Over the paddle's span: x and width in Fixed pixels. Draws four random numbers per
  // particle.
  void start(Fixed x, Fixed width);
  // Ends as soon as one particle is dead (they all share one life of 300 ms).
  void update(std::int32_t dt);
  void draw(gfx::Canvas& canvas);
  // True once after the burst has ended.
  bool takeFinished();
  void reset();

  bool running() const { return running_; }
  // The random numbers draw takes.
  std::int32_t randomsDrawn() const;
  const ObjectList<Particle>& particles() const { return particles_; }

 private:
  bool justFinished_ = false;
  bool running_ = false;
  ObjectList<Particle> particles_;
};

}  // namespace game
