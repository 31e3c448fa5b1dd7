// A brick of the field: its kind, picture row, position and hit points. The kinds differ in
// how they are drawn; the Fire brick also explodes and sets its neighbours off.
#pragma once

#include <cstdint>
#include <memory>

#include "game/kinds.hpp"
#include "gfx/canvas.hpp"
#include "gfx/fixed.hpp"
#include "gfx/surface.hpp"

namespace game {

class Brick {
 public:
  static constexpr Fixed kWidth = 0x140000;  // 20 pixels
  static constexpr Fixed kHeight = 0xC0000;  // 12 pixels

  // Top-left corner (x, y) in Fixed pixels; variant is the row of the kind's picture.
  // Hit points follow the kind.
  Brick(Fixed x, Fixed y, BrickKind kind, std::int32_t variant);
  virtual ~Brick() = default;
  Brick(const Brick&) = delete;
  Brick& operator=(const Brick&) = delete;

  // True once when the brick's explosion has finished (only a Fire brick has one).
  virtual bool takeExploded() { return false; }
  virtual void update(std::int32_t) {}
  virtual void draw(gfx::Canvas&) {}
  // Drawn after every brick's draw: what must lie above all bricks.
  virtual void drawOverlay(gfx::Canvas&) {}
  bool isAlive() const { return hitPoints_ != 0; }
  // Hit points to 0, then the kind's score is added. Called on alive bricks only.
  virtual void destroy();
  // Adds the score when this hit is the last, lowers the hit points by one and returns those
  // left; a broken brick stays at 0.
  std::int32_t hit();
  // A brick with hit points left keeps exactly 1.
  void weaken();

  BrickKind kind() const { return kind_; }
  std::int32_t variant() const { return variant_; }
  Fixed x() const { return x_; }
  Fixed y() const { return y_; }
  std::int32_t hitPoints() const { return hitPoints_; }

 protected:
  // The 20 x 12 frame at (sourceX, variant x 12) of the picture, at the brick's corner.
  void drawFrame(gfx::Canvas& canvas, const gfx::Surface& picture, std::int32_t sourceX, std::int32_t colourKey) const;

 private:
  BrickKind kind_;
  std::int32_t variant_;
  Fixed x_;
  Fixed y_;
  std::int32_t hitPoints_;
};

// The points a brick of that kind gives when it breaks.
std::int32_t brickScore(BrickKind kind);

// The brick of a level-map value v at cell (col, row): kind v / 10, variant v % 10, both
// truncated toward zero; kinds outside 0 .. 6 give an Empty brick.
std::unique_ptr<Brick> makeBrick(std::int32_t value, std::int32_t col, std::int32_t row);

}  // namespace game
