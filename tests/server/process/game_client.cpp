#include "tests/server/process/game_client.hpp"

#include <filesystem>
#include <fstream>

#include "tests/support/test_files.hpp"

namespace server_test {
namespace {

constexpr std::size_t kEntryBytes = 32;
constexpr std::size_t kNameUnits = 9;

// "ScoreList.sav": music and sound options, then 100 entries of 32 bytes.
std::vector<std::uint8_t> scoreFile(const std::vector<DeviceEntry>& entries) {
  std::vector<std::uint8_t> bytes(2 + kTableEntries * kEntryBytes, 0);
  bytes[1] = 1;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::uint8_t* record = bytes.data() + 2 + i * kEntryBytes;
    record[0] = entries[i].pending ? 1 : 0;
    for (std::size_t u = 0; u < entries[i].name.size() && u + 1 < kNameUnits; ++u) {
      record[2 + 2 * u] = static_cast<std::uint8_t>(entries[i].name[u] & 0xFF);
      record[3 + 2 * u] = static_cast<std::uint8_t>(entries[i].name[u] >> 8);
    }
    for (int b = 0; b < 4; ++b) record[20 + b] = static_cast<std::uint8_t>(entries[i].score >> (8 * b));
  }
  return bytes;
}

std::vector<DeviceEntry> readScoreFile(const std::vector<std::uint8_t>& bytes) {
  std::vector<DeviceEntry> entries;
  for (std::size_t i = 0; i < kTableEntries && 2 + (i + 1) * kEntryBytes <= bytes.size(); ++i) {
    const std::uint8_t* record = bytes.data() + 2 + i * kEntryBytes;
    DeviceEntry entry{u"", 0, record[0] != 0};
    for (std::size_t u = 0; u < kNameUnits; ++u) {
      const char16_t unit = static_cast<char16_t>(record[2 + 2 * u] | (record[3 + 2 * u] << 8));
      if (unit == 0) break;
      entry.name.push_back(unit);
    }
    for (int b = 0; b < 4; ++b) entry.score |= static_cast<std::uint32_t>(record[20 + b]) << (8 * b);
    entries.push_back(entry);
  }
  return entries;
}

}  // namespace

ProcessResult exchangeFrom(const std::string& folder, const std::string& save, const std::string& serverUrl) {
  // From the cover to the high scores (the fourth menu item), then send the scores.
  std::ofstream(folder + "exchange.zs")
      << "seed 1\ntick 60\nkey RETURN\ntick 60\nkey DOWN\nkey DOWN\nkey DOWN\nkey RETURN\ntick 60\n"
         "key APP4\ntick 300\ndump\n";
  return runProgram(gameBinary(),
                    {"--headless", "--script", folder + "exchange.zs", "--save-dir", save, "--score-server", serverUrl},
                    {{"SDL_AUDIODRIVER", "dummy"}}, 60000);
}

GameExchange exchangeScores(const std::string& folder, const std::vector<DeviceEntry>& device,
                            const std::string& serverUrl) {
  std::filesystem::create_directory(folder + "save");
  testing_support::writeBytes(folder + "save/ScoreList.sav", scoreFile(device));
  GameExchange exchange;
  exchange.game = exchangeFrom(folder, folder + "save/", serverUrl);
  exchange.saved = readScoreFile(testing_support::readBytes(folder + "save/ScoreList.sav"));
  return exchange;
}

}  // namespace server_test
