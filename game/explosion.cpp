#include "game/explosion.hpp"

#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "shell/process_state.hpp"

namespace game {

void Explosion::update(std::int32_t) {
  if (!active_) return;
  ++counter_;
  if (counter_ >= 64) {
    finished_ = true;
    active_ = false;
  }
}

void Explosion::draw(gfx::Canvas& canvas) {
  if (!active_) return;
  const std::int32_t frame = counter_ / 2;
  const std::int32_t column = frame % 8;
  const std::int32_t row = frame / 8;
  gfx::drawSprite(canvas, x_ - toFixed(24), y_ - toFixed(24), toFixed(48), toFixed(48),
                  &shell::process().assets.blastPicture, toFixed(48 * column), toFixed(48 * row), gfx::kKeyBlack);
}

}  // namespace game
