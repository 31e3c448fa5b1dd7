// Records a game played in the window as a script of the headless driver: the seed, then
// every message with the number of game passes before it, so that replaying the script
// reproduces the game bit for bit.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/messages.hpp"

namespace app {

class ReplayRecorder {
 public:
  // Opens `path` for writing and copies the player's files as they are before start-up
  // (the score table and the saved game steer the game too) into the folder `path`.save/.
  explicit ReplayRecorder(const std::string& path);
  ~ReplayRecorder();
  ReplayRecorder(const ReplayRecorder&) = delete;
  ReplayRecorder& operator=(const ReplayRecorder&) = delete;

  bool ok() const { return file_ != nullptr; }

  // After start-up: the generator's state, from which the replay starts.
  void start(std::uint32_t randomState);
  // One pass in which the game was updated and drawn.
  void countPass() { ++pendingPasses_; }
  // A message about to be dispatched.
  void message(const win::Message& message);
  // The passes since the last message; the file is complete afterwards.
  void finish();

  // The script line a message is recorded as; empty for a message without effect.
  static std::string commandFor(const win::Message& message);

 private:
  void flushPasses();

  std::FILE* file_ = nullptr;
  std::string path_;
  std::uint64_t pendingPasses_ = 0;
};

}  // namespace app
