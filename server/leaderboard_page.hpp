// The leaderboard page at /: one HTML document per board, everything it needs inline (style,
// no scripts, fonts or pictures from anywhere), so it works on a network without the
// internet. Every text from players is escaped. The page depends only on the rows, the
// board and its window, never on the moment it is rendered, so its ETag can be the lists'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/board.hpp"
#include "server/game_list.hpp"
#include "server/score_store.hpp"

namespace server {

// The page shows a board's best rows, as many as the game's list holds.
constexpr std::size_t kPageRows = kGameListLength;

struct PageRow {
  std::uint64_t rank = 0;  // competition rank
  std::string name;        // UTF-8 as stored
  std::uint32_t score = 0;
  UnixTime time = 0;  // of the first submission
  // A verified entry is marked and links the download of its game's replay.
  bool verified = false;
  std::string replayLink;  // empty when not verified
};

struct LeaderboardView {
  Board board = Board::All;
  BoardWindow window;
  bool verifiedOnly = false;  // the verified entries alone, ranked among themselves
  std::vector<PageRow> rows;  // best first
  std::uint64_t total = 0;    // visible entries of the board; more than rows when cut
};

LeaderboardView makeLeaderboardView(Board board, const BoardWindow& window, bool verifiedOnly, const BoardPage& page);

// The address of a board's page: "/?board=week", or "/?board=week&verified=1" (in HTML the
// '&' must be written "&amp;").
std::string boardLink(Board board, bool verifiedOnly = false);

std::string renderLeaderboardPage(const LeaderboardView& view);

// A page with the tabs and one line of text in place of a board: why a request was refused,
// or why the scores cannot be shown now.
std::string renderMessagePage(std::string_view line);

}  // namespace server
