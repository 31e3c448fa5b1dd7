#include "game/game_screen.hpp"

#include <array>

#include "app/process_state.hpp"
#include "platform/files.hpp"

namespace game {
namespace {

constexpr std::size_t kSavedGameBytes = 12;

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

std::int32_t currentScore() {
  const app::NumberDisplay* score = app::process().scoreDisplay.get();
  return score != nullptr ? score->value() : 0;
}

}  // namespace

GameScreen::GameScreen() = default;
GameScreen::~GameScreen() = default;

void GameScreen::startNewGame() {
  lives_ = 3;
  level_ = 1;
  if (app::process().scoreDisplay) app::process().scoreDisplay->setValue(0);
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
  if (level < 1 || level > 50 || lives < 1) return;
  level_ = level;
  lives_ = lives;
  if (app::process().scoreDisplay) app::process().scoreDisplay->setValue(score);
}

void GameScreen::saveGame() { writeSavedGame(level_, lives_, currentScore()); }

void GameScreen::resetSavedGame() { writeSavedGame(1, 3, 0); }
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
