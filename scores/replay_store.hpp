// The replays of finished games that entered the score table, each in a file of its own in
// the save folder beside "ScoreList.sav" (whose layout stays as it is): a replay is named
// "ScoreList-ID.zebreplay" while the entry it produced waits in the table to be sent, and
// "Unsent-ID.zebreplay" once the entry went to the server but the replay did not (the server
// was old, busy or gone). ID is a hash of the file's bytes. A replay belongs to a pending
// entry with its name and score; one that no pending entry claims any more (its entry was
// pushed out of the table) is dropped. A file that cannot be read is reported and removed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "scores/score_table.hpp"

namespace scores {

// Replays that went unsent are kept for the next exchanges up to this many; beyond it the
// surplus goes.
constexpr std::size_t kMaxUnsentReplays = 20;

struct StoredReplay {
  std::string path;
  std::vector<std::uint8_t> bytes;
};

// Keeps the replay of the game whose score was just entered, then drops the replays of
// entries that left the table. False when the file could not be written.
bool keepReplay(std::span<const std::uint8_t> bytes, const ScoreTable& table);

// Drops every replay of a pending entry that the table no longer holds: for each name and
// score, at most as many replays as there are pending entries with them.
void dropReplaysOfLeftEntries(const ScoreTable& table);

// What an exchange sends after the list: the replays of the pending entries (taken before the
// list replaces them), then the unsent ones.
std::vector<StoredReplay> replaysToSend(const ScoreTable& table);

// The names of the files kept here, '*' standing for the ID, for the start that removes what
// a kill while one was written left beside it (platform::removeLeftoverTemporaries).
std::vector<std::string> storedReplayNames();

// The server took the replay or refused it for good: it goes.
void forgetReplay(const StoredReplay& replay);
// It could not be sent: it stays for the next exchange, as unsent.
void keepUnsent(const StoredReplay& replay);

}  // namespace scores
