// The whole exchange on loopback: the game's headless driver sends the entries pending on
// the device to a running zebrolite-scored and takes the server's list in exchange.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/server/process/game_client.hpp"
#include "tests/server/process/http_client.hpp"
#include "tests/server/process/server_process.hpp"
#include "tests/server/process/server_test.hpp"
#include "tests/support/scratch_folder.hpp"

namespace server_test {
namespace {

class GameExchangeTest : public ServerTest {};

TEST_P(GameExchangeTest, TheGameSendsItsEntriesAndTakesTheServersList) {
  const testing_support::ScratchFolder& scratch = scratch_;
  ServerProcess server(scratch.path(), onDatabase());
  ASSERT_TRUE(server.started()) << server.stderrText();
  ASSERT_EQ(httpGet(server.port(), "/Zebrolite2/updateScore_ppc.php?myname=ZED&myscore=900").body, "OK");
  ASSERT_EQ(httpGet(server.port(), "/Zebrolite2/updateScore_ppc.php?myname=YAN&myscore=50").body, "OK");

  std::vector<DeviceEntry> device = {{u"ANNA", 700, true}, {u"A B", 600, true}, {u"\u00C9LAN", 550, true}};
  for (std::uint32_t i = 3; i < kTableEntries; ++i) device.push_back({u"PLAYER", 100 - i, false});
  const GameExchange exchange = exchangeScores(scratch.path(), device, server.url());
  const ProcessResult& game = exchange.game;
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
  const std::vector<DeviceEntry>& saved = exchange.saved;
  ASSERT_EQ(saved.size(), kTableEntries);
  const std::vector<std::pair<std::u16string, std::uint32_t>> expected = {
      {u"ZED", 900}, {u"ANNA", 700}, {u"A B", 600}, {u"\u00C9LAN", 550}, {u"YAN", 50}, {u"PLAYER", 95}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(saved[i].name, expected[i].first) << i;
    EXPECT_EQ(saved[i].score, expected[i].second) << i;
    EXPECT_FALSE(saved[i].pending) << i;
  }
  EXPECT_EQ(server.stop(SIGTERM), 0);
}

INSTANTIATE_TEST_SUITE_P(Stores, GameExchangeTest, everyStore(), storeTestName);

}  // namespace
}  // namespace server_test
