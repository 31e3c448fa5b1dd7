#include "tests/game/game_fixture.hpp"

#include <fstream>

#include "platform/files.hpp"
#include "platform/message_box.hpp"
#include "platform/random.hpp"
#include "shell/process_state.hpp"

namespace game_testing {
namespace {

// PCM, mono, 11025 samples per second, 16 bits, no samples: every play ends at once, so each
// one is accepted and counted.
const std::vector<std::uint8_t> kSilentWave = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't',
                                               ' ', 16, 0, 0, 0, 1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x22, 0x56,
                                               0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 0, 0, 0, 0};

}  // namespace

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> levelFile(const std::vector<std::int32_t>& cells) {
  std::vector<std::uint8_t> bytes;
  for (std::int32_t v : cells) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
  }
  bytes.resize(38400, 0);
  return bytes;
}

gfx::Surface coordinatePicture(int width, int height) {
  gfx::Surface s;
  s.width = width;
  s.height = height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) s.pixels.push_back(sourcePixel(width, x, y));
  }
  return s;
}

void GameFixture::SetUp() {
  shell::resetProcessState();
  platform::setDataFolder(data_.path());
  platform::setSaveFolder(save_.path());
  platform::seedRandom(12345);
  platform::setMessageBoxHandler(
      [this](std::string_view text, std::string_view caption) { messages_.push_back(std::string(text) + "|" + std::string(caption)); });
  shell::process().scoreDisplay = std::make_unique<shell::NumberDisplay>(115);
  shell::process().scoreDisplay->setValue(0);
}

void GameFixture::TearDown() {
  rig_.reset();
  game_.reset();
  platform::setMessageBoxHandler({});
  shell::resetProcessState();
}

game::GameScreen& GameFixture::makeGame(const std::vector<std::uint8_t>& levelBytes) {
  writeBytes(data_.file("BrickMap.dat"), levelBytes);
  writeBytes(data_.file("hit.wav"), kSilentWave);
  rig_.reset();
  game_ = std::make_unique<game::GameScreen>();
  rig_ = std::make_unique<game::GameRig>(*game_);
  return *game_;
}

game::GameScreen& GameFixture::emptyField() {
  makeGame(levelFile());
  game_->startNewGame();
  game_->setUpLevel();
  rig_->clearBalls();
  rig_->setCell(11, 0, 10);
  return *game_;
}

void GameFixture::run(int updates) {
  for (int i = 0; i < updates; ++i) game_->update(10);
}

std::uint32_t GameFixture::score() const { return shell::currentScore(); }

void GameFixture::loadBlastSound() {
  writeBytes(data_.file("blast.wav"), kSilentWave);
  shell::process().assets.blastSound = std::make_unique<sound::SoundClip>(data_.file("blast.wav"), false);
}

}  // namespace game_testing
