// The game's own client for the process tests: a device's "ScoreList.sav" written as the
// game keeps it, the headless driver run through the high-score screen's exchange with
// --score-server, and the file read back after it exits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/server/process/server_process.hpp"

namespace server_test {

struct DeviceEntry {
  std::u16string name;
  std::uint32_t score;
  bool pending;  // not yet sent to a server
};

struct GameExchange {
  ProcessResult game;                // the driver's run; its output holds the final state dump
  std::vector<DeviceEntry> saved;    // "ScoreList.sav" after the game exited
};

constexpr std::size_t kTableEntries = 100;

// Saves `device` as the table (kTableEntries entries), sends the scores to
// `serverUrl` from the high-score screen and returns what the game did.
GameExchange exchangeScores(const std::string& folder, const std::vector<DeviceEntry>& device,
                            const std::string& serverUrl);

// Sends what the save folder `save` holds (its table, and the replays kept beside it) to
// `serverUrl` as a player does: from the cover to the high scores, then the send key.
// `folder` takes the script.
ProcessResult exchangeFrom(const std::string& folder, const std::string& save, const std::string& serverUrl);

}  // namespace server_test
