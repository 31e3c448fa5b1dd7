// One frame of the game, back to front: the background, the paddle, balls and shots, the
// bricks and above them their explosions, the items and effects, then the panel with the
// score, the level and the lives.
#include "game/game_screen.hpp"

#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/display_device.hpp"
#include "platform/random.hpp"
#include "shell/process_state.hpp"

namespace game {

void GameScreen::draw(gfx::Canvas& target) {
  gfx::drawSprite(target, 0, 0, 0, 0, &background_, 0, 0, gfx::kNoColourKey);
  paddle_->draw(target);
  for (const Ball* ball : balls_) ball->draw(target);
  for (const Shot* shot : shots_) shot->draw(target);
  for (BrickCell& cell : field_) {
    if (cell.brick) cell.brick->draw(target);
  }
  for (BrickCell& cell : field_) {
    if (cell.brick) cell.brick->drawOverlay(target);
  }
  for (const Item* item : items_) item->draw(target);
  for (Effect* effect : effects_) effect->draw(target);
  gfx::drawSprite(target, 0, toFixed(296), toFixed(platform::kScreenWidth), toFixed(24), &panel_, 0, 0, gfx::kNoColourKey);
  if (const shell::NumberDisplay* score = shell::process().scoreDisplay.get()) {
    score->draw(target, toFixed(22), toFixed(300), gfx::kKeyBlue);
  }
  levelDisplay_->draw(target, toFixed(198), toFixed(300), gfx::kKeyBlue);
  livesDisplay_->draw(target, toFixed(144), toFixed(300), gfx::kKeyBlue);
}

void GameScreen::skipDraw() {
  std::uint32_t count = static_cast<std::uint32_t>(paddle_->breakup().randomsDrawn());
  for (const Effect* effect : effects_) count += static_cast<std::uint32_t>(effect->randomsDrawn());
  platform::skipRandom(count);
}

}  // namespace game
