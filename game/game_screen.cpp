#include "game/game_screen.hpp"

#include <algorithm>
#include <cstdint>

#include "game/brick_collision.hpp"
#include "game/saved_game.hpp"
#include "game/wrapping.hpp"
#include "platform/display_device.hpp"
#include "platform/files.hpp"
#include "platform/random.hpp"
#include "shell/process_state.hpp"

namespace game {
namespace {

constexpr Fixed kLowerLimit = toFixed(platform::kScreenHeight);  // below it a ball or item is lost
constexpr Fixed kShotStartY = 0x1140000;  // y = 276
constexpr Fixed kNewBallX = 0x780000;     // x = 120

// Lives have no upper limit in play; a count set from outside stops at the ends of the 32-bit
// range instead of overflowing, and one at the bottom still ends the game when a life is lost.
std::int32_t addLives(std::int32_t lives, std::int32_t more) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{lives} + more, INT32_MIN, INT32_MAX));
}

// Removes and destroys every object of the list for which `goes` is true, visiting each once.
template <typename T, typename Predicate>
void removeWhere(ObjectList<T>& list, Predicate goes) {
  for (auto it = list.begin(); it != list.end();) {
    if (goes(**it)) {
      delete *it;
      it = list.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace

GameScreen::GameScreen() {
  gfx::loadPicture(background_, gfx::imagePath("background.png"));
  gfx::loadPicture(panel_, gfx::imagePath("digitpanel.png"));
  levelDisplay_ = std::make_unique<shell::NumberDisplay>(115);
  livesDisplay_ = std::make_unique<shell::NumberDisplay>(115);
  levelDisplay_->setValue(level_);
  livesDisplay_->setValue(lives_);
  paddle_ = std::make_unique<Paddle>();
  levelMap_.load();
  hitSound_ = std::make_unique<sound::SoundClip>(platform::dataPath("hit.wav"), false);
}

GameScreen::~GameScreen() {
  background_.clear();
  panel_.clear();
  paddle_.reset();
  hitSound_.reset();
  levelDisplay_.reset();
  livesDisplay_.reset();
  tearDownLevel();
}

void GameScreen::startNewGame() {
  const SavedGame newGame;
  lives_ = newGame.lives;
  livesDisplay_->setValue(lives_);
  level_ = newGame.level;
  levelDisplay_->setValue(level_);
  shell::setScore(newGame.score);
  gameEnded_ = false;
}

void GameScreen::loadSavedGame() {
  const std::optional<SavedGame> saved = readSavedGame();
  resumeGame(saved.value_or(SavedGame{}));
}

void GameScreen::resumeGame(const SavedGame& from) {
  startNewGame();
  level_ = from.level;
  lives_ = from.lives;
  shell::setScore(from.score);
  levelDisplay_->setValue(level_);
  livesDisplay_->setValue(lives_);
}

SavedGame GameScreen::progress() const { return {level_, lives_, shell::currentScore()}; }

void GameScreen::saveGame() { writeSavedGame(progress()); }

void GameScreen::resetSavedGame() { writeSavedGame(SavedGame{}); }

void GameScreen::tearDownLevel() {
  if (paddle_) paddle_->forgetRestingBalls();
  balls_.destroyAll();
  shots_.destroyAll();
  items_.destroyAll();
  effects_.destroyAll();
  field_.clear();
}

void GameScreen::setUpLevel() {
  tearDownLevel();
  for (std::int32_t row = 0; row < BrickField::kRows; ++row) {
    for (std::int32_t col = 0; col < BrickField::kColumns; ++col) {
      field_.at(col, row).brick = makeBrick(levelMap_.cell(level_, col, row), col, row);
    }
  }
  hideItems();
  paddle_->reset();
  putRestingBall(kNewBallX);
  levelPassed_ = false;
}

// Each item goes into a random alive brick that holds none yet. A level with fewer such
// bricks than items gets one item per brick: searching for more would never end.
void GameScreen::hideItems() {
  const std::int32_t wanted = platform::nextRandom() % 3 - 1 + 5;
  std::int32_t free = 0;
  for (const BrickCell& cell : field_) {
    if (cell.brick && cell.brick->isAlive() && cell.hiddenItem == 0) ++free;
  }
  const std::int32_t count = std::min(wanted, free);
  for (std::int32_t i = 0; i < count; ++i) {
    std::int32_t col = 0;
    std::int32_t row = 0;
    do {
      col = platform::nextRandom() % BrickField::kColumns;
      row = platform::nextRandom() % BrickField::kRows;
    } while (!field_.alive(col, row) || field_.at(col, row).hiddenItem != 0);
    field_.at(col, row).hiddenItem = platform::nextRandom() % 14 + 1;
  }
}

void GameScreen::putRestingBall(Fixed x) {
  auto* ball = new Ball(x, Paddle::kRestingY, 0, 0, Ball::kNormalSpeed, BallKind::Normal);
  balls_.push_back(ball);
  paddle_->attach(*ball);
}

void GameScreen::update(std::int32_t dt) {
  Paddle& paddle = *paddle_;
  const shell::ProcessState& process = shell::process();

  paddle.update(dt);

  // Holding the pen on the paddle holds it still.
  if (process.penDown && process.penX > paddle.x() && process.penX < paddle.right()) paddle.stop();

  for (Ball* ball : balls_) {
    ball->update(dt);
    const Fixed centre = ball->centreX();
    if (ball->bottom() > Paddle::kTop && ball->y() < Paddle::kTop && paddle.x() <= centre && centre <= paddle.right()) {
      if (paddle.attachment() == Attachment::StickyPads) {
        paddle.attach(*ball);
      } else {
        paddle.bounce(*ball);
      }
    }
  }

  removeWhere(balls_, [&paddle](const Ball& ball) {
    if (ball.y() <= kLowerLimit) return false;
    if (ball.stuck()) paddle.forgetRestingBall(&ball);
    return true;
  });

  if (balls_.empty()) paddle.destroy();

  for (Shot* shot : shots_) shot->update(dt);
  removeWhere(shots_, [](const Shot& shot) { return shot.bottom() < 0; });

  for (BrickCell& cell : field_) {
    if (cell.brick) cell.brick->update(dt);
  }

  removeWhere(shots_, [this](const Shot& shot) {
    const std::int32_t col = shot.centreX() / Brick::kWidth;
    const std::int32_t row = shot.y() / Brick::kHeight;
    if (!field_.alive(col, row)) return false;
    hitBrick(col, row, nullptr);
    return true;
  });

  for (Ball* ball : balls_) collideWithBricks(*ball);

  for (Item* item : items_) item->update(dt);
  removeWhere(items_, [this, &paddle](const Item& item) {
    if (item.bottom() > Paddle::kTop && item.y() < Paddle::kTop) {
      if (item.x() < paddle.right() && item.right() > paddle.x()) {
        applyItem(item);
        return true;
      }
      return false;
    }
    return item.y() > kLowerLimit;
  });

  for (Effect* effect : effects_) effect->update(dt);
  removeWhere(effects_, [](const Effect& effect) { return effect.finished(); });

  for (std::int32_t row = 0; row < BrickField::kRows; ++row) {
    for (std::int32_t col = 0; col < BrickField::kColumns; ++col) {
      Brick* brick = field_.at(col, row).brick.get();
      if (brick != nullptr && brick->kind() == BrickKind::Fire && !brick->isAlive() && brick->takeExploded()) {
        areaBlast(col, row);
      }
    }
  }

  if (paddle.destroyed()) loseLife();

  // Stable bricks never need to be broken.
  const bool cleared = std::none_of(field_.begin(), field_.end(), [](const BrickCell& cell) {
    return cell.brick && cell.brick->isAlive() && cell.brick->kind() != BrickKind::Stable;
  });
  if (cleared) passLevel();
}

void GameScreen::collideWithBricks(Ball& ball) {
  const BrickContact contact = brickContact(ball, field_);
  for (std::int32_t i = 0; i < contact.hitCount; ++i) {
    hitBrick(contact.hits[static_cast<std::size_t>(i)].col, contact.hits[static_cast<std::size_t>(i)].row, &ball);
  }
  if (contact.reflectX) ball.reflectX();
  if (contact.reflectY) ball.reflectY();
}

void GameScreen::moveLeft() { paddle_->moveLeft(); }
void GameScreen::moveRight() { paddle_->moveRight(); }
void GameScreen::stopPaddle() { paddle_->stop(); }
void GameScreen::steerToPen() { paddle_->moveTo(shell::process().penX); }

void GameScreen::fire() {
  paddle_->launch();
  if (paddle_->attachment() == Attachment::Guns && shots_.size() <= 6) {
    shots_.push_back(new Shot(paddle_->x(), kShotStartY));
    shots_.push_back(new Shot(wrapSub(paddle_->right(), toFixed(5)), kShotStartY));
  }
}

void GameScreen::setAllBallKinds(BallKind kind) {
  for (Ball* ball : balls_) ball->setKind(kind);
}

void GameScreen::setAttachment(Attachment attachment) { paddle_->setAttachment(attachment); }

void GameScreen::passLevel() {
  ++level_;
  levelDisplay_->setValue(level_);
  if (level_ > kLastLevel) gameEnded_ = true;
  levelPassed_ = true;
}

void GameScreen::addTenLives() {
  lives_ = addLives(lives_, 10);
  livesDisplay_->setValue(lives_);
}

void GameScreen::extraLife() {
  lives_ = addLives(lives_, 1);
  livesDisplay_->setValue(lives_);
}

// The balls, paddle and field stay as they are when the last life goes: they make the last
// frame. A count already at 0 or below (set from outside) ends the game too, rather than
// playing on without lives.
void GameScreen::loseLife() {
  lives_ = addLives(lives_, -1);
  livesDisplay_->setValue(lives_);
  if (lives_ <= 0) {
    gameEnded_ = true;
    return;
  }
  paddle_->reset();
  balls_.destroyAll();
  putRestingBall(kNewBallX);
}

}  // namespace game
