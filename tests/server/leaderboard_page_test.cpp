// The leaderboard page without a server: escaping of players' names, the rows in order with
// their ranks, scores and times, the tabs, the reset line and the empty boards.
#include <gtest/gtest.h>

#include <regex>

#include "server/html_escape.hpp"
#include "server/leaderboard_page.hpp"

namespace server {
namespace {

constexpr UnixTime kWednesdayNoon = 1709726400;  // 2024-03-06T12:00:00Z
const std::string kNarrowSpace = "\xE2\x80\xAF";
const std::string kReplacement = "\xEF\xBF\xBD";

TEST(HtmlEscapeTest, MarkupBecomesTextAndWhatCannotBeShownBecomesAReplacement) {
  const struct {
    const char* label;
    std::string text;
    std::string html;
  } cases[] = {
      {"plain", "ANNA", "ANNA"},
      {"a tag", "<script>", "&lt;script&gt;"},
      {"ampersand", "A&B", "A&amp;B"},
      {"an entity stays text", "&lt;", "&amp;lt;"},
      {"double quote", "\"Q\"", "&quot;Q&quot;"},
      {"single quote", "O'NEIL", "O&#39;NEIL"},
      {"NUL", std::string("A\0B", 3), "A" + kReplacement + "B"},
      {"C0 controls", "\x01\t\n\r\x1F", kReplacement + kReplacement + kReplacement + kReplacement + kReplacement},
      {"DEL", "A\x7F", "A" + kReplacement},
      {"C1 controls", "\xC2\x80\xC2\x85\xC2\x9F", kReplacement + kReplacement + kReplacement},
      {"no-break space is not a control", "\xC2\xA0", "\xC2\xA0"},
      {"UTF-8 passes", "Zo\xC3\xAB \xE6\x97\xA5\xF0\x9F\x98\x80", "Zo\xC3\xAB \xE6\x97\xA5\xF0\x9F\x98\x80"},
      {"a stray byte", "A\xFF", "A" + kReplacement},
      {"truncated", "\xE2\x82", kReplacement + kReplacement},
      {"overlong '<'", "\xC0\xBC", kReplacement + kReplacement},
      {"encoded surrogate", "\xED\xA0\x80", kReplacement + kReplacement + kReplacement},
  };
  for (const auto& c : cases) EXPECT_EQ(escapeHtml(c.text), c.html) << c.label;
}

PageRow row(std::uint64_t rank, std::string name, std::uint32_t score, UnixTime time = kWednesdayNoon) {
  PageRow r;
  r.rank = rank;
  r.name = std::move(name);
  r.score = score;
  r.time = time;
  return r;
}

LeaderboardView view(Board board, std::vector<PageRow> rows, std::uint64_t total = 0) {
  LeaderboardView v;
  v.board = board;
  v.window = boardWindow(board, kWednesdayNoon);
  v.total = total == 0 ? rows.size() : total;
  v.rows = std::move(rows);
  return v;
}

// The cells of a column, in document order.
std::vector<std::string> cells(const std::string& html, const std::string& column) {
  const std::regex cell("<td class=\"" + column + "\">(.*?)</td>");
  std::vector<std::string> found;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), cell); it != std::sregex_iterator(); ++it) {
    found.push_back((*it)[1]);
  }
  return found;
}

TEST(LeaderboardPageTest, RowsKeepTheirOrderRanksScoresAndTimes) {
  const std::string html = renderLeaderboardPage(view(
      Board::All, {row(1, "ANNA", 4294967295U, 0), row(2, "<script>", 500), row(2, "BOB", 500), row(4, "A&B", 7)}));
  EXPECT_EQ(cells(html, "rank"), (std::vector<std::string>{"1", "2", "2", "4"}));
  EXPECT_EQ(cells(html, "name"), (std::vector<std::string>{"ANNA", "&lt;script&gt;", "BOB", "A&amp;B"}));
  EXPECT_EQ(cells(html, "score"),
            (std::vector<std::string>{"4" + kNarrowSpace + "294" + kNarrowSpace + "967" + kNarrowSpace + "295", "500",
                                      "500", "7"}));
  const std::vector<std::string> times = cells(html, "time");
  ASSERT_EQ(times.size(), 4u);
  EXPECT_EQ(times[0], "<time datetime=\"1970-01-01T00:00:00Z\">1970-01-01 00:00</time>");
  EXPECT_EQ(times[1], "<time datetime=\"2024-03-06T12:00:00Z\">2024-03-06 12:00</time>");
  EXPECT_NE(html.find("<tr class=\"r1\">"), std::string::npos);
  EXPECT_NE(html.find("4 scores"), std::string::npos);
}

// Whatever a name holds, the page is the server's own markup: no element, script or address
// from a player, and nothing fetched from elsewhere.
TEST(LeaderboardPageTest, NamesNeverBecomeMarkupAndNothingIsFetched) {
  const std::vector<std::string> hostile = {"<script>", "</td>",   "<b>x</b>", "\"><a x=", "'onload", "&#60;",
                                            "<!--",     "<style>", "\xC0\xBC", "A\x1B[2J"};
  std::vector<PageRow> rows;
  for (std::size_t i = 0; i < hostile.size(); ++i) rows.push_back(row(i + 1, hostile[i], 100));
  const std::string html = renderLeaderboardPage(view(Board::Day, rows));
  const std::vector<std::string> names = cells(html, "name");
  ASSERT_EQ(names.size(), hostile.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(names[i], escapeHtml(hostile[i]));
    EXPECT_EQ(names[i].find_first_of("<>\"'\x1B"), std::string::npos) << names[i];
  }
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_EQ(std::count(html.begin(), html.end(), '<') - std::count(html.begin(), html.end(), '>'), 0);
  const std::string markup = html.substr(html.find("</style>"));
  for (const char* fetch : {"http:", "https:", "//", "src=", "<link", "<img", "<iframe", "<object"}) {
    EXPECT_EQ(markup.find(fetch), std::string::npos) << fetch;
  }
  const std::string style = html.substr(0, html.find("</style>"));
  for (const char* fetch : {"url(", "@import", "@font-face"}) EXPECT_EQ(style.find(fetch), std::string::npos) << fetch;
}

TEST(LeaderboardPageTest, ATabPerBoardWithTheCurrentOneMarked) {
  const std::regex tab("<a href=\"(/\\?board=[a-z]+)\"( aria-current=\"page\")?>([^<]*)</a>");
  const struct {
    Board board;
    const char* link;
    const char* label;
  } boards[] = {{Board::All, "/?board=all", "All time"},
                {Board::Day, "/?board=day", "Today"},
                {Board::Week, "/?board=week", "This week"},
                {Board::Month, "/?board=month", "This month"}};
  for (const auto& current : boards) {
    const std::string page = renderLeaderboardPage(view(current.board, {row(1, "ANNA", 5)}));
    const std::size_t tabs = page.find("<nav aria-label=\"Boards\">");
    ASSERT_NE(tabs, std::string::npos);
    const std::string html = page.substr(tabs, page.find("</nav>", tabs) - tabs);
    std::vector<std::string> links;
    std::vector<std::string> marked;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), tab); it != std::sregex_iterator(); ++it) {
      links.push_back((*it)[1].str() + " " + (*it)[3].str());
      if ((*it)[2].matched) marked.push_back((*it)[1]);
    }
    EXPECT_EQ(links, (std::vector<std::string>{"/?board=all All time", "/?board=day Today", "/?board=week This week",
                                               "/?board=month This month"}));
    EXPECT_EQ(marked, std::vector<std::string>{current.link}) << current.label;
    EXPECT_NE(page.find(std::string("<title>") + current.label), std::string::npos);
    EXPECT_EQ(boardLink(current.board), current.link);
  }
  EXPECT_EQ(renderMessagePage("x").find("aria-current=\"page\""), std::string::npos);
}

TEST(LeaderboardPageTest, AVerifiedEntryIsMarkedAndLinksTheDownloadOfItsReplay) {
  PageRow verified = row(1, "ANNA", 500);
  verified.verified = true;
  verified.replayLink = "/api/v1/games/0123456789abcdef0123456789abcdef/replay";
  const std::string html = renderLeaderboardPage(view(Board::All, {verified, row(2, "BOB", 400)}));
  const std::vector<std::string> names = cells(html, "name");
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].rfind("ANNA<span class=\"mark\"", 0), 0u) << names[0];
  EXPECT_NE(names[0].find("<a class=\"replay\" href=\"/api/v1/games/0123456789abcdef0123456789abcdef/replay\" download"),
            std::string::npos)
      << names[0];
  EXPECT_EQ(names[1], "BOB");
  EXPECT_NE(html.find("<a href=\"/?board=all\" aria-current=\"page\">All scores</a>"), std::string::npos);
  EXPECT_NE(html.find("<a href=\"/?board=all&amp;verified=1\">\xE2\x9C\x93 Verified only</a>"), std::string::npos);
}

// The view of verified scores alone keeps itself across the tabs and says what it counts.
TEST(LeaderboardPageTest, TheVerifiedViewKeepsItselfAcrossTheTabs) {
  LeaderboardView onlyVerified = view(Board::Week, {});
  onlyVerified.verifiedOnly = true;
  const std::string empty = renderLeaderboardPage(onlyVerified);
  EXPECT_NE(empty.find("<p class=\"empty\">No verified scores this week yet."), std::string::npos);
  for (const char* link : {"<a href=\"/?board=day&amp;verified=1\">Today</a>",
                           "<a href=\"/?board=week&amp;verified=1\" aria-current=\"page\">This week</a>",
                           "<a href=\"/?board=week\">All scores</a>",
                           "<a href=\"/?board=week&amp;verified=1\" aria-current=\"page\">\xE2\x9C\x93 Verified only</a>",
                           "<a href=\"/api/v1/scores?board=week&amp;verified=1\">"}) {
    EXPECT_NE(empty.find(link), std::string::npos) << link;
  }
  EXPECT_EQ(boardLink(Board::Day, true), "/?board=day&verified=1");
  onlyVerified.rows = {row(1, "ANNA", 5), row(2, "BOB", 4)};
  onlyVerified.total = 3;
  EXPECT_NE(renderLeaderboardPage(onlyVerified).find("The 2 best of 3 verified scores"), std::string::npos);
  onlyVerified.rows.resize(1);
  onlyVerified.total = 1;
  EXPECT_NE(renderLeaderboardPage(onlyVerified).find(">1 verified score<"), std::string::npos);
}

TEST(LeaderboardPageTest, EachBoardSaysWhenItResets) {
  const struct {
    Board board;
    const char* line;
  } cases[] = {
      {Board::All, "This board never resets"},
      {Board::Day, "Next reset: <time datetime=\"2024-03-07T00:00:00Z\">Thu 7 Mar 2024, 00:00 UTC</time>"},
      {Board::Week, "Next reset: <time datetime=\"2024-03-11T00:00:00Z\">Mon 11 Mar 2024, 00:00 UTC</time>"},
      {Board::Month, "Next reset: <time datetime=\"2024-04-01T00:00:00Z\">Mon 1 Apr 2024, 00:00 UTC</time>"},
  };
  for (const auto& c : cases) {
    EXPECT_NE(renderLeaderboardPage(view(c.board, {})).find(c.line), std::string::npos) << c.line;
  }
}

TEST(LeaderboardPageTest, AnEmptyBoardHasAFriendlyLineAndNoTable) {
  const struct {
    Board board;
    const char* line;
  } cases[] = {{Board::All, "No scores yet."},
               {Board::Day, "No scores today yet."},
               {Board::Week, "No scores this week yet."},
               {Board::Month, "No scores this month yet."}};
  for (const auto& c : cases) {
    const std::string html = renderLeaderboardPage(view(c.board, {}));
    EXPECT_NE(html.find(std::string("<p class=\"empty\">") + c.line), std::string::npos) << c.line;
    EXPECT_EQ(html.find("<table"), std::string::npos);
    EXPECT_EQ(html.find("class=\"count\""), std::string::npos);
  }
}

TEST(LeaderboardPageTest, TheCountSaysWhenTheBoardIsLongerThanThePage) {
  EXPECT_NE(renderLeaderboardPage(view(Board::All, {row(1, "ONE", 1)})).find(">1 score<"), std::string::npos);
  EXPECT_NE(renderLeaderboardPage(view(Board::All, {row(1, "A", 2), row(2, "B", 1)}, 1234))
                .find("The 2 best of 1" + kNarrowSpace + "234 scores"),
            std::string::npos);
}

TEST(LeaderboardPageTest, AMessagePageEscapesItsLine) {
  const std::string html = renderMessagePage("query key '<b>' given more than once");
  EXPECT_NE(html.find("<p class=\"empty message\">query key &#39;&lt;b&gt;&#39; given more than once</p>"),
            std::string::npos);
  EXPECT_EQ(html.find("<table"), std::string::npos);
}

}  // namespace
}  // namespace server
