// A falling bonus released by a broken brick: it pops out, falls under gravity, bounces off
// the side and top edges, and is caught by the paddle or lost below the screen. What a
// caught item does is the game screen's (GameScreen::applyItem).
#pragma once

#include <cstdint>

#include "game/kinds.hpp"
#include "game/wrapping.hpp"
#include "gfx/canvas.hpp"
#include "gfx/fixed.hpp"

namespace game {

class Item {
 public:
  static constexpr Fixed kSize = 0x1E0000;  // 30 pixels

  // Top-left corner in Fixed pixels; velocity in Fixed pixels per ms.
  Item(Fixed x, Fixed y, Fixed vx, Fixed vy, ItemKind kind) : x_(x), y_(y), vx_(vx), vy_(vy), kind_(kind) {}
  virtual ~Item() = default;
  Item(const Item&) = delete;
  Item& operator=(const Item&) = delete;

  // dt in ms; gravity is added once per call whatever dt is.
  void update(std::int32_t dt);
  // The kind's 30 x 30 cell of the item sheet, black transparent; nothing for kinds
  // outside 1 .. 14.
  void draw(gfx::Canvas& canvas) const;

  Fixed x() const { return x_; }
  Fixed y() const { return y_; }
  Fixed right() const { return wrapAdd(x_, kSize); }
  Fixed bottom() const { return wrapAdd(y_, kSize); }
  Fixed vx() const { return vx_; }
  Fixed vy() const { return vy_; }
  ItemKind kind() const { return kind_; }

 private:
  Fixed x_;
  Fixed y_;
  Fixed vx_;
  Fixed vy_;
  ItemKind kind_;
};

}  // namespace game
