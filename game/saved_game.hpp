// "AutoSave.dat", the game that outlives the program: the level to play next, the lives left
// and the score, three signed 32-bit little-endian integers (12 bytes, no header). The level
// is always played again from its start, so nothing else is kept.
#pragma once

#include <cstdint>
#include <optional>

namespace game {

// The defaults are a new game's, which is also what the file holds once a game has ended.
struct SavedGame {
  std::int32_t level = 1;
  std::int32_t lives = 3;
  std::int32_t score = 0;
  friend bool operator==(const SavedGame&, const SavedGame&) = default;
};

// The game kept in the save folder. A value of which fewer than 4 bytes could be read keeps
// its new-game value (so a missing or empty file, which is then created, is a new game).
// Nothing when the file holds a game that cannot be continued: a level the level map does
// not hold, or no lives left.
std::optional<SavedGame> readSavedGame();

// Replaces the file whole; a failure is not reported (the game carries on without it).
void writeSavedGame(const SavedGame& game);

}  // namespace game
