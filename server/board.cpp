#include "server/board.hpp"

namespace server {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t dayOf(UnixTime time) { return time / kSecondsPerDay - (time % kSecondsPerDay < 0 ? 1 : 0); }

}  // namespace

std::optional<Board> parseBoard(std::string_view text) {
  if (text == "all") return Board::All;
  if (text == "day") return Board::Day;
  if (text == "week") return Board::Week;
  if (text == "month") return Board::Month;
  return std::nullopt;
}

std::string_view boardName(Board board) {
  switch (board) {
    case Board::All: return "all";
    case Board::Day: return "day";
    case Board::Week: return "week";
    case Board::Month: return "month";
  }
  return "all";
}

BoardWindow boardWindow(Board board, UnixTime now) {
  const std::int64_t today = dayOf(now);
  switch (board) {
    case Board::All:
      return {};
    case Board::Day:
      return {today * kSecondsPerDay, (today + 1) * kSecondsPerDay};
    case Board::Week: {
      // 1970-01-01 was a Thursday: day 0 is 3 days after a Monday.
      const std::int64_t sinceMonday = ((today + 3) % 7 + 7) % 7;
      const std::int64_t monday = today - sinceMonday;
      return {monday * kSecondsPerDay, (monday + 7) * kSecondsPerDay};
    }
    case Board::Month: {
      const CivilDate date = civilFromDays(today);
      const CivilDate next = date.month == 12 ? CivilDate{date.year + 1, 1, 1} : CivilDate{date.year, date.month + 1, 1};
      return {daysFromCivil({date.year, date.month, 1}) * kSecondsPerDay, daysFromCivil(next) * kSecondsPerDay};
    }
  }
  return {};
}

}  // namespace server
