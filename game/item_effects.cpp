// What a caught item does: 100 points, then the effect of its kind on the paddle, the balls,
// the lives, the level or the bricks.
#include "game/game_screen.hpp"

#include <array>

#include "game/wrapping.hpp"
#include "shell/process_state.hpp"

namespace game {

void GameScreen::applyItem(const Item& item) {
  shell::addScore(100);
  Paddle& paddle = *paddle_;
  switch (item.kind()) {
    case ItemKind::Guns:
      paddle.setAttachment(Attachment::Guns);
      break;
    case ItemKind::EightBalls:
      eightBalls();
      break;
    case ItemKind::Longer:
      paddle.lengthen();
      break;
    case ItemKind::ExtraLife:
      extraLife();
      break;
    case ItemKind::FastBalls:
      for (Ball* ball : balls_) ball->speedUp();
      break;
    case ItemKind::FireBalls:
      for (Ball* ball : balls_) ball->setKind(BallKind::Fire);
      break;
    case ItemKind::Bomb:
      paddle.destroy();
      break;
    case ItemKind::NextLevel:
      passLevel();
      break;
    case ItemKind::Shorter:
      paddle.shorten();
      break;
    case ItemKind::SlowBalls:
      for (Ball* ball : balls_) ball->slowDown();
      break;
    case ItemKind::DoubleBalls:
      doubleBalls();
      break;
    case ItemKind::StickyPads:
      paddle.setAttachment(Attachment::StickyPads);
      break;
    case ItemKind::PierceBalls:
      for (Ball* ball : balls_) ball->setKind(BallKind::Pierce);
      break;
    case ItemKind::WeakBricks:
      for (BrickCell& cell : field_) {
        if (cell.brick) cell.brick->weaken();
      }
      break;
    case ItemKind::None:
    default:
      break;
  }
}

// The eight velocities have the length of the normal speed, so the balls keep the normal
// speed: the speed field stays the length of the velocity, as bouncing, launching and the
// speed items expect.
void GameScreen::eightBalls() {
  if (balls_.empty()) return;
  static constexpr std::array<std::array<Fixed, 2>, 7> kOthers = {{{-6270, 15136},
                                                                   {6270, -15136},
                                                                   {-6270, -15136},
                                                                   {15136, 6270},
                                                                   {-15136, 6270},
                                                                   {15136, -6270},
                                                                   {-15136, -6270}}};
  Ball& first = *balls_.front();
  first.setVx(6270);
  first.setVy(15136);
  first.setSpeed(Ball::kNormalSpeed);
  for (const auto& [vx, vy] : kOthers) {
    balls_.push_back(new Ball(first.x(), first.y(), vx, vy, Ball::kNormalSpeed, first.kind()));
  }
}

void GameScreen::doubleBalls() {
  const std::int32_t count = balls_.size();
  auto it = balls_.begin();
  for (std::int32_t i = 0; i < count; ++i, ++it) {
    const Ball& old = **it;
    auto* twin = new Ball(old.x(), old.y(), wrapNeg(old.vy()), old.vx(), old.speed(), old.kind());
    balls_.push_back(twin);
    if (old.stuck()) paddle_->attach(*twin);
  }
}

}  // namespace game
