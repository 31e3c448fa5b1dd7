#include "game/game_screen.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

#include "game/blast.hpp"
#include "game/spark.hpp"
#include "game/wrapping.hpp"
#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/files.hpp"
#include "platform/message_box.hpp"
#include "platform/random.hpp"
#include "shell/process_state.hpp"

namespace game {
namespace {

constexpr std::size_t kSavedGameBytes = 12;
constexpr std::size_t kLevelFileBytes = GameScreen::kMapCells * 4;

constexpr Fixed kCellWidth = Brick::kWidth;
constexpr Fixed kCellHeight = Brick::kHeight;
constexpr Fixed kLowerLimit = 0x1400000;  // y = 320: below it a ball or item is lost
constexpr Fixed kShotStartY = 0x1140000;  // y = 276
constexpr Fixed kNewBallX = 0x780000;     // x = 120

void put32(std::array<std::uint8_t, kSavedGameBytes>& bytes, std::size_t at, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::int32_t get32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
  return static_cast<std::int32_t>(v);
}

void writeSavedGame(std::int32_t level, std::int32_t lives, std::int32_t score) {
  std::array<std::uint8_t, kSavedGameBytes> bytes{};
  put32(bytes, 0, level);
  put32(bytes, 4, lives);
  put32(bytes, 8, score);
  platform::writeFileAtomically(platform::savePath("AutoSave.dat"), bytes);
}

// Lives have no upper limit in play; a count set from outside stops at the ends of the 32-bit
// range instead of overflowing, and one at the bottom still ends the game when a life is lost.
std::int32_t addLives(std::int32_t lives, std::int32_t more) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{lives} + more, INT32_MIN, INT32_MAX));
}

std::int32_t currentScore() {
  const shell::NumberDisplay* score = shell::process().scoreDisplay.get();
  return score != nullptr ? score->value() : 0;
}

void setScore(std::int32_t value) {
  if (shell::process().scoreDisplay) shell::process().scoreDisplay->setValue(value);
}

bool insideField(std::int32_t col, std::int32_t row) {
  return col >= 0 && col < GameScreen::kColumns && row >= 0 && row < GameScreen::kRows;
}

Fixed cellCentreX(std::int32_t col) { return col * kCellWidth + 0xA0000; }
Fixed cellCentreY(std::int32_t row) { return row * kCellHeight + 0x60000; }

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
  loadLevelMap();
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

// The file is read in one request straight into the map, so a short file fills the map from
// its start; whatever was not read stays 0, an empty cell.
void GameScreen::loadLevelMap() {
  const platform::FileRead file = platform::readFile(platform::dataPath("BrickMap.dat"), kLevelFileBytes, true);
  if (!file.opened) {
    platform::showMessageBox("Open file error", "");
    return;
  }
  levelMap_.fill(0);
  for (std::size_t i = 0; i < file.bytes.size(); ++i) {
    auto& cell = levelMap_[i / 4];
    const std::uint32_t byte = static_cast<std::uint32_t>(file.bytes[i]) << (8 * (i % 4));
    cell = static_cast<std::int32_t>(static_cast<std::uint32_t>(cell) | byte);
  }
  if (file.readFailed) {
    platform::showMessageBox("CAN'T READ FILE", "");
  } else if (file.bytes.size() < kLevelFileBytes) {
    platform::showMessageBox("READ FILE ERROR", "");
  }
}

void GameScreen::startNewGame() {
  lives_ = 3;
  livesDisplay_->setValue(lives_);
  level_ = 1;
  levelDisplay_->setValue(level_);
  setScore(0);
  gameEnded_ = false;
}

void GameScreen::loadSavedGame() {
  startNewGame();
  const platform::FileRead file = platform::readFile(platform::savePath("AutoSave.dat"), kSavedGameBytes, true);
  std::int32_t level = level_;
  std::int32_t lives = lives_;
  std::int32_t score = 0;
  if (file.bytes.size() >= 4) level = get32(file.bytes, 0);
  if (file.bytes.size() >= 8) lives = get32(file.bytes, 4);
  if (file.bytes.size() >= 12) score = get32(file.bytes, 8);
  // A level the map does not hold, or a game without lives, cannot be continued: such a file
  // counts as no saved game.
  if (level < 1 || level > kLevels || lives < 1) return;
  level_ = level;
  lives_ = lives;
  setScore(score);
  levelDisplay_->setValue(level_);
  livesDisplay_->setValue(lives_);
}

void GameScreen::saveGame() { writeSavedGame(level_, lives_, currentScore()); }

void GameScreen::resetSavedGame() { writeSavedGame(1, 3, 0); }

void GameScreen::tearDownLevel() {
  if (paddle_) paddle_->forgetRestingBalls();
  balls_.destroyAll();
  shots_.destroyAll();
  items_.destroyAll();
  effects_.destroyAll();
  for (BrickCell& cell : field_) {
    cell.brick.reset();
    cell.hiddenItem = 0;
  }
}

void GameScreen::setUpLevel() {
  tearDownLevel();
  // Only levels 1 .. 50 are in the map; any other number (a driver's set-up) gives an
  // empty field instead of reading outside it.
  const bool inMap = level_ >= 1 && level_ <= kLevels;
  for (std::int32_t row = 0; row < kRows; ++row) {
    for (std::int32_t col = 0; col < kColumns; ++col) {
      const std::int32_t value = inMap ? levelMap_[static_cast<std::size_t>((level_ - 1) * kCells + row * kColumns + col)] : 0;
      at(col, row).brick = makeBrick(value, col, row);
    }
  }
  hideItems();
  paddle_->reset();
  putNewBallOnPaddle();
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
      col = platform::nextRandom() % kColumns;
      row = platform::nextRandom() % kRows;
    } while (!alive(col, row) || at(col, row).hiddenItem != 0);
    at(col, row).hiddenItem = platform::nextRandom() % 14 + 1;
  }
}

void GameScreen::putNewBallOnPaddle() {
  auto* ball = new Ball(kNewBallX, Paddle::kRestingY, 0, 0, Ball::kNormalSpeed, BallKind::Normal);
  balls_.push_back(ball);
  paddle_->attach(*ball);
}

bool GameScreen::alive(std::int32_t col, std::int32_t row) const {
  if (!insideField(col, row)) return false;
  const Brick* brick = at(col, row).brick.get();
  return brick != nullptr && brick->isAlive();
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
    const std::int32_t col = shot.centreX() / kCellWidth;
    const std::int32_t row = shot.y() / kCellHeight;
    if (!alive(col, row)) return false;
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

  for (std::int32_t row = 0; row < kRows; ++row) {
    for (std::int32_t col = 0; col < kColumns; ++col) {
      Brick* brick = at(col, row).brick.get();
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

// The ball's box is looked up at its four corners, all before any hit is applied. As the
// ball is exactly one row high, B is always T + 1; within one column L = R.
void GameScreen::collideWithBricks(Ball& ball) {
  const Fixed x = ball.x();
  const Fixed y = ball.y();
  const std::int32_t left = x / kCellWidth;
  const std::int32_t right = wrapAdd(x, Ball::kSize) / kCellWidth;
  const std::int32_t centreCol = wrapAdd(x, 0x60000) / kCellWidth;
  const std::int32_t top = y / kCellHeight;
  const std::int32_t bottom = wrapAdd(y, Ball::kSize) / kCellHeight;
  const std::int32_t centreRow = wrapAdd(y, 0x60000) / kCellHeight;
  if (left < 0 || right > kColumns - 1 || top < 0 || bottom > kRows - 1) return;

  const bool tl = alive(left, top);
  const bool tr = alive(right, top);
  const bool bl = alive(left, bottom);
  const bool br = alive(right, bottom);
  const int corners = int{tl} + int{tr} + int{bl} + int{br};
  if (corners == 0) return;

  if (tl && br) {
    hitBrick(left, top, &ball);
    ball.reflectX();
    hitBrick(right, bottom, &ball);
    ball.reflectY();
    return;
  }
  if (tr && bl) {
    hitBrick(right, top, &ball);
    hitBrick(left, bottom, &ball);
    ball.reflectX();
    ball.reflectY();
    return;
  }
  if (corners == 2) {
    if (tl && tr) {
      hitBrick(centreCol, top, &ball);
      ball.reflectY();
    } else if (bl && br) {
      hitBrick(centreCol, bottom, &ball);
      ball.reflectY();
    } else if (tl && bl) {
      hitBrick(left, centreRow, &ball);
      ball.reflectX();
    } else {
      hitBrick(right, centreRow, &ball);
      ball.reflectX();
    }
    return;
  }

  // One corner alone: the motion, and for a ball moving into the corner the cell its centre
  // lies in, decide the reflection.
  const Fixed vx = ball.vx();
  const Fixed vy = ball.vy();
  const auto centreIn = [&](std::int32_t col, std::int32_t row) { return centreCol == col && centreRow == row; };
  const auto both = [&ball] {
    ball.reflectX();
    ball.reflectY();
  };
  if (tl) {
    if (vx > 0 && vy < 0) {
      ball.reflectY();
    } else if (vx < 0 && vy > 0) {
      ball.reflectX();
    } else if (vx <= 0 && vy <= 0) {
      if (centreIn(right, bottom)) {
        both();
      } else if (centreIn(left, bottom)) {
        ball.reflectY();
      } else if (centreIn(right, top)) {
        ball.reflectX();
      }
    }
    hitBrick(left, top, &ball);
  } else if (tr) {
    if (vx > 0 && vy > 0) {
      ball.reflectX();
    } else if (vx < 0 && vy < 0) {
      ball.reflectY();
    } else if (vx >= 0 && vy <= 0) {
      if (centreIn(left, bottom)) {
        both();
      } else if (centreIn(left, top)) {
        ball.reflectX();
      } else if (centreIn(right, bottom)) {
        ball.reflectY();
      }
    }
    hitBrick(right, top, &ball);
  } else if (bl) {
    if (vx > 0 && vy > 0) {
      ball.reflectY();
    } else if (vx < 0 && vy < 0) {
      ball.reflectX();
    } else if (vx <= 0 && vy >= 0) {
      if (centreIn(right, top)) {
        both();
      } else if (centreIn(right, bottom)) {
        ball.reflectX();
      } else if (centreIn(left, top)) {
        ball.reflectY();
      }
    }
    hitBrick(left, bottom, &ball);
  } else {
    if (vx < 0 && vy > 0) {
      ball.reflectY();
    } else if (vx > 0 && vy < 0) {
      ball.reflectX();
    } else if (vx > 0 && vy > 0) {
      if (centreIn(left, top)) {
        both();
      } else if (centreIn(right, top)) {
        ball.reflectY();
      } else if (centreIn(left, bottom)) {
        ball.reflectX();
      }
    }
    hitBrick(right, bottom, &ball);
  }
}

void GameScreen::hitBrick(std::int32_t col, std::int32_t row, const Ball* ball) {
  if (!insideField(col, row)) return;
  const Brick* brick = at(col, row).brick.get();
  if (brick == nullptr) return;
  const bool fireBrick = brick->kind() == BrickKind::Fire;
  if (ball == nullptr) {
    if (fireBrick) {
      areaBlast(col, row);
    } else {
      ordinaryHit(col, row);
    }
    return;
  }
  switch (ball->kind()) {
    case BallKind::Fire:
      areaBlast(col, row);
      break;
    case BallKind::Pierce:
      destroyBrick(col, row);
      break;
    case BallKind::Normal:
    default:
      if (fireBrick) {
        destroyBrick(col, row);
      } else {
        ordinaryHit(col, row);
      }
      break;
  }
}

void GameScreen::ordinaryHit(std::int32_t col, std::int32_t row) {
  Brick* brick = at(col, row).brick.get();
  // Every caller strikes alive bricks only; a broken brick must not break a second time.
  if (brick == nullptr || !brick->isAlive()) return;
  if (hitSound_ && shell::soundEffectsAudible()) hitSound_->play();
  if (brick->hit() != 0) {
    effects_.push_back(new Spark(cellCentreX(col), cellCentreY(row)));
    return;
  }
  if (brick->kind() != BrickKind::Fire) effects_.push_back(new Blast(cellCentreX(col), cellCentreY(row)));
  releaseItem(col, row);
}

void GameScreen::destroyBrick(std::int32_t col, std::int32_t row) {
  Brick* brick = at(col, row).brick.get();
  if (brick == nullptr || !brick->isAlive()) return;
  brick->destroy();
  if (brick->kind() != BrickKind::Fire) effects_.push_back(new Blast(cellCentreX(col), cellCentreY(row)));
  releaseItem(col, row);
}

void GameScreen::areaBlast(std::int32_t col, std::int32_t row) {
  if (!insideField(col, row)) return;
  destroyBrick(col, row);
  static constexpr std::array<std::array<std::int32_t, 2>, 8> kNeighbours = {
      {{-1, 0}, {0, -1}, {1, 0}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}}};
  for (const auto& [dc, dr] : kNeighbours) {
    if (alive(col + dc, row + dr)) destroyBrick(col + dc, row + dr);
  }
}

void GameScreen::releaseItem(std::int32_t col, std::int32_t row) {
  const std::int32_t kind = at(col, row).hiddenItem;
  if (kind == 0) return;
  const Fixed vx = (platform::nextRandom() - 0x3FFF) >> 1;
  const Fixed vy = (platform::nextRandom() - 0x3FFF) >> 1;
  items_.push_back(new Item(toFixed(20 * col - 5), toFixed(12 * row - 9), vx, vy, static_cast<ItemKind>(kind)));
}

void GameScreen::applyItem(const Item& item) {
  shell::addScore(100);
  Paddle& paddle = *paddle_;
  switch (item.kind()) {
    case ItemKind::Guns:
      paddle.setAttachment(Attachment::Guns);
      break;
    case ItemKind::EightBalls:
      eightBalls();
      break;
    case ItemKind::Longer:
      paddle.lengthen();
      break;
    case ItemKind::ExtraLife:
      extraLife();
      break;
    case ItemKind::FastBalls:
      for (Ball* ball : balls_) ball->speedUp();
      break;
    case ItemKind::FireBalls:
      for (Ball* ball : balls_) ball->setKind(BallKind::Fire);
      break;
    case ItemKind::Bomb:
      paddle.destroy();
      break;
    case ItemKind::NextLevel:
      passLevel();
      break;
    case ItemKind::Shorter:
      paddle.shorten();
      break;
    case ItemKind::SlowBalls:
      for (Ball* ball : balls_) ball->slowDown();
      break;
    case ItemKind::DoubleBalls:
      doubleBalls();
      break;
    case ItemKind::StickyPads:
      paddle.setAttachment(Attachment::StickyPads);
      break;
    case ItemKind::PierceBalls:
      for (Ball* ball : balls_) ball->setKind(BallKind::Pierce);
      break;
    case ItemKind::WeakBricks:
      for (BrickCell& cell : field_) {
        if (cell.brick) cell.brick->weaken();
      }
      break;
    case ItemKind::None:
    default:
      break;
  }
}

// The eight velocities have the length of the normal speed, so the balls keep the normal
// speed: the speed field stays the length of the velocity, as bouncing, launching and the
// speed items expect.
void GameScreen::eightBalls() {
  if (balls_.empty()) return;
  static constexpr std::array<std::array<Fixed, 2>, 7> kOthers = {{{-6270, 15136},
                                                                   {6270, -15136},
                                                                   {-6270, -15136},
                                                                   {15136, 6270},
                                                                   {-15136, 6270},
                                                                   {15136, -6270},
                                                                   {-15136, -6270}}};
  Ball& first = *balls_.front();
  first.setVx(6270);
  first.setVy(15136);
  first.setSpeed(Ball::kNormalSpeed);
  for (const auto& [vx, vy] : kOthers) {
    balls_.push_back(new Ball(first.x(), first.y(), vx, vy, Ball::kNormalSpeed, first.kind()));
  }
}

void GameScreen::doubleBalls() {
  const std::int32_t count = balls_.size();
  auto it = balls_.begin();
  for (std::int32_t i = 0; i < count; ++i, ++it) {
    const Ball& old = **it;
    auto* twin = new Ball(old.x(), old.y(), wrapNeg(old.vy()), old.vx(), old.speed(), old.kind());
    balls_.push_back(twin);
    if (old.stuck()) paddle_->attach(*twin);
  }
}

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
  gfx::drawSprite(target, 0, toFixed(296), toFixed(240), toFixed(24), &panel_, 0, 0, gfx::kNoColourKey);
  if (const shell::NumberDisplay* score = shell::process().scoreDisplay.get()) {
    score->draw(target, toFixed(22), toFixed(300), gfx::kKeyBlue);
  }
  levelDisplay_->draw(target, toFixed(198), toFixed(300), gfx::kKeyBlue);
  livesDisplay_->draw(target, toFixed(144), toFixed(300), gfx::kKeyBlue);
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
  if (level_ > 3) gameEnded_ = true;
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
  putNewBallOnPaddle();
}

std::int32_t GameScreen::score() const { return currentScore(); }

GameScreen::CellView GameScreen::cell(std::int32_t col, std::int32_t row) const {
  CellView view;
  if (!insideField(col, row)) return view;
  const BrickCell& c = at(col, row);
  view.hiddenItem = c.hiddenItem;
  if (c.brick) {
    view.kind = c.brick->kind();
    view.hitPoints = c.brick->hitPoints();
    view.variant = c.brick->variant();
  }
  return view;
}

const Brick* GameScreen::brickAt(std::int32_t col, std::int32_t row) const {
  return insideField(col, row) ? at(col, row).brick.get() : nullptr;
}

void GameScreen::setCell(std::int32_t col, std::int32_t row, std::int32_t levelMapValue) {
  if (insideField(col, row)) at(col, row).brick = makeBrick(levelMapValue, col, row);
}

void GameScreen::setHiddenItem(std::int32_t col, std::int32_t row, std::int32_t kind) {
  if (insideField(col, row)) at(col, row).hiddenItem = kind;
}

void GameScreen::addFlyingBall(Fixed x, Fixed y, Fixed vx, Fixed vy, Fixed speed, BallKind kind) {
  balls_.push_back(new Ball(x, y, vx, vy, speed, kind));
}

void GameScreen::addRestingBall(Fixed x) {
  auto* ball = new Ball(x, Paddle::kRestingY, 0, 0, Ball::kNormalSpeed, BallKind::Normal);
  balls_.push_back(ball);
  paddle_->attach(*ball);
}

void GameScreen::clearBalls() {
  paddle_->forgetRestingBalls();
  balls_.destroyAll();
}

void GameScreen::setPaddleX(Fixed x) { paddle_->setX(x); }
void GameScreen::setPaddleSize(SizeState size) { paddle_->setSizeState(size); }
void GameScreen::setPaddleAttachment(Attachment attachment) { paddle_->setAttachment(attachment); }

void GameScreen::addItem(ItemKind kind, Fixed x, Fixed y, Fixed vx, Fixed vy) {
  items_.push_back(new Item(x, y, vx, vy, kind));
}

void GameScreen::setLives(std::int32_t lives) {
  lives_ = lives;
  livesDisplay_->setValue(lives_);
}

void GameScreen::setLevel(std::int32_t level) {
  level_ = level;
  levelDisplay_->setValue(level_);
}

void GameScreen::strikeCell(std::int32_t col, std::int32_t row) {
  if (alive(col, row)) hitBrick(col, row, nullptr);
}

}  // namespace game
