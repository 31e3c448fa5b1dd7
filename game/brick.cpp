#include "game/brick.hpp"

#include "game/brick_kinds.hpp"
#include "game/fire_brick.hpp"
#include "gfx/blit.hpp"
#include "shell/process_state.hpp"

namespace game {
namespace {

std::int32_t startingHitPoints(BrickKind kind) {
  switch (kind) {
    case BrickKind::Stone:
    case BrickKind::Fire:
      return 1;
    case BrickKind::Metal:
    case BrickKind::Hide:
      return 2;
    case BrickKind::Gem:
      return 3;
    case BrickKind::Stable:
      return 100;
    case BrickKind::Empty:
      break;
  }
  return 0;
}

}  // namespace

std::int32_t brickScore(BrickKind kind) {
  switch (kind) {
    case BrickKind::Stone:
      return 20;
    case BrickKind::Metal:
      return 40;
    case BrickKind::Gem:
      return 60;
    case BrickKind::Hide:
      return 70;
    case BrickKind::Stable:
      return 90;
    case BrickKind::Fire:
      return 80;
    case BrickKind::Empty:
      break;
  }
  return 0;
}

Brick::Brick(Fixed x, Fixed y, BrickKind kind, std::int32_t variant)
    : kind_(kind), variant_(variant), x_(x), y_(y), hitPoints_(startingHitPoints(kind)) {}

void Brick::destroy() {
  hitPoints_ = 0;
  shell::addScore(brickScore(kind_));
}

std::int32_t Brick::hit() {
  if (hitPoints_ != 0) {
    if (hitPoints_ == 1) shell::addScore(brickScore(kind_));
    --hitPoints_;
  }
  return hitPoints_;
}

void Brick::weaken() {
  if (hitPoints_ != 0) hitPoints_ = 1;
}

void Brick::drawFrame(gfx::Canvas& canvas, const gfx::Surface& picture, std::int32_t sourceX,
                      std::int32_t colourKey) const {
  gfx::drawSprite(canvas, x_, y_, kWidth, kHeight, &picture, toFixed(sourceX), toFixed(variant_ * 12), colourKey);
}

std::unique_ptr<Brick> makeBrick(std::int32_t value, std::int32_t col, std::int32_t row) {
  const Fixed x = col * kFixedOne * 20;
  const Fixed y = row * kFixedOne * 12;
  const std::int32_t variant = value % 10;
  switch (value / 10) {
    case 1:
      return std::make_unique<StoneBrick>(x, y, variant);
    case 2:
      return std::make_unique<MetalBrick>(x, y, variant);
    case 3:
      return std::make_unique<GemBrick>(x, y, variant);
    case 4:
      return std::make_unique<HideBrick>(x, y, variant);
    case 5:
      return std::make_unique<StableBrick>(x, y, variant);
    case 6:
      return std::make_unique<FireBrick>(x, y, variant);
    default:
      return std::make_unique<EmptyBrick>(x, y, variant);
  }
}

}  // namespace game
