#include "server/utc_time.hpp"

#include <chrono>
#include <cstdio>

namespace server {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

Clock systemClock() {
  return [] {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
  };
}

// The era-based algorithms need no tables and hold for every year an int64 can count.
std::int64_t daysFromCivil(const CivilDate& date) {
  const std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
  const std::int64_t era = floorDiv(y, 400);
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t monthFromMarch = date.month > 2 ? date.month - 3 : date.month + 9;
  const std::int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

CivilDate civilFromDays(std::int64_t days) {
  const std::int64_t z = days + 719468;
  const std::int64_t era = floorDiv(z, 146097);
  const std::int64_t dayOfEra = z - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  const int month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
  return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

CivilTime civilTimeOf(UnixTime time) {
  const std::int64_t days = floorDiv(time, kSecondsPerDay);
  const std::int64_t second = time - days * kSecondsPerDay;
  // 1970-01-01 was a Thursday (day 4 of a week from Sunday).
  const std::int64_t fromSunday = days + 4;
  const int weekday = static_cast<int>(fromSunday - floorDiv(fromSunday, 7) * 7);
  return {civilFromDays(days), weekday, static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
          static_cast<int>(second % 60)};
}

std::string formatRfc3339(UnixTime time) {
  const CivilTime t = civilTimeOf(time);
  char text[48];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02dZ", static_cast<long long>(t.date.year),
                t.date.month, t.date.day, t.hour, t.minute, t.second);
  return text;
}

}  // namespace server
