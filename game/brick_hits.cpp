// What a strike does to a brick: the hit dispatch by striker and kind, the ordinary hit with
// its sound and spark, the outright destruction, the 3 x 3 area blast and the release of the
// hidden item.
#include "game/game_screen.hpp"

#include <array>

#include "game/blast.hpp"
#include "game/spark.hpp"
#include "platform/random.hpp"
#include "shell/process_state.hpp"

namespace game {
namespace {

Fixed cellCentreX(std::int32_t col) { return col * Brick::kWidth + Brick::kWidth / 2; }
Fixed cellCentreY(std::int32_t row) { return row * Brick::kHeight + Brick::kHeight / 2; }

}  // namespace

void GameScreen::hitBrick(std::int32_t col, std::int32_t row, const Ball* ball) {
  if (!BrickField::inside(col, row)) return;
  const Brick* brick = field_.at(col, row).brick.get();
  if (brick == nullptr) return;
  const bool fireBrick = brick->kind() == BrickKind::Fire;
  if (ball == nullptr) {
    if (fireBrick) {
      areaBlast(col, row);
    } else {
      ordinaryHit(col, row);
    }
    return;
  }
  switch (ball->kind()) {
    case BallKind::Fire:
      areaBlast(col, row);
      break;
    case BallKind::Pierce:
      destroyBrick(col, row);
      break;
    case BallKind::Normal:
    default:
      if (fireBrick) {
        destroyBrick(col, row);
      } else {
        ordinaryHit(col, row);
      }
      break;
  }
}

void GameScreen::ordinaryHit(std::int32_t col, std::int32_t row) {
  Brick* brick = field_.at(col, row).brick.get();
  // Every caller strikes alive bricks only; a broken brick must not break a second time.
  if (brick == nullptr || !brick->isAlive()) return;
  if (hitSound_ && shell::soundEffectsAudible()) hitSound_->play();
  if (brick->hit() != 0) {
    effects_.push_back(new Spark(cellCentreX(col), cellCentreY(row)));
    return;
  }
  if (brick->kind() != BrickKind::Fire) effects_.push_back(new Blast(cellCentreX(col), cellCentreY(row)));
  releaseItem(col, row);
}

void GameScreen::destroyBrick(std::int32_t col, std::int32_t row) {
  Brick* brick = field_.at(col, row).brick.get();
  if (brick == nullptr || !brick->isAlive()) return;
  brick->destroy();
  if (brick->kind() != BrickKind::Fire) effects_.push_back(new Blast(cellCentreX(col), cellCentreY(row)));
  releaseItem(col, row);
}

void GameScreen::areaBlast(std::int32_t col, std::int32_t row) {
  if (!BrickField::inside(col, row)) return;
  destroyBrick(col, row);
  static constexpr std::array<std::array<std::int32_t, 2>, 8> kNeighbours = {
      {{-1, 0}, {0, -1}, {1, 0}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}}};
  for (const auto& [dc, dr] : kNeighbours) {
    if (field_.alive(col + dc, row + dr)) destroyBrick(col + dc, row + dr);
  }
}

void GameScreen::releaseItem(std::int32_t col, std::int32_t row) {
  const std::int32_t kind = field_.at(col, row).hiddenItem;
  if (kind == 0) return;
  const Fixed vx = (platform::nextRandom() - 0x3FFF) >> 1;
  const Fixed vy = (platform::nextRandom() - 0x3FFF) >> 1;
  items_.push_back(new Item(toFixed(20 * col - 5), toFixed(12 * row - 9), vx, vy, static_cast<ItemKind>(kind)));
}

}  // namespace game
