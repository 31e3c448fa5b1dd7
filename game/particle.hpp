// One particle of a trail, a blast, a spark or the paddle's break-up: a blended pixel
// cross or square that flies off, slows down and fades.
#pragma once

#include <array>
#include <cstdint>

#include "game/kinds.hpp"
#include "gfx/canvas.hpp"
#include "gfx/fixed.hpp"

namespace game {

// Colours 0x00BBGGRR. A fresh particle shows entry 0 and moves to entry 15 as it fades.
inline constexpr std::array<std::uint32_t, 16> FireColours = [] {
  std::array<std::uint32_t, 16> table{};
  for (std::uint32_t i = 0; i < 16; ++i) table[i] = 0x0000FFu + i * 0x1000u;  // red .. yellow
  return table;
}();
inline constexpr std::array<std::uint32_t, 16> IceColours = [] {
  std::array<std::uint32_t, 16> table{};
  for (std::uint32_t i = 0; i < 16; ++i) table[i] = 0xFF0000u + i * 0x1010u;  // blue .. pale blue
  return table;
}();

class Particle {
 public:
  // Dead: at (0, 0), still, kind none, life -1.
  Particle() = default;
  // Velocities in Fixed pixels per update (not per millisecond); life in milliseconds.
  Particle(Fixed x, Fixed y, Fixed vx, Fixed vy, std::int32_t life, ParticleKind kind);
  void set(Fixed x, Fixed y, Fixed vx, Fixed vy, std::int32_t life, ParticleKind kind);

  // Moves by its velocity, then keeps 7/8 of it; life runs down by dt while not yet dead.
  void update(std::int32_t dt);
  // Nothing while dead. A confetti square draws a random colour for each of its pixels, so
  // drawing one consumes random numbers.
  void draw(gfx::Canvas& canvas) const;
  bool isDead() const { return life_ < 0; }
  // The random numbers a draw takes: one colour for each pixel of a live confetti square.
  std::int32_t randomsDrawn() const { return kind_ == ParticleKind::ConfettiSquare && life_ >= 0 ? 4 : 0; }

  Fixed x() const { return x_; }
  Fixed y() const { return y_; }
  Fixed vx() const { return vx_; }
  Fixed vy() const { return vy_; }
  std::int32_t life() const { return life_; }
  ParticleKind kind() const { return kind_; }

 private:
  std::size_t fade() const;

  Fixed x_ = 0;
  Fixed y_ = 0;
  Fixed vx_ = 0;
  Fixed vy_ = 0;
  std::int32_t life_ = -1;
  ParticleKind kind_ = ParticleKind::None;
  std::int32_t initialLife_ = 1;
};

}  // namespace game
