// Plays a replay into an application made with GameApp::createReplayScreens: each part of the
// game from its start, then its updates, draws and inputs in the order they ran, one step at
// a time (the replay window) or all at once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/game_app.hpp"
#include "replay/replay_file.hpp"

namespace app {

// Puts the application where the part began: the generator's state, the pen, then the game
// started from the part's level, lives and score as "New game" or "Continue" started it.
void beginPart(GameApp& app, const replay::Segment& part);

class ReplayPlayer {
 public:
  // Begins the first part. Both must outlive the player.
  ReplayPlayer(GameApp& app, const replay::Replay& replay);

  // Runs the steps up to and including the next update, then the draws that follow it; at the
  // end of a part the next part begins. False when the replay was already over.
  bool advanceUpdate();
  // Every step that is left.
  void runToEnd();
  bool atEnd() const { return part_ >= replay_.segments.size(); }
  // Updates run so far, of all parts.
  std::uint64_t updates() const { return updates_; }

 private:
  enum class Op { Update, Draw, Input, None };
  Op nextOp() const;
  Op perform();
  void moveOn();

  GameApp& app_;
  const replay::Replay& replay_;
  std::size_t part_ = 0;
  std::size_t event_ = 0;
  std::uint64_t done_ = 0;  // steps done of the current event
  std::uint64_t updates_ = 0;
};

}  // namespace app
