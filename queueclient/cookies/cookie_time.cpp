// Calendar arithmetic for cookie date-times and the machine's clock.
#include "queueclient/cookies/cookie_time.h"

#include <chrono>

#include "queueclient/cookies/local_utc_offset.h"

namespace queue {
namespace {

constexpr std::int64_t kMsPerSecond = 1000;
constexpr std::int64_t kMsPerDay = 86400 * kMsPerSecond;

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given civil date (negative before it), valid for every year the
// store uses; the shifted-March-year method keeps February's leap day at the year's end.
constexpr std::int64_t DaysFromCivil(int year, int month, int day) {
  const std::int64_t y = month <= 2 ? year - 1 : year;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t year_of_era = y - era * 400;
  const std::int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

static_assert(DaysFromCivil(1, 1, 1) * kMsPerDay == kFirstDayOfYearOne.ms);
static_assert(DaysFromCivil(10000, 1, 1) * kMsPerDay - 1 == kEndOfTime.ms);

class SystemClock final : public CookieClock {
 public:
  DateTime Now() const override {
    const auto utc_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    return DateTime{utc_ms + std::int64_t{UtcOffsetMinutes()} * 60 * kMsPerSecond};
  }

  int UtcOffsetMinutes() const override { return LocalUtcOffsetMinutes(); }
};

}  // namespace

bool IsCalendarDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

DateTime MakeDateTime(int year, int month, int day, int hour, int minute, int second,
                      int millisecond) {
  const std::int64_t time_of_day =
      ((std::int64_t{hour} * 60 + minute) * 60 + second) * kMsPerSecond + millisecond;
  return DateTime{DaysFromCivil(year, month, day) * kMsPerDay + time_of_day};
}

DateTime AddSecondsClamped(DateTime time, std::int64_t seconds) {
  // Compare in seconds first so that no product or sum can overflow.
  const std::int64_t room_up = (kEndOfTime.ms - time.ms) / kMsPerSecond;
  const std::int64_t room_down = (time.ms - kFirstDayOfYearOne.ms) / kMsPerSecond;
  if (seconds >= room_up) return kEndOfTime;
  if (seconds <= -room_down) return kFirstDayOfYearOne;
  return DateTime{time.ms + seconds * kMsPerSecond};
}

std::shared_ptr<const CookieClock> SystemCookieClock() {
  static const auto clock = std::make_shared<const SystemClock>();
  return clock;
}

}  // namespace queue
