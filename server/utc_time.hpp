// Times of the score server: whole seconds since 1970-01-01 00:00 UTC, the UTC calendar the
// boards reset by, and RFC 3339 text for the JSON replies.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace server {

using UnixTime = std::int64_t;  // seconds since 1970-01-01 00:00:00 UTC

// The boards and the submissions read the time only through a clock, so tests can set it.
using Clock = std::function<UnixTime()>;
Clock systemClock();

struct CivilDate {
  std::int64_t year;
  int month;  // 1..12
  int day;    // 1..31
};

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t daysFromCivil(const CivilDate& date);
CivilDate civilFromDays(std::int64_t days);

// A moment on the UTC calendar and clock.
struct CivilTime {
  CivilDate date;
  int weekday;  // 0 Sunday .. 6 Saturday
  int hour;
  int minute;
  int second;
};
CivilTime civilTimeOf(UnixTime time);

// "2024-03-01T12:00:00Z".
std::string formatRfc3339(UnixTime time);

}  // namespace server
