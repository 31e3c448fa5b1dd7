// The driver's built-in player: it steers the paddle under the lowest falling ball, aims the
// rebound at a brick still standing, launches resting balls, fires the guns and starts each
// level. It plays through the same messages a person sends, so its games replay exactly.
#pragma once

#include <cstdint>
#include <optional>

#include "app/app_state.hpp"

namespace app {

class GameApp;
class Program;

class Autopilot {
 public:
  void setOn(bool on, Program& program);
  bool on() const { return on_; }
  // Also between games, one after the other: it lets go of the stylus when play is left,
  // goes on from the game-over picture, names a score that enters the table "AUTO", leaves
  // the high scores, and starts a new game from the menu (or the cover and about pictures).
  // Without it those screens are left alone, and a script goes on from them itself.
  void setBetweenGames(bool on) { betweenGames_ = on; }

  struct GameRecord {
    AppState outcome = AppState::GameFailed;  // or GameWon
    std::int32_t level = 0;                   // the level reached
    std::uint32_t score = 0;
    // The memory in use as the game's first level had been set up, when the previous game's
    // objects are gone and the new one's are always the same: a figure that repeats exactly
    // from game to game unless something grows (platform/memory_use.hpp).
    std::uint64_t heapBytes = 0;
    std::uint64_t residentBytes = 0;
  };
  // Between games: a game that ended, once, in the pass in which the menu shows again. A game
  // under way when the built-in player was set to go between games is not counted.
  std::optional<GameRecord> takeFinishedGame();

  // Sends this pass's input, before the pass runs.
  void beforePass(Program& program);

 private:
  void press(Program& program, std::uint32_t key);
  // Holds the stylus down at x (whole pixels): the paddle centres itself under it.
  void steer(Program& program, std::int32_t penX);
  // True when this pass's input was for a screen between games.
  bool goBetweenGames(Program& program, GameApp& app);

  bool on_ = false;
  bool penHeld_ = false;
  std::int32_t penX_ = 0;
  std::uint32_t passes_ = 0;
  bool betweenGames_ = false;
  std::optional<GameRecord> playing_;   // begun: its first level set up
  std::optional<GameRecord> ending_;    // seen on the game-over picture
  std::optional<GameRecord> finished_;  // back on the menu, not yet taken
};

}  // namespace app
