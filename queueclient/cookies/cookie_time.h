// Date-times of the cookie store and the clock it reads them from. Cookies keep the machine's
// local time; the clock is injected so that tests decide what "now" is and what the offset of
// local time from UTC is.
#pragma once

#include <compare>
#include <cstdint>
#include <memory>

namespace queue {

// A calendar date-time counted in milliseconds since 1970-01-01 00:00:00 of the same calendar
// (local or UTC, as the holder says). Years 1 to 9999 are representable.
struct DateTime {
  std::int64_t ms = 0;
  auto operator<=>(const DateTime&) const = default;
};

// Whether year/month/day names a day of the proleptic Gregorian calendar, years 1 to 9999.
bool IsCalendarDate(int year, int month, int day);
// The date-time of a calendar moment. The caller passes a date for which IsCalendarDate holds
// and a time of day within 00:00:00.000 to 23:59:59.999.
DateTime MakeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                      int millisecond = 0);

// The first moment of year 1: the expiry of a negative Max-Age, long past.
inline constexpr DateTime kFirstDayOfYearOne{-62135596800000};
// 9999-12-31 23:59:59.999: the expiry of a cookie that lasts for the rest of the run.
inline constexpr DateTime kEndOfTime{253402300799999};

// `time` moved by `seconds`, kept within kFirstDayOfYearOne..kEndOfTime whatever the count.
DateTime AddSecondsClamped(DateTime time, std::int64_t seconds);

// Where the store reads the time from.
class CookieClock {
 public:
  virtual ~CookieClock() = default;
  // The current local date-time of the machine.
  virtual DateTime Now() const = 0;
  // The current offset of local time from UTC in minutes (east of Greenwich is positive).
  virtual int UtcOffsetMinutes() const = 0;
};

// The machine's own clock and time zone.
std::shared_ptr<const CookieClock> SystemCookieClock();

}  // namespace queue
