#include "game/game_rig.hpp"

namespace game {

GameRig::CellView GameRig::cell(std::int32_t col, std::int32_t row) const {
  CellView view;
  if (!BrickField::inside(col, row)) return view;
  const BrickCell& c = game_.field_.at(col, row);
  view.hiddenItem = c.hiddenItem;
  if (c.brick) {
    view.kind = c.brick->kind();
    view.hitPoints = c.brick->hitPoints();
    view.variant = c.brick->variant();
  }
  return view;
}

const Brick* GameRig::brickAt(std::int32_t col, std::int32_t row) const {
  return BrickField::inside(col, row) ? game_.field_.at(col, row).brick.get() : nullptr;
}

void GameRig::setCell(std::int32_t col, std::int32_t row, std::int32_t levelMapValue) {
  if (BrickField::inside(col, row)) game_.field_.at(col, row).brick = makeBrick(levelMapValue, col, row);
}

void GameRig::setHiddenItem(std::int32_t col, std::int32_t row, std::int32_t kind) {
  if (BrickField::inside(col, row)) game_.field_.at(col, row).hiddenItem = kind;
}

void GameRig::addFlyingBall(Fixed x, Fixed y, Fixed vx, Fixed vy, Fixed speed, BallKind kind) {
  game_.balls_.push_back(new Ball(x, y, vx, vy, speed, kind));
}

void GameRig::clearBalls() {
  game_.paddle_->forgetRestingBalls();
  game_.balls_.destroyAll();
}

void GameRig::setPaddleX(Fixed x) { game_.paddle_->setX(x); }
void GameRig::setPaddleSize(SizeState size) { game_.paddle_->setSizeState(size); }
void GameRig::setPaddleAttachment(Attachment attachment) { game_.paddle_->setAttachment(attachment); }

void GameRig::addItem(ItemKind kind, Fixed x, Fixed y, Fixed vx, Fixed vy) {
  game_.items_.push_back(new Item(x, y, vx, vy, kind));
}

void GameRig::setLives(std::int32_t lives) {
  game_.lives_ = lives;
  game_.livesDisplay_->setValue(lives);
}

void GameRig::setLevel(std::int32_t level) {
  game_.level_ = level;
  game_.levelDisplay_->setValue(level);
}

void GameRig::strikeCell(std::int32_t col, std::int32_t row) {
  if (game_.field_.alive(col, row)) game_.hitBrick(col, row, nullptr);
}

}  // namespace game
