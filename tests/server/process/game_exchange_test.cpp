// The whole exchange on loopback: the game's headless driver sends the entries pending on
// the device to a running zebrolite-scored and takes the server's list in exchange.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/server/process/http_client.hpp"
#include "tests/server/process/server_process.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/test_files.hpp"

namespace server_test {
namespace {

constexpr std::size_t kEntries = 100;
constexpr std::size_t kEntryBytes = 32;
constexpr std::size_t kNameUnits = 9;

struct Entry {
  std::u16string name;
  std::uint32_t score;
  bool pending;
};

// "ScoreList.sav": music and sound options, then 100 entries of 32 bytes.
std::vector<std::uint8_t> scoreFile(const std::vector<Entry>& entries) {
  std::vector<std::uint8_t> bytes(2 + kEntries * kEntryBytes, 0);
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

std::vector<Entry> readScoreFile(const std::vector<std::uint8_t>& bytes) {
  std::vector<Entry> entries;
  for (std::size_t i = 0; i < kEntries && 2 + (i + 1) * kEntryBytes <= bytes.size(); ++i) {
    const std::uint8_t* record = bytes.data() + 2 + i * kEntryBytes;
    Entry entry{u"", 0, record[0] != 0};
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

TEST(GameExchangeTest, TheGameSendsItsEntriesAndTakesTheServersList) {
  testing_support::ScratchFolder scratch;
  ServerProcess server(scratch.path());
  ASSERT_TRUE(server.started()) << server.stderrText();
  ASSERT_EQ(httpGet(server.port(), "/Zebrolite2/updateScore_ppc.php?myname=ZED&myscore=900").body, "OK");
  ASSERT_EQ(httpGet(server.port(), "/Zebrolite2/updateScore_ppc.php?myname=YAN&myscore=50").body, "OK");

  std::vector<Entry> device = {{u"ANNA", 700, true}, {u"A B", 600, true}, {u"\u00C9LAN", 550, true}};
  for (std::uint32_t i = 3; i < kEntries; ++i) device.push_back({u"PLAYER", 100 - i, false});
  std::filesystem::create_directory(scratch.file("save"));
  testing_support::writeBytes(scratch.file("save/ScoreList.sav"), scoreFile(device));
  // From the cover to the high scores (the fourth menu item), then send the scores.
  std::ofstream(scratch.file("exchange.zs"))
      << "seed 1\ntick 60\nkey RETURN\ntick 60\nkey DOWN\nkey DOWN\nkey DOWN\nkey RETURN\ntick 60\n"
         "key APP4\ntick 300\ndump\n";
  const ProcessResult game = runProgram(gameBinary(), {"--headless", "--script", scratch.file("exchange.zs"), "--save-dir",
                                                       scratch.file("save"), "--score-server", server.url()},
                                        {{"SDL_AUDIODRIVER", "dummy"}}, 60000);
  ASSERT_EQ(game.status, 0) << game.err;

  // The server has every entry, decoded as the player typed it.
  EXPECT_EQ(httpGet(server.port(), "/Zebrolite2/updateScore_ppc.php").body,
            ";ZED,900;ANNA,700;A B,600;\xC3\x89LAN,550;YAN,50");
  // The device's table starts with the server's list; what it did not reach stays.
  EXPECT_NE(game.out.find("\"scores\":[[\"ZED\",900,false],[\"ANNA\",700,false],[\"A B\",600,false],"
                          "[\"\xC3\x89LAN\",550,false],[\"YAN\",50,false],[\"PLAYER\",95,false]"),
            std::string::npos)
      << game.out.substr(game.out.find("\"scores\""), 300);
  // And the screen says so.
  EXPECT_NE(game.out.find("\"exchange\":\"Scores exchanged\""), std::string::npos);
  const std::vector<Entry> saved = readScoreFile(testing_support::readBytes(scratch.file("save/ScoreList.sav")));
  ASSERT_EQ(saved.size(), kEntries);
  const std::vector<std::pair<std::u16string, std::uint32_t>> expected = {
      {u"ZED", 900}, {u"ANNA", 700}, {u"A B", 600}, {u"\u00C9LAN", 550}, {u"YAN", 50}, {u"PLAYER", 95}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(saved[i].name, expected[i].first) << i;
    EXPECT_EQ(saved[i].score, expected[i].second) << i;
    EXPECT_FALSE(saved[i].pending) << i;
  }
  EXPECT_EQ(server.stop(SIGTERM), 0);
}

}  // namespace
}  // namespace server_test
