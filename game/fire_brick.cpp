#include "game/fire_brick.hpp"

#include "gfx/pixel.hpp"
#include "shell/process_state.hpp"

namespace game {

FireBrick::FireBrick(Fixed x, Fixed y, std::int32_t variant)
    : Brick(x, y, BrickKind::Fire, variant), explosion_(x + kWidth / 2, y + kHeight / 2) {}

bool FireBrick::takeExploded() {
  const bool exploded = exploded_;
  exploded_ = false;
  return exploded;
}

void FireBrick::update(std::int32_t dt) {
  animTime_ += dt;
  if (animTime_ > 299) animTime_ -= 300;
  explosion_.update(dt);
  if (explosion_.finished()) exploded_ = true;
}

void FireBrick::draw(gfx::Canvas& canvas) {
  if (isAlive()) drawFrame(canvas, shell::process().assets.firePicture, (animTime_ / 100) * 20, gfx::kNoColourKey);
}

void FireBrick::drawOverlay(gfx::Canvas& canvas) { explosion_.draw(canvas); }

void FireBrick::destroy() {
  Brick::destroy();
  explosion_.start();
  sound::SoundClip* blast = shell::process().assets.blastSound.get();
  if (blast != nullptr && shell::soundEffectsAudible()) blast->play();
}

}  // namespace game
