// The boards' windows in UTC and the times the API shows.
#include <gtest/gtest.h>

#include "server/board.hpp"

namespace server {
namespace {

// 2024-02-29T13:45:10Z, a Thursday in a leap year.
constexpr UnixTime kLeapThursday = 1709214310;

struct WindowCase {
  const char* label;
  Board board;
  UnixTime now;
  const char* from;
  const char* nextReset;
};

TEST(BoardTest, WindowsStartAtTheUtcDayTheIsoWeekAndTheMonth) {
  const WindowCase cases[] = {
      {"day", Board::Day, kLeapThursday, "2024-02-29T00:00:00Z", "2024-03-01T00:00:00Z"},
      {"week from Monday", Board::Week, kLeapThursday, "2024-02-26T00:00:00Z", "2024-03-04T00:00:00Z"},
      {"leap month", Board::Month, kLeapThursday, "2024-02-01T00:00:00Z", "2024-03-01T00:00:00Z"},
      {"last second of a day", Board::Day, 1709251199, "2024-02-29T00:00:00Z", "2024-03-01T00:00:00Z"},
      {"first second of a day", Board::Day, 1709251200, "2024-03-01T00:00:00Z", "2024-03-02T00:00:00Z"},
      {"Monday 00:00 starts a week", Board::Week, 1709510400, "2024-03-04T00:00:00Z", "2024-03-11T00:00:00Z"},
      {"Sunday 23:59 ends it", Board::Week, 1709510399, "2024-02-26T00:00:00Z", "2024-03-04T00:00:00Z"},
      {"week across the new year", Board::Week, 1704067200, "2024-01-01T00:00:00Z", "2024-01-08T00:00:00Z"},
      {"week across the new year 2021", Board::Week, 1609459200, "2020-12-28T00:00:00Z", "2021-01-04T00:00:00Z"},
      {"December rolls into January", Board::Month, 1703980800, "2023-12-01T00:00:00Z", "2024-01-01T00:00:00Z"},
      {"the epoch", Board::Week, 0, "1969-12-29T00:00:00Z", "1970-01-05T00:00:00Z"},
      {"before the epoch", Board::Day, -1, "1969-12-31T00:00:00Z", "1970-01-01T00:00:00Z"},
  };
  for (const WindowCase& c : cases) {
    const BoardWindow window = boardWindow(c.board, c.now);
    ASSERT_TRUE(window.from && window.nextReset) << c.label;
    EXPECT_EQ(formatRfc3339(*window.from), c.from) << c.label;
    EXPECT_EQ(formatRfc3339(*window.nextReset), c.nextReset) << c.label;
  }
  const BoardWindow all = boardWindow(Board::All, kLeapThursday);
  EXPECT_FALSE(all.from);
  EXPECT_FALSE(all.nextReset);
}

TEST(BoardTest, NamesAndTimes) {
  for (const Board board : {Board::All, Board::Day, Board::Week, Board::Month}) {
    EXPECT_EQ(parseBoard(boardName(board)), board);
  }
  for (const char* bad : {"", "All", "year", "day "}) EXPECT_FALSE(parseBoard(bad)) << bad;
  EXPECT_EQ(formatRfc3339(kLeapThursday), "2024-02-29T13:45:10Z");
  EXPECT_EQ(formatRfc3339(4102444799), "2099-12-31T23:59:59Z");
  for (std::int64_t day : {-800000LL, -1LL, 0LL, 19782LL, 2932896LL}) {
    EXPECT_EQ(daysFromCivil(civilFromDays(day)), day);
  }
}

}  // namespace
}  // namespace server
