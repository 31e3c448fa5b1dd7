#include "game/brick_kinds.hpp"

#include "app/process_state.hpp"
#include "gfx/pixel.hpp"

namespace game {

void StoneBrick::draw(gfx::Canvas& canvas) {
  if (isAlive()) drawFrame(canvas, app::process().assets.stonePicture, 0, gfx::kNoColourKey);
}

void MetalBrick::draw(gfx::Canvas& canvas) {
  if (isAlive()) drawFrame(canvas, app::process().assets.metalPicture, 40 - 20 * hitPoints(), gfx::kNoColourKey);
}

void GemBrick::draw(gfx::Canvas& canvas) {
  if (isAlive()) drawFrame(canvas, app::process().assets.gemPicture, 60 - 20 * hitPoints(), gfx::kKeyBlack);
}

void HideBrick::draw(gfx::Canvas& canvas) {
  if (hitPoints() == 1) drawFrame(canvas, app::process().assets.hidePicture, 0, gfx::kNoColourKey);
}

void StableBrick::draw(gfx::Canvas& canvas) {
  if (isAlive()) drawFrame(canvas, app::process().assets.stablePicture, 0, gfx::kNoColourKey);
}

}  // namespace game
