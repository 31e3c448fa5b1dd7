// The screen on which a game is played: the brick field, the paddle, the balls, shots, items
// and effects, the lives and the level. (Skeleton: the game itself is still to be built.)
#pragma once

#include <cstdint>

#include "game/kinds.hpp"
#include "gfx/canvas.hpp"

namespace game {

class GameScreen {
 public:
  GameScreen();
  virtual ~GameScreen();
  GameScreen(const GameScreen&) = delete;
  GameScreen& operator=(const GameScreen&) = delete;

  // Game operations.
  void startNewGame();
  void loadSavedGame();
  void saveGame();
  void resetSavedGame();
  void setUpLevel();
  void update(std::int32_t dt);  // dt in milliseconds, always 10
  void draw(gfx::Canvas& target);
  std::int32_t levelNumber() const { return level_; }
  bool isLevelPassed() const { return levelPassed_; }
  bool isGameEnded() const { return gameEnded_; }

  // Control operations.
  void moveLeft();
  void moveRight();
  void stopPaddle();
  void steerToPen();
  void fire();

  // Test operations of the number keys.
  void setAllBallKinds(BallKind kind);
  void setAttachment(Attachment attachment);
  void passLevel();
  void addTenLives();

 private:
  std::int32_t lives_ = 3;
  std::int32_t level_ = 1;
  bool levelPassed_ = false;
  bool gameEnded_ = false;
};

}  // namespace game
