// "AutoSave.dat", the game that outlives the program: the level to play next, the lives left
// and the score, three 32-bit little-endian integers (12 bytes, no header). The level is
// always played again from its start, so nothing else is kept. The score is unsigned, as
// everywhere: the bytes of a score past 2^31 that an older version wrote as negative read
// back as the score it was.
#pragma once

#include <cstdint>
#include <optional>

namespace game {

// The defaults are a new game's, which is also what the file holds once a game has ended.
struct SavedGame {
  std::int32_t level = 1;
  std::int32_t lives = 3;
  std::uint32_t score = 0;
  friend bool operator==(const SavedGame&, const SavedGame&) = default;
};

// The game kept in the save folder. A value of which fewer than 4 bytes could be read keeps
// its new-game value (so a missing or empty file, which is then created, is a new game; an
// unreadable one is a new game too, and is left as it is: shell/player_files.hpp). Nothing
// when the file holds a game that cannot be continued: a level the level map does not hold,
// or no lives left.
std::optional<SavedGame> readSavedGame();

// Replaces the file whole. A save that fails or is refused is told and the old file stays;
// the game carries on either way.
void writeSavedGame(const SavedGame& game);

}  // namespace game
