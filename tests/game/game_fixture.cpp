#include "tests/game/game_fixture.hpp"

#include <fstream>

#include "app/process_state.hpp"
#include "platform/files.hpp"
#include "platform/message_box.hpp"
#include "platform/random.hpp"

namespace game_testing {
namespace {

void put16(std::vector<std::uint8_t>& bytes, std::uint16_t v) {
  bytes.push_back(static_cast<std::uint8_t>(v));
  bytes.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& bytes, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> waveFile(std::uint32_t samples) {
  std::vector<std::uint8_t> bytes = {'R', 'I', 'F', 'F'};
  put32(bytes, 36 + samples * 2);
  for (char c : std::string("WAVEfmt ")) bytes.push_back(static_cast<std::uint8_t>(c));
  put32(bytes, 16);
  put16(bytes, 1);       // PCM
  put16(bytes, 1);       // mono
  put32(bytes, 11025);   // samples per second
  put32(bytes, 22050);   // bytes per second
  put16(bytes, 2);       // block align
  put16(bytes, 16);      // bits per sample
  for (char c : std::string("data")) bytes.push_back(static_cast<std::uint8_t>(c));
  put32(bytes, samples * 2);
  bytes.resize(bytes.size() + samples * 2, 0);
  return bytes;
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> levelFile(const std::vector<std::int32_t>& cells) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(38400);
  for (std::int32_t v : cells) put32(bytes, static_cast<std::uint32_t>(v));
  bytes.resize(38400, 0);
  return bytes;
}

void GameFixture::SetUp() {
  app::resetProcessState();
  platform::setDataFolder(data_.path());
  platform::setSaveFolder(save_.path());
  platform::seedRandom(12345);
  platform::setMessageBoxHandler(
      [this](std::string_view text, std::string_view caption) { messages_.push_back(std::string(text) + "|" + std::string(caption)); });
  app::process().scoreDisplay = std::make_unique<app::NumberDisplay>(115);
  app::process().scoreDisplay->setValue(0);
}

void GameFixture::TearDown() {
  game_.reset();
  platform::setMessageBoxHandler({});
  app::resetProcessState();
}

game::GameScreen& GameFixture::makeGame(const std::vector<std::uint8_t>* levelBytes) {
  if (levelBytes != nullptr) writeBytes(data_.file("BrickMap.dat"), *levelBytes);
  writeBytes(data_.file("hit.wav"), waveFile(0));
  game_ = std::make_unique<game::GameScreen>();
  return *game_;
}

game::GameScreen& GameFixture::emptyField() {
  const std::vector<std::uint8_t> bytes = levelFile();
  makeGame(&bytes);
  game_->startNewGame();
  game_->setUpLevel();
  game_->clearBalls();
  return *game_;
}

void GameFixture::run(int n) {
  for (int i = 0; i < n; ++i) game_->update(10);
}

std::vector<const game::Ball*> GameFixture::ballList() const {
  return {game_->balls().begin(), game_->balls().end()};
}

std::vector<const game::Item*> GameFixture::itemList() const {
  return {game_->items().begin(), game_->items().end()};
}

}  // namespace game_testing
