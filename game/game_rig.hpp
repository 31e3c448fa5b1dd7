// The headless driver's and the tests' hold on a game: set-up commands that put bricks,
// hidden items, balls, items, the paddle, the lives and the level where a script or a test
// wants them, and read-only views of the state for the driver's dump and the autopilot.
// Play itself never goes through it. Positions and velocities are raw Fixed values; cells
// outside the field are ignored.
#pragma once

#include <cstdint>

#include "game/game_screen.hpp"

namespace game {

class GameRig {
 public:
  explicit GameRig(GameScreen& game) : game_(game) {}

  // Views.
  struct CellView {
    BrickKind kind = BrickKind::Empty;
    std::int32_t hitPoints = 0;
    std::int32_t variant = 0;
    std::int32_t hiddenItem = 0;
  };
  std::int32_t lives() const { return game_.lives_; }
  const Paddle& paddle() const { return *game_.paddle_; }
  const ObjectList<Ball>& balls() const { return game_.balls_; }
  const ObjectList<Shot>& shots() const { return game_.shots_; }
  const ObjectList<Item>& items() const { return game_.items_; }
  std::int32_t effectCount() const { return game_.effects_.size(); }
  // A cell without a brick (before the first level), or outside the field, reads as an empty
  // one.
  CellView cell(std::int32_t col, std::int32_t row) const;
  const Brick* brickAt(std::int32_t col, std::int32_t row) const;
  const sound::SoundClip* hitSound() const { return game_.hitSound_.get(); }
  const shell::NumberDisplay& levelDisplay() const { return *game_.levelDisplay_; }
  const shell::NumberDisplay& livesDisplay() const { return *game_.livesDisplay_; }

  // Set-up.
  void setCell(std::int32_t col, std::int32_t row, std::int32_t levelMapValue);  // keeps the hidden item
  void setHiddenItem(std::int32_t col, std::int32_t row, std::int32_t kind);
  void addFlyingBall(Fixed x, Fixed y, Fixed vx, Fixed vy, Fixed speed, BallKind kind);
  // A normal ball at x, resting on the paddle as a new level's.
  void addRestingBall(Fixed x) { game_.putRestingBall(x); }
  void clearBalls();
  void setPaddleX(Fixed x);
  void setPaddleSize(SizeState size);
  void setPaddleAttachment(Attachment attachment);
  void addItem(ItemKind kind, Fixed x, Fixed y, Fixed vx, Fixed vy);
  void setLives(std::int32_t lives);
  void setLevel(std::int32_t level);
  // Strikes the cell as a shot does (a Spark or a Blast, a Fire brick's area blast).
  void strikeCell(std::int32_t col, std::int32_t row);

 private:
  GameScreen& game_;
};

}  // namespace game
