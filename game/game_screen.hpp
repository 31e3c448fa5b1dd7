// The screen on which a game is played: the brick field, the level map, the paddle, the
// balls, shots, items and effects, the lives and the level. The score lives in the
// process-wide score display. The operations are spread over files by concern: the step and
// the game state here, the strikes on bricks in brick_hits.cpp, the items' effects in
// item_effects.cpp, the drawing in game_drawing.cpp; the bounce rules are brick_collision's,
// the two files level_map's and saved_game's.
#pragma once

#include <cstdint>
#include <memory>

#include "game/ball.hpp"
#include "game/brick_field.hpp"
#include "game/effect.hpp"
#include "game/item.hpp"
#include "game/kinds.hpp"
#include "game/level_map.hpp"
#include "game/object_list.hpp"
#include "game/paddle.hpp"
#include "game/saved_game.hpp"
#include "game/shot.hpp"
#include "gfx/canvas.hpp"
#include "gfx/surface.hpp"
#include "shell/number_display.hpp"
#include "sound/sound_clip.hpp"

namespace game {

class GameRig;

class GameScreen {
 public:
  // A game has three levels: passing the last one ends it, won.
  static constexpr std::int32_t kLastLevel = 3;

  // Loads the pictures and the hit sound and reads the level map from "BrickMap.dat",
  // reporting a missing or short file in a message box.
  GameScreen();
  virtual ~GameScreen();
  GameScreen(const GameScreen&) = delete;
  GameScreen& operator=(const GameScreen&) = delete;

  // Game operations.
  void startNewGame();
  void loadSavedGame();
  void saveGame();
  void resetSavedGame();
  // A game from the given progress: what loadSavedGame does with the saved game it read, and
  // what a replay starts from.
  void resumeGame(const SavedGame& from);
  // The level, the lives and the score as saveGame would keep them.
  SavedGame progress() const;
  // Builds the field of the current level, hides 4 to 6 items, resets the paddle and puts one
  // ball on it.
  void setUpLevel();
  void update(std::int32_t dt);  // dt in milliseconds, always 10
  void draw(gfx::Canvas& target);
  // Everything draw does to the state of play, and nothing else: drawing a confetti particle
  // takes random numbers, so a game played without pictures (the verifier) must take them
  // too, in the same number. The balls' trails are crosses, which take none.
  void skipDraw();
  std::int32_t levelNumber() const { return level_; }
  bool isLevelPassed() const { return levelPassed_; }
  bool isGameEnded() const { return gameEnded_; }

  // Control operations.
  void moveLeft();
  void moveRight();
  void stopPaddle();
  void steerToPen();  // centres the paddle on the process-wide pen x
  // Launches the resting balls; with guns and at most 6 shots in flight, fires two more.
  void fire();

  // Test operations of the number keys.
  void setAllBallKinds(BallKind kind);
  void setAttachment(Attachment attachment);
  void passLevel();
  void addTenLives();

  // Operations used by the step and by the items.
  void loseLife();
  void extraLife();
  void applyItem(const Item& item);
  // A strike on the cell: by `ball`, or by a shot when `ball` is null.
  void hitBrick(std::int32_t col, std::int32_t row, const Ball* ball);

 private:
  // The headless driver's and the tests' set-up and inspection.
  friend class GameRig;

  void tearDownLevel();
  void hideItems();
  // A normal ball at rest on the paddle at x, as every new level and life begins with.
  void putRestingBall(Fixed x);
  void collideWithBricks(Ball& ball);
  void ordinaryHit(std::int32_t col, std::int32_t row);
  void destroyBrick(std::int32_t col, std::int32_t row);
  void areaBlast(std::int32_t col, std::int32_t row);
  void releaseItem(std::int32_t col, std::int32_t row);
  void eightBalls();
  void doubleBalls();

  gfx::Surface background_;
  gfx::Surface panel_;
  std::unique_ptr<sound::SoundClip> hitSound_;
  std::unique_ptr<shell::NumberDisplay> levelDisplay_;
  std::unique_ptr<shell::NumberDisplay> livesDisplay_;
  BrickField field_;
  LevelMap levelMap_;
  std::unique_ptr<Paddle> paddle_;
  ObjectList<Ball> balls_;
  ObjectList<Shot> shots_;
  ObjectList<Item> items_;
  ObjectList<Effect> effects_;
  std::int32_t lives_ = SavedGame{}.lives;
  std::int32_t level_ = SavedGame{}.level;
  bool levelPassed_ = false;
  bool gameEnded_ = false;
};

}  // namespace game
