#include "fuzz/support/game_harness.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "fuzz/support/scratch.hpp"
#include "platform/files.hpp"
#include "platform/message_box.hpp"
#include "platform/random.hpp"
#include "shell/process_state.hpp"

namespace fuzzing {
namespace {

constexpr std::uint32_t kSeed = 20240306;

// The built game's folder, which the fuzz build makes beside its targets.
std::filesystem::path gameFolder() {
  if (const char* folder = std::getenv("ZEBROLITE_GAME_DIR"); folder != nullptr && folder[0] != '\0') return folder;
  return ZEBROLITE_FUZZ_GAME_DIR;
}

// Copies of the game's data, so the targets can write "BrickMap.dat" without touching the
// build's.
void copyGameData(const std::filesystem::path& to) {
  const std::filesystem::path from = gameFolder();
  std::error_code error;
  std::filesystem::create_directories(to / "image", error);
  std::filesystem::copy(from / "image", to / "image",
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing, error);
  for (const char* name : {"hit.wav", "blast.wav", "BrickMap.dat"}) {
    std::filesystem::copy_file(from / name, to / name, std::filesystem::copy_options::overwrite_existing, error);
  }
  if (!std::filesystem::exists(to / "image" / "background.png")) {
    std::fprintf(stderr, "zebrolite fuzz: no built game in %s (set ZEBROLITE_GAME_DIR)\n", from.c_str());
    std::abort();
  }
}

}  // namespace

GameHarness& GameHarness::instance() {
  // Never destroyed: the game outlives every input, and process exit frees it.
  static GameHarness* harness = new GameHarness;
  return *harness;
}

GameHarness::GameHarness()
    : dataFolder_(scratchFolder() + "data/"), saveFolder_(scratchFolder() + "save/") {
  copyGameData(dataFolder_);
  std::filesystem::create_directories(saveFolder_);
  platform::setDataFolder(dataFolder_);
  platform::setSaveFolder(saveFolder_);
  platform::setMessageBoxHandler([this](std::string_view text, std::string_view) {
    ++messageBoxes_;
    lastMessage_ = std::string(text);
  });
  shell::process().scoreDisplay = std::make_unique<shell::NumberDisplay>(115);
  shell::loadSharedAssets();
  game_ = std::make_unique<game::GameScreen>();
  rig_ = std::make_unique<game::GameRig>(*game_);
  takeMessageBoxes();
}

int GameHarness::takeMessageBoxes() {
  const int count = messageBoxes_;
  messageBoxes_ = 0;
  return count;
}

void GameHarness::startNewGame() {
  platform::seedRandom(kSeed);
  shell::process().muted = false;
  game_->startNewGame();
}

void GameHarness::play(int updates, int drawEvery) {
  game_->fire();
  for (int i = 1; i <= updates && !game_->isLevelPassed() && !game_->isGameEnded(); ++i) {
    game_->update(10);
    // A ball lost is a ball to launch again; the guns fire when the paddle has them.
    if (i % 50 == 0) game_->fire();
    if (i % 120 < 60) {
      game_->moveLeft();
    } else {
      game_->moveRight();
    }
    if (i % drawEvery == 0) game_->draw(canvas_);
  }
  game_->stopPaddle();
  game_->draw(canvas_);
}

}  // namespace fuzzing
