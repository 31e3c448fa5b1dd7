// A game for fuzz targets whose input ends up in play (the level map, the saved game): one
// GameScreen per process on scratch folders, with the built game's pictures and sounds, the
// shared assets and the score display, a fixed random seed, message boxes counted instead of
// shown. Built on first use: making a screen loads pictures, too slow to do per input.
#pragma once

#include <cstdint>
#include <string>

#include "game/game_rig.hpp"
#include "game/game_screen.hpp"
#include "gfx/canvas.hpp"

namespace fuzzing {

class GameHarness {
 public:
  static GameHarness& instance();

  game::GameScreen& game() { return *game_; }
  game::GameRig& rig() { return *rig_; }

  // The data folder ("BrickMap.dat", image/, the sounds) and the save folder, each ending in '/'.
  const std::string& dataFolder() const { return dataFolder_; }
  const std::string& saveFolder() const { return saveFolder_; }

  // Message boxes shown since the last call, and the last one's text.
  int takeMessageBoxes();
  const std::string& lastMessage() const { return lastMessage_; }

  // The same start for every input: a new game, the generator seeded alike.
  void startNewGame();
  // Launches the ball and plays `updates` passes of 10 ms, firing and steering now and then,
  // with a frame drawn every `drawEvery` passes and one at the end. Stops early when the
  // level is passed or the game ends.
  void play(int updates, int drawEvery);

 private:
  GameHarness();

  std::string dataFolder_;
  std::string saveFolder_;
  std::unique_ptr<game::GameScreen> game_;
  std::unique_ptr<game::GameRig> rig_;
  gfx::Canvas canvas_;
  int messageBoxes_ = 0;
  std::string lastMessage_;
};

}  // namespace fuzzing
