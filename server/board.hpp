// The boards: the all-time list (the game's list) and the lists of this UTC day, ISO week
// (from Monday 00:00 UTC) and calendar month. Each is a view over the stored submissions.
#pragma once

#include <optional>
#include <string_view>

#include "server/utc_time.hpp"

namespace server {

enum class Board { All, Day, Week, Month };

// "all", "day", "week", "month"; nullopt for anything else.
std::optional<Board> parseBoard(std::string_view text);
std::string_view boardName(Board board);

// The submissions a board shows at a moment are those made at or after `from`; the board
// starts again at `nextReset`. The all-time board has neither.
struct BoardWindow {
  std::optional<UnixTime> from;
  std::optional<UnixTime> nextReset;
};

BoardWindow boardWindow(Board board, UnixTime now);

}  // namespace server
