#include "server/leaderboard_page.hpp"

#include <array>
#include <cstdio>

#include "server/game_id.hpp"
#include "server/html_escape.hpp"

namespace server {
namespace {

constexpr std::array<Board, 4> kBoards = {Board::All, Board::Day, Board::Week, Board::Month};

// The game's own colours: the violet night of the high-score screen, the gold and amber of
// its titles and lit buttons, the steel-blue of its plain buttons and the dark list well.
constexpr std::string_view kStyle = R"css(
:root{color-scheme:dark;font-size:15px}
*{box-sizing:border-box}
html{background:#07041A}
body{margin:0;min-height:100vh;color:#F3F5FF;font-family:"DejaVu Sans",Verdana,system-ui,sans-serif;line-height:1.4;
background:radial-gradient(circle at 23px 41px,rgba(255,255,255,.6) 0 1px,transparent 1.6px) 0 0/173px 157px,
radial-gradient(circle at 97px 13px,rgba(175,196,255,.6) 0 .8px,transparent 1.4px) 0 0/211px 193px,
radial-gradient(circle at 61px 121px,rgba(175,196,255,.45) 0 .7px,transparent 1.3px) 0 0/139px 229px,
radial-gradient(ellipse 90% 420px at 50% -90px,rgba(106,56,192,.55),transparent),
repeating-linear-gradient(53deg,rgba(255,255,255,.022) 0 11px,transparent 11px 22px),
linear-gradient(#2C1A62,#07041A 640px) #07041A;background-repeat:repeat,repeat,repeat,no-repeat,repeat,no-repeat}
.page{max-width:780px;margin:0 auto;padding:18px 12px 28px}
header{text-align:center}
h1{margin:0;font-size:clamp(38px,11vw,64px);font-weight:bold;font-style:italic;letter-spacing:-.02em;line-height:1.15;
color:#FFB02A;background:linear-gradient(#FFF6C0 18%,#FFD43B 42%,#FF9A1F 62%,#FF5A1E 88%);
-webkit-background-clip:text;background-clip:text;-webkit-text-fill-color:transparent;
filter:drop-shadow(0 0 1px #140A26) drop-shadow(0 0 1px #140A26) drop-shadow(0 3px 0 rgba(0,0,0,.7)) drop-shadow(0 0 14px rgba(255,106,42,.5))}
h2{margin:2px 0 0;font-size:clamp(18px,5.2vw,26px);letter-spacing:.06em;color:#FFD43B;
text-shadow:0 0 2px #140A26,0 2px 0 rgba(0,0,0,.6),0 0 10px rgba(255,154,31,.35)}
nav{display:grid;grid-template-columns:repeat(4,1fr);gap:8px;margin:16px 0 12px}
nav a{display:block;padding:9px 4px;border:1px solid rgba(96,112,184,.8);border-radius:11px;text-align:center;
font-weight:bold;color:#F3F5FF;text-decoration:none;text-shadow:0 1px 0 rgba(0,0,0,.7);
background:linear-gradient(rgba(255,255,255,.1),rgba(255,255,255,.02) 48%,transparent 50%),linear-gradient(#3A467F,#1B2250);
box-shadow:0 2px 3px rgba(0,0,0,.55)}
nav a:hover{border-color:#8F9DDB}
nav a:focus-visible{outline:2px solid #3DE3FF;outline-offset:2px}
nav a[aria-current=page]{color:#FFF;border-color:#FFD48A;text-shadow:0 1px 0 rgba(90,42,0,.7);
background:linear-gradient(rgba(255,255,255,.22),rgba(255,255,255,.02) 48%,transparent 50%),linear-gradient(#FFBE4B,#7A5414);
box-shadow:0 0 9px rgba(255,176,42,.6)}
.about{display:flex;flex-wrap:wrap;justify-content:space-between;gap:2px 12px;margin:0 0 8px;padding:5px 10px;border-radius:8px;
background:rgba(9,12,34,.6);color:#B4BEE6;font-size:.87rem}
.well{background:#090C22;border:1px solid rgba(143,157,219,.35);border-radius:10px;overflow:hidden;
box-shadow:inset 0 2px 0 rgba(0,0,0,.6),0 4px 18px rgba(0,0,0,.35)}
table{width:100%;border-collapse:collapse;table-layout:fixed}
th{padding:10px 8px 6px;color:#FFD43B;font-size:.8rem;letter-spacing:.09em;text-transform:uppercase;text-align:left}
td{padding:7px 8px;border-top:1px solid rgba(75,90,158,.28);overflow:hidden;vertical-align:baseline}
tbody tr:nth-child(even){background:rgba(42,52,104,.22)}
.rank{width:3.4rem;text-align:right;font-variant-numeric:tabular-nums}
.score{width:9rem;text-align:right;font-weight:bold;font-variant-numeric:tabular-nums}
.time{width:10.5rem;padding-left:16px}
td.rank{color:#8F9DDB}
td.time{color:#B4BEE6;font-size:.87rem}
td.name{font-weight:bold;overflow-wrap:anywhere}
.r1 td.rank{color:#FFD43B;font-weight:bold}
.r2 td.rank{color:#DCE0EA;font-weight:bold}
.r3 td.rank{color:#FF9A1F;font-weight:bold}
.r1 td.score{color:#FFD43B}
.empty{margin:0;padding:28px 16px;text-align:center;color:#B4BEE6}
.message{color:#FFD43B}
.mark{margin-left:6px;color:#A3DE38;font-weight:bold}
a.replay{margin-left:6px;padding:0 6px;border:1px solid rgba(163,222,56,.55);border-radius:6px;color:#A3DE38;
font-size:.8rem;font-weight:normal;text-decoration:none;white-space:nowrap}
a.replay:hover{border-color:#A3DE38;background:rgba(163,222,56,.12)}
a.replay:focus-visible,.filter a:focus-visible{outline:2px solid #3DE3FF;outline-offset:2px}
.filter{display:flex;justify-content:center;gap:8px;margin:0 0 12px}
.filter a{padding:4px 12px;border:1px solid rgba(96,112,184,.8);border-radius:14px;color:#B4BEE6;font-size:.87rem;
text-decoration:none;background:rgba(9,12,34,.6)}
.filter a[aria-current=page]{color:#FFF;border-color:#A3DE38;background:rgba(163,222,56,.18)}
footer{margin-top:14px;text-align:center;color:#7580B0;font-size:.8rem}
footer a{color:#8F9DDB;white-space:nowrap}
@media (max-width:480px){
:root{font-size:14px}
.page{padding:12px 8px 20px}
nav{grid-template-columns:repeat(2,1fr);gap:6px}
table,thead,tbody{display:block}
tr{display:grid;grid-template-columns:2.2rem minmax(0,1fr) auto;grid-template-areas:"rank name score" "rank time score";
column-gap:10px;align-items:baseline;padding:7px 10px 7px 6px;border-top:1px solid rgba(75,90,158,.28)}
thead tr{border-top:0;padding-top:9px;padding-bottom:5px}
.well th,.well td{width:auto;padding:0;border:0}
.rank{grid-area:rank}
.name{grid-area:name}
.score{grid-area:score}
td.time{grid-area:time;font-size:.8rem;font-weight:normal}
th.time{display:none}
}
)css";

std::string_view tabLabel(Board board) {
  switch (board) {
    case Board::All: return "All time";
    case Board::Day: return "Today";
    case Board::Week: return "This week";
    case Board::Month: return "This month";
  }
  return "All time";
}

// What follows "No scores" on an empty board.
std::string_view emptyWhen(Board board) {
  switch (board) {
    case Board::All: return "yet";
    case Board::Day: return "today yet";
    case Board::Week: return "this week yet";
    case Board::Month: return "this month yet";
  }
  return "yet";
}

// Digits in groups of three, parted by a narrow no-break space: 4 294 967 295.
std::string grouped(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += "\xE2\x80\xAF";
    out += digits[i];
  }
  return out;
}

// "2024-03-06 09:12", the time of a row.
std::string rowTime(UnixTime time) {
  const CivilTime t = civilTimeOf(time);
  char text[48];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d %02d:%02d", static_cast<long long>(t.date.year), t.date.month,
                t.date.day, t.hour, t.minute);
  return text;
}

// "Mon 11 Mar 2024, 00:00 UTC", the time of a reset.
std::string resetTime(UnixTime time) {
  static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const CivilTime t = civilTimeOf(time);
  char text[64];
  std::snprintf(text, sizeof text, "%s %d %s %lld, %02d:%02d UTC", kDays[static_cast<std::size_t>(t.weekday)],
                t.date.day, kMonths[static_cast<std::size_t>(t.date.month - 1)], static_cast<long long>(t.date.year),
                t.hour, t.minute);
  return text;
}

void appendTime(std::string& out, UnixTime time, const std::string& shown) {
  out += "<time datetime=\"";
  out += formatRfc3339(time);
  out += "\">";
  out += shown;
  out += "</time>";
}

void appendTop(std::string& out, std::string_view title) {
  out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
  out += title;
  out += "</title>\n<style>";
  out += kStyle;
  out += "</style>\n</head>\n<body>\n<div class=\"page\">\n"
         "<header><h1>ZEBROLITE</h1><h2>HIGH SCORES</h2></header>\n";
}

void appendLink(std::string& out, const std::string& href, bool current, std::string_view label) {
  out += "<a href=\"";
  appendEscapedHtml(out, href);
  out += '"';
  if (current) out += " aria-current=\"page\"";
  out += '>';
  out += label;
  out += "</a>";
}

// The tabs, the current one marked; none is marked on a message page. They keep the choice
// of all or verified scores.
void appendTabs(std::string& out, std::optional<Board> current, bool verifiedOnly) {
  out += "<nav aria-label=\"Boards\">";
  for (const Board board : kBoards) appendLink(out, boardLink(board, verifiedOnly), board == current, tabLabel(board));
  out += "</nav>\n";
}

// All scores, or only those of games the server played again.
void appendFilter(std::string& out, Board board, bool verifiedOnly) {
  out += "<nav class=\"filter\" aria-label=\"Scores shown\">";
  appendLink(out, boardLink(board, false), !verifiedOnly, "All scores");
  appendLink(out, boardLink(board, true), verifiedOnly, "\xE2\x9C\x93 Verified only");
  out += "</nav>\n";
}

void appendAbout(std::string& out, const LeaderboardView& view) {
  out += "<p class=\"about\"><span class=\"reset\">";
  if (view.window.nextReset) {
    out += "Next reset: ";
    appendTime(out, *view.window.nextReset, resetTime(*view.window.nextReset));
  } else {
    out += "This board never resets";
  }
  out += "</span>";
  if (view.total > 0) {
    out += "<span class=\"count\">";
    const std::string scores = view.verifiedOnly ? " verified scores" : " scores";
    if (view.total > view.rows.size()) {
      out += "The " + std::to_string(view.rows.size()) + " best of " + grouped(view.total) + scores;
    } else {
      out += grouped(view.total) + (view.total == 1 ? scores.substr(0, scores.size() - 1) : scores);
    }
    out += "</span>";
  }
  out += "</p>\n";
}

void appendRow(std::string& out, const PageRow& row) {
  out += "<tr";
  if (row.rank <= 3) out += " class=\"r" + std::to_string(row.rank) + "\"";
  out += "><td class=\"rank\">";
  out += std::to_string(row.rank);
  out += "</td><td class=\"name\">";
  appendEscapedHtml(out, row.name);
  if (row.verified) {
    out += "<span class=\"mark\" title=\"Verified: the server played this game again and it ended with this score\">"
           "\xE2\x9C\x93</span><a class=\"replay\" href=\"";
    appendEscapedHtml(out, row.replayLink);
    out += "\" download title=\"Download the replay of this game, to watch it in Zebrolite\">replay</a>";
  }
  out += "</td><td class=\"score\">";
  out += grouped(row.score);
  out += "</td><td class=\"time\">";
  appendTime(out, row.time, rowTime(row.time));
  out += "</td></tr>\n";
}

void appendBoard(std::string& out, const LeaderboardView& view) {
  out += "<div class=\"well\">\n";
  if (view.rows.empty() && view.verifiedOnly) {
    out += "<p class=\"empty\">No verified scores ";
    out += emptyWhen(view.board);
    out += ". Play a game without the test keys, send it from the high-score screen, and the server plays it "
           "again to prove your score!</p>\n";
  } else if (view.rows.empty()) {
    out += "<p class=\"empty\">No scores ";
    out += emptyWhen(view.board);
    out += ". Send yours from the game\xE2\x80\x99s high-score screen and take first place!</p>\n";
  } else {
    out += "<table>\n<thead><tr><th class=\"rank\" scope=\"col\">No.</th><th class=\"name\" scope=\"col\">Name</th>"
           "<th class=\"score\" scope=\"col\">Score</th><th class=\"time\" scope=\"col\">Time</th></tr></thead>\n<tbody>\n";
    for (const PageRow& row : view.rows) appendRow(out, row);
    out += "</tbody>\n</table>\n";
  }
  out += "</div>\n";
}

// The foot of the page: for a board, a word on its times and its address in the JSON API.
void appendBottom(std::string& out, std::optional<Board> board, bool verifiedOnly) {
  if (board) {
    const std::string api =
        "/api/v1/scores?board=" + std::string(boardName(*board)) + (verifiedOnly ? "&verified=1" : "");
    out += "<footer>Times are UTC. This board as JSON: <a href=\"";
    appendEscapedHtml(out, api);
    out += "\">";
    appendEscapedHtml(out, api);
    out += "</a></footer>\n";
  }
  out += "</div>\n</body>\n</html>\n";
}

}  // namespace

LeaderboardView makeLeaderboardView(Board board, const BoardWindow& window, bool verifiedOnly, const BoardPage& page) {
  LeaderboardView view{board, window, verifiedOnly, {}, page.total};
  view.rows.reserve(page.entries.size());
  for (const RankedEntry& entry : page.entries) {
    view.rows.push_back({entry.rank, entry.name, entry.score, entry.time, !entry.game.empty(),
                         entry.game.empty() ? std::string() : replayPath(entry.game)});
  }
  return view;
}

std::string boardLink(Board board, bool verifiedOnly) {
  return "/?board=" + std::string(boardName(board)) + (verifiedOnly ? "&verified=1" : "");
}

std::string renderLeaderboardPage(const LeaderboardView& view) {
  std::string out;
  out.reserve(kStyle.size() + 2048 + view.rows.size() * 200);
  appendTop(out, std::string(tabLabel(view.board)) + (view.verifiedOnly ? ", verified" : "") +
                     " \xC2\xB7 Zebrolite high scores");
  appendTabs(out, view.board, view.verifiedOnly);
  appendFilter(out, view.board, view.verifiedOnly);
  out += "<main>\n";
  appendAbout(out, view);
  appendBoard(out, view);
  out += "</main>\n";
  appendBottom(out, view.board, view.verifiedOnly);
  return out;
}

std::string renderMessagePage(std::string_view line) {
  std::string out;
  appendTop(out, "Zebrolite high scores");
  appendTabs(out, std::nullopt, false);
  out += "<main>\n<div class=\"well\"><p class=\"empty message\">";
  appendEscapedHtml(out, line);
  out += "</p></div>\n</main>\n";
  appendBottom(out, std::nullopt, false);
  return out;
}

}  // namespace server
