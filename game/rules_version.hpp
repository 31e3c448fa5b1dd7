// The version of the rules of play. A replay is played again by the game's own code, so a
// replay recorded under other rules would play differently: the verifier refuses it as made
// under another version instead of judging it.
//
// Raise it with every change that makes a game play differently: a change of the update,
// the collisions, the items, the levels in "BrickMap.dat", the order of the random draws,
// the screen flow of a game, or what an input does. Such a change also changes the golden
// replays (tests/replays/*.expected), and the test `rules_version` fails until the new
// expectations are recorded beside a new version here (tests/replays/rules_version.txt).
#pragma once

#include <cstdint>

namespace game {

constexpr std::uint32_t kRulesVersion = 1;

}  // namespace game
