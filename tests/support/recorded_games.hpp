// Games played by the game itself, headless, through real messages (keys, ticks and the
// built-in player, none of the driver's set-up commands), and the replays the game recorded
// of them: the honest material of every verification test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// From the cover to "New game", where recording begins.
extern const std::string kToNewGame;
// The built-in player wins the game of seed 2 in about 21,000 passes.
extern const std::string kPlayToTheEnd;
// Long enough for any game of the built-in player: after the end it only waits.
extern const std::string kPlayLong;
// The name entry after a game: the name "AB", then the high-score screen.
extern const std::string kEnterName;
// A new game played for a while, then the program quits: the game and its replay are saved.
extern const std::string kQuitWhilePlaying;
// "Continue" (the menu's second item) on a saved game, played to the end and entered as "AB".
extern const std::string kContinueToTheEnd;

// Runs the game headless, without sound, as `zebrolite --headless ARGUMENTS`, and fails the
// test unless it exits with status 0; what it printed. A game that hangs is stopped after two
// minutes, and the test fails instead of waiting for ever.
std::string runGame(const std::string& arguments);
// Runs the game on a driver script with the save folder `save` (which ends in '/').
std::string runGameScript(const std::string& script, const std::string& save);

// The replays the game keeps beside its score table in `save`, in the order of their names.
std::vector<std::vector<std::uint8_t>> tableReplays(const std::string& save);

// An honest finished game of seed 2 as "AB", recorded in a save folder of its own.
std::vector<std::uint8_t> recordWonGame();
// The same game with the test key '4' pressed at its start (it changes nothing in play).
std::vector<std::uint8_t> recordGameWithTestKey();
// A game saved at exit, then continued to its end: a replay of two parts.
std::vector<std::uint8_t> recordContinuedGame();

}  // namespace testing_support
