// The screen on which a game is played: the brick field, the level map, the paddle, the
// balls, shots, items and effects, the lives and the level. The score lives in the
// process-wide score display.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "game/ball.hpp"
#include "game/brick.hpp"
#include "game/effect.hpp"
#include "game/item.hpp"
#include "game/kinds.hpp"
#include "game/object_list.hpp"
#include "game/paddle.hpp"
#include "game/shot.hpp"
#include "gfx/canvas.hpp"
#include "gfx/surface.hpp"
#include "shell/number_display.hpp"
#include "sound/sound_clip.hpp"

namespace game {

class GameScreen {
 public:
  static constexpr std::int32_t kColumns = 12;
  static constexpr std::int32_t kRows = 16;
  static constexpr std::int32_t kCells = kColumns * kRows;
  static constexpr std::int32_t kLevels = 50;
  static constexpr std::int32_t kMapCells = kLevels * kCells;  // 9600 cells, 38400 bytes

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
  // Builds the field of the current level, hides 4 to 6 items, resets the paddle and puts one
  // ball on it.
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

  // Read-only views of the state, for the headless driver's dump and for tests.
  struct CellView {
    BrickKind kind = BrickKind::Empty;
    std::int32_t hitPoints = 0;
    std::int32_t variant = 0;
    std::int32_t hiddenItem = 0;
  };
  std::int32_t score() const;
  std::int32_t lives() const { return lives_; }
  const Paddle& paddle() const { return *paddle_; }
  const ObjectList<Ball>& balls() const { return balls_; }
  const ObjectList<Shot>& shots() const { return shots_; }
  const ObjectList<Item>& items() const { return items_; }
  std::int32_t effectCount() const { return effects_.size(); }
  // A cell without a brick (before the first level) reads as an empty one.
  CellView cell(std::int32_t col, std::int32_t row) const;
  const Brick* brickAt(std::int32_t col, std::int32_t row) const;
  const sound::SoundClip* hitSound() const { return hitSound_.get(); }
  const shell::NumberDisplay& levelDisplay() const { return *levelDisplay_; }
  const shell::NumberDisplay& livesDisplay() const { return *livesDisplay_; }

  // Set-up operations of the headless driver and the tests. Positions and velocities are
  // raw Fixed values; cells outside the field are ignored.
  void setCell(std::int32_t col, std::int32_t row, std::int32_t levelMapValue);  // keeps the hidden item
  void setHiddenItem(std::int32_t col, std::int32_t row, std::int32_t kind);
  void addFlyingBall(Fixed x, Fixed y, Fixed vx, Fixed vy, Fixed speed, BallKind kind);
  // A normal ball at x, speed 0x4000, velocity 0, resting on the paddle as a new level's.
  void addRestingBall(Fixed x);
  void clearBalls();
  void setPaddleX(Fixed x);
  void setPaddleSize(SizeState size);
  void setPaddleAttachment(Attachment attachment);
  void addItem(ItemKind kind, Fixed x, Fixed y, Fixed vx, Fixed vy);
  void setLives(std::int32_t lives);
  void setLevel(std::int32_t level);
  // Strikes the cell as a shot does (a Spark or a Blast, a Fire brick's area blast).
  void strikeCell(std::int32_t col, std::int32_t row);

 private:
  struct BrickCell {
    std::unique_ptr<Brick> brick;
    std::int32_t hiddenItem = 0;
  };

  void loadLevelMap();
  void tearDownLevel();
  void hideItems();
  void putNewBallOnPaddle();
  void collideWithBricks(Ball& ball);
  void ordinaryHit(std::int32_t col, std::int32_t row);
  void destroyBrick(std::int32_t col, std::int32_t row);
  void areaBlast(std::int32_t col, std::int32_t row);
  void releaseItem(std::int32_t col, std::int32_t row);
  void eightBalls();
  void doubleBalls();
  bool alive(std::int32_t col, std::int32_t row) const;
  BrickCell& at(std::int32_t col, std::int32_t row) { return field_[static_cast<std::size_t>(row * kColumns + col)]; }
  const BrickCell& at(std::int32_t col, std::int32_t row) const {
    return field_[static_cast<std::size_t>(row * kColumns + col)];
  }

  gfx::Surface background_;
  gfx::Surface panel_;
  std::unique_ptr<sound::SoundClip> hitSound_;
  std::unique_ptr<shell::NumberDisplay> levelDisplay_;
  std::unique_ptr<shell::NumberDisplay> livesDisplay_;
  std::array<BrickCell, kCells> field_;
  std::array<std::int32_t, kMapCells> levelMap_{};
  std::unique_ptr<Paddle> paddle_;
  ObjectList<Ball> balls_;
  ObjectList<Shot> shots_;
  ObjectList<Item> items_;
  ObjectList<Effect> effects_;
  std::int32_t lives_ = 3;
  std::int32_t level_ = 1;
  bool levelPassed_ = false;
  bool gameEnded_ = false;
};

}  // namespace game
