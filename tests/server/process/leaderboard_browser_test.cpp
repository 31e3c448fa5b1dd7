// The leaderboard page in a real browser: headless Chromium loads it from a running
// zebrolite-scored, the rows come out in order with names as text, and screenshots at a
// phone's and a desktop's width land in the build folder (build/screenshots/) to be looked at.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "tests/server/process/http_client.hpp"
#include "tests/server/process/server_process.hpp"
#include "tests/server/process/server_test.hpp"
#include "tests/support/scratch_folder.hpp"

namespace server_test {
namespace {

const std::string kChromium = "/usr/bin/chromium";
constexpr int kBrowserTimeoutMs = 60000;

bool haveChromium() { return access(kChromium.c_str(), X_OK) == 0; }

// Chromium as a test may run it: as root, without a GPU, and without the background
// connections a closed network refuses; a fresh profile each time, everything in `folder`.
ProcessResult chromium(const std::string& folder, const std::vector<std::string>& arguments) {
  static int runs = 0;
  const std::string profile = folder + "profile-" + std::to_string(runs++);
  std::vector<std::string> all = {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                                  "--hide-scrollbars", "--user-data-dir=" + profile};
  all.insert(all.end(), arguments.begin(), arguments.end());
  return runProgram(kChromium, all, {{"HOME", folder}, {"XDG_CONFIG_HOME", folder}, {"XDG_CACHE_HOME", folder}},
                    kBrowserTimeoutMs);
}

void submit(std::uint16_t port, const std::string& encodedName, std::uint32_t score) {
  const HttpResponse reply =
      httpGet(port, "/Zebrolite2/updateScore_ppc.php?myname=" + encodedName + "&myscore=" + std::to_string(score));
  ASSERT_EQ(reply.body, "OK") << encodedName;
}

struct Row {
  std::string rank;
  std::string name;
  std::string score;
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
  return out << row.rank << " " << row.name << " " << row.score;
}

// The rows of the board as the browser's DOM holds them, text nodes serialised.
std::vector<Row> rowsOf(const std::string& dom) {
  const std::regex row(
      "<td class=\"rank\">([^<]*)</td><td class=\"name\">([^<]*)</td><td class=\"score\">([^<]*)</td>");
  std::vector<Row> rows;
  for (auto it = std::sregex_iterator(dom.begin(), dom.end(), row); it != std::sregex_iterator(); ++it) {
    rows.push_back({(*it)[1], (*it)[2], (*it)[3]});
  }
  return rows;
}

// The width and height in a PNG's header; zeros for a file that is not a PNG.
std::pair<std::uint32_t, std::uint32_t> pngSize(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  unsigned char head[24] = {};
  file.read(reinterpret_cast<char*>(head), sizeof head);
  if (!file || head[1] != 'P' || head[2] != 'N' || head[3] != 'G') return {0, 0};
  const auto number = [&head](int at) {
    return static_cast<std::uint32_t>(head[at]) << 24 | static_cast<std::uint32_t>(head[at + 1]) << 16 |
           static_cast<std::uint32_t>(head[at + 2]) << 8 | head[at + 3];
  };
  return {number(16), number(20)};
}

std::string screenshotFolder() {
  const std::filesystem::path folder =
      std::filesystem::weakly_canonical(std::filesystem::path(testing_support::gameFolder()) / ".." / "screenshots");
  std::filesystem::create_directories(folder);
  return folder.string() + "/";
}

class LeaderboardBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveChromium()) GTEST_SKIP() << kChromium << " is not installed (apt-get install chromium): no browser to try the page in";
  }

  testing_support::ScratchFolder scratch_;
};

// The rows come from the store: once per store. The pictures below are the same bytes
// whatever the store.
class LeaderboardRowsTest : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    if (!IsSkipped() && !haveChromium()) GTEST_SKIP() << kChromium << " is not installed (apt-get install chromium)";
  }
};

TEST_P(LeaderboardRowsTest, TheRowsComeInOrderAndNamesStayText) {
  ServerProcess server(scratch_.path(), onDatabase());
  ASSERT_TRUE(server.started()) << server.stderrText();
  submit(server.port(), "ANNA", 900);
  submit(server.port(), "%3Cscript%3E", 500);
  submit(server.port(), "BOB", 500);
  submit(server.port(), "A%26B", 40000);
  submit(server.port(), "Zo%C3%AB", 30);
  submit(server.port(), "%22%3E%3Cb%3E", 20);

  const ProcessResult run = chromium(scratch_.path(), {"--dump-dom", server.url() + "/?board=week"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string& dom = run.out;
  ASSERT_NE(dom.find("<h1>ZEBROLITE</h1>"), std::string::npos) << dom;
  EXPECT_EQ(rowsOf(dom), (std::vector<Row>{{"1", "A&amp;B", "40\xE2\x80\xAF" "000"},
                                           {"2", "ANNA", "900"},
                                           {"3", "&lt;script&gt;", "500"},
                                           {"3", "BOB", "500"},
                                           {"5", "Zo\xC3\xAB", "30"},
                                           {"6", "\"&gt;&lt;b&gt;", "20"}}));
  // The names are text nodes: the parsed document holds no element that a name could have made.
  EXPECT_EQ(dom.find("<script"), std::string::npos);
  EXPECT_EQ(dom.find("<b>"), std::string::npos);
  EXPECT_NE(dom.find("<a href=\"/?board=week\" aria-current=\"page\">This week</a>"), std::string::npos);
  EXPECT_EQ(server.stop(SIGTERM), 0);
}

TEST_F(LeaderboardBrowserTest, ScreenshotsAtAPhonesAndADesktopsWidth) {
  ServerProcess server(scratch_.path(), {"--submit-rate", "0"});
  ASSERT_TRUE(server.started()) << server.stderrText();
  const std::vector<std::pair<std::string, std::uint32_t>> entries = {
      {"ANNA", 4294967295U}, {"%3Cscript%3E", 500000}, {"BOB", 500000}, {"A%26B", 40000}, {"O%27NEIL", 3100},
      {"Zo%C3%AB", 2500},    {"WWWWWWWW", 1200},       {"%E2%98%85STAR", 900}};
  for (const auto& [name, score] : entries) submit(server.port(), name, score);
  for (std::uint32_t i = 1; i <= 24; ++i) submit(server.port(), std::string("P").append(std::to_string(i)), 800 - i * 25);

  const std::string folder = screenshotFolder();
  const struct {
    const char* file;
    const char* path;
    std::uint32_t width;
    std::uint32_t height;
  } shots[] = {
      {"leaderboard-360.png", "/?board=week", 360, 1200},
      {"leaderboard-1280.png", "/", 1280, 1000},
      {"leaderboard-refusal-360.png", "/?board=year", 360, 640},
  };
  for (const auto& shot : shots) {
    const std::string file = folder + shot.file;
    std::filesystem::remove(file);
    const ProcessResult run = chromium(scratch_.path(), {"--screenshot=" + file,
                                                         "--window-size=" + std::to_string(shot.width) + "," +
                                                             std::to_string(shot.height),
                                                         server.url() + shot.path});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(pngSize(file), std::make_pair(shot.width, shot.height)) << file;
  }
}

TEST_F(LeaderboardBrowserTest, AnEmptyBoardOnAPhone) {
  ServerProcess server(scratch_.path());
  ASSERT_TRUE(server.started()) << server.stderrText();
  const ProcessResult dom = chromium(scratch_.path(), {"--dump-dom", server.url() + "/?board=day"});
  ASSERT_EQ(dom.status, 0) << dom.err;
  EXPECT_NE(dom.out.find("No scores today yet."), std::string::npos) << dom.out;
  EXPECT_TRUE(rowsOf(dom.out).empty());
  const std::string file = screenshotFolder() + "leaderboard-empty-360.png";
  const ProcessResult shot =
      chromium(scratch_.path(), {"--screenshot=" + file, "--window-size=360,640", server.url() + "/?board=day"});
  EXPECT_EQ(shot.status, 0) << shot.err;
  EXPECT_EQ(pngSize(file), std::make_pair(360u, 640u));
}

INSTANTIATE_TEST_SUITE_P(Stores, LeaderboardRowsTest, everyStore(), storeTestName);

}  // namespace
}  // namespace server_test
