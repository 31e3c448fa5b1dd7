// The player's files in the save folder, "AutoSave.dat" and "ScoreList.sav": their names, and
// the rules that keep them from being lost. A file that is there but cannot be read is never
// written over: the game goes on with its defaults in memory and leaves the file for the
// player to mend. A save that fails keeps the old file and says so. Both are told on
// standard error as they happen, and a lost save also in a message box.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/files.hpp"

namespace shell {

enum class PlayerFile { SavedGame, ScoreTable };

inline constexpr std::array<std::string_view, 2> kPlayerFileNames = {"AutoSave.dat", "ScoreList.sav"};

constexpr std::string_view fileName(PlayerFile file) { return kPlayerFileNames[static_cast<std::size_t>(file)]; }

// What a run has learnt about the player's files; kept in process().
struct PlayerFilesState {
  // Why a file that was there could not be read when it was: such a file is kept as found.
  // Empty for a file read as it should be, or not read yet.
  std::array<std::string, kPlayerFileNames.size()> whyUnreadable;
  std::array<std::string, kPlayerFileNames.size()> lastTold;  // a problem is told once
  bool saveLost = false;
};

// Reads at most maxBytes of the file. A missing one is the first run: it is created empty.
// One that is there but cannot be read (no permission, an I/O error, a folder or a FIFO in
// its place) is told on standard error and kept as found for the rest of the run; what it
// gave, if anything, is in the result as platform::readFile reports it.
platform::FileRead readPlayerFile(PlayerFile file, std::size_t maxBytes);

// Replaces the file whole: written beside it, flushed and renamed over it. Refused for a file
// kept as found, or one that is there and cannot be read now, since its contents would be
// lost unseen. A refusal or a failure (a full disk, a read-only folder) leaves the old file as
// it was and is told on standard error and in a message box, once for each new reason. False
// when the file was not saved.
bool savePlayerFile(PlayerFile file, std::span<const std::uint8_t> bytes);

// True once a save of this run was refused or failed: the exit status says so.
bool anySaveLost();

}  // namespace shell
