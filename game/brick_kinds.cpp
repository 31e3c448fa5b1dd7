#include "game/brick_kinds.hpp"

#include "gfx/pixel.hpp"
#include "shell/process_state.hpp"

namespace game {

void StoneBrick::draw(gfx::Canvas& canvas) {
  if (isAlive()) drawFrame(canvas, shell::process().assets.stonePicture, 0, gfx::kNoColourKey);
}

void MetalBrick::draw(gfx::Canvas& canvas) {
  if (isAlive()) drawFrame(canvas, shell::process().assets.metalPicture, 40 - 20 * hitPoints(), gfx::kNoColourKey);
}

void GemBrick::draw(gfx::Canvas& canvas) {
  if (isAlive()) drawFrame(canvas, shell::process().assets.gemPicture, 60 - 20 * hitPoints(), gfx::kKeyBlack);
}

void HideBrick::draw(gfx::Canvas& canvas) {
  if (hitPoints() == 1) drawFrame(canvas, shell::process().assets.hidePicture, 0, gfx::kNoColourKey);
}

void StableBrick::draw(gfx::Canvas& canvas) {
  if (isAlive()) drawFrame(canvas, shell::process().assets.stablePicture, 0, gfx::kNoColourKey);
}

}  // namespace game
