#include "game/game_screen.hpp"

namespace game {

GameScreen::GameScreen() = default;
GameScreen::~GameScreen() = default;

void GameScreen::startNewGame() {
  lives_ = 3;
  level_ = 1;
  gameEnded_ = false;
}
void GameScreen::loadSavedGame() { startNewGame(); }
void GameScreen::saveGame() {}
void GameScreen::resetSavedGame() {}
void GameScreen::setUpLevel() { levelPassed_ = false; }
void GameScreen::update(std::int32_t) {}
void GameScreen::draw(gfx::Canvas&) {}
void GameScreen::moveLeft() {}
void GameScreen::moveRight() {}
void GameScreen::stopPaddle() {}
void GameScreen::steerToPen() {}
void GameScreen::fire() {}
void GameScreen::setAllBallKinds(BallKind) {}
void GameScreen::setAttachment(Attachment) {}
void GameScreen::passLevel() {
  ++level_;
  if (level_ > 3) gameEnded_ = true;
  levelPassed_ = true;
}
void GameScreen::addTenLives() { lives_ += 10; }

}  // namespace game
