#include "game/shot.hpp"

#include "game/wrapping.hpp"
#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "shell/process_state.hpp"

namespace game {

void Shot::update(std::int32_t dt) { y_ = wrapSub(y_, wrapMul(dt, kSpeed)); }

void Shot::draw(gfx::Canvas& canvas) const {
  gfx::drawSprite(canvas, x_, y_, 0, 0, &shell::process().assets.shotPicture, 0, 0, gfx::kKeyBlue);
}

}  // namespace game
