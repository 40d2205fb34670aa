// The cookie-date parser: tokens, then time, day of month, month and year in that order.
#include "queueclient/cookies/cookie_date.h"

#include <array>

#include "core/text.h"

namespace queue {
namespace {

// Years before this one are refused: no server has a reason to send them, and the common
// rules draw the line at the same year.
constexpr int kEarliestYear = 1601;

bool IsDelimiter(char16_t c) {
  return c == 0x09 || (c >= 0x20 && c <= 0x2F) || (c >= 0x3B && c <= 0x40) ||
         (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E);
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// What one attempt to read a token as a date part found.
enum class Fit {
  kNo,       // the token is not this part; try the next one
  kYes,      // the token is this part
  kSpoiled,  // the token starts like this part but breaks a rule: the whole date is invalid
};

// Reads up to `max_digits` leading digits of `token` from `pos` into `value`; returns how many.
std::size_t ReadDigits(std::u16string_view token, std::size_t pos, std::size_t max_digits,
                       int& value) {
  std::size_t count = 0;
  value = 0;
  while (count < max_digits && pos + count < token.size() && IsDigit(token[pos + count])) {
    value = value * 10 + (token[pos + count] - u'0');
    ++count;
  }
  return count;
}

bool DigitAt(std::u16string_view token, std::size_t pos) {
  return pos < token.size() && IsDigit(token[pos]);
}

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// One or two digits, ":", one or two digits, ":", one or two digits.
Fit ReadTime(std::u16string_view token, TimeOfDay& time) {
  std::size_t pos = 0;
  int fields[3] = {};
  for (int i = 0; i < 3; ++i) {
    const std::size_t digits = ReadDigits(token, pos, 2, fields[i]);
    if (digits == 0) return Fit::kNo;
    pos += digits;
    if (i < 2) {
      if (pos >= token.size() || token[pos] != u':') return Fit::kNo;
      ++pos;
    }
  }
  if (DigitAt(token, pos)) return Fit::kSpoiled;
  if (fields[0] > 23 || fields[1] > 59 || fields[2] > 59) return Fit::kSpoiled;
  time = {fields[0], fields[1], fields[2]};
  return Fit::kYes;
}

// One or two leading digits, 1 to 31.
Fit ReadDayOfMonth(std::u16string_view token, int& day) {
  const std::size_t digits = ReadDigits(token, 0, 2, day);
  if (digits == 0) return Fit::kNo;
  if (DigitAt(token, digits) || day < 1 || day > 31) return Fit::kSpoiled;
  return Fit::kYes;
}

// A month name's first three letters, or one or two leading digits from 1 to 12.
Fit ReadMonth(std::u16string_view token, int& month) {
  static constexpr std::array<std::u16string_view, 12> kNames = {u"jan", u"feb", u"mar", u"apr",
                                                                 u"may", u"jun", u"jul", u"aug",
                                                                 u"sep", u"oct", u"nov", u"dec"};
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (StartsWithIgnoreCase(token, kNames[i])) {
      month = static_cast<int>(i) + 1;
      return Fit::kYes;
    }
  }
  const std::size_t digits = ReadDigits(token, 0, 2, month);
  if (digits == 0) return Fit::kNo;
  if (DigitAt(token, digits) || month < 1 || month > 12) return Fit::kSpoiled;
  return Fit::kYes;
}

// Two to four leading digits not followed by another digit.
Fit ReadYear(std::u16string_view token, int& year) {
  const std::size_t digits = ReadDigits(token, 0, 4, year);
  if (digits < 2 || DigitAt(token, digits)) return Fit::kNo;
  if (year >= 70 && year <= 99) {
    year += 1900;
  } else if (year <= 69) {
    year += 2000;
  }
  return year < kEarliestYear ? Fit::kSpoiled : Fit::kYes;
}

}  // namespace

std::optional<DateTime> ParseCookieDate(std::u16string_view text) {
  bool have_time = false, have_day = false, have_month = false, have_year = false;
  TimeOfDay time;
  int day = 0, month = 0, year = 0;

  std::size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && IsDelimiter(text[pos])) ++pos;
    const std::size_t start = pos;
    while (pos < text.size() && !IsDelimiter(text[pos])) ++pos;
    if (start == pos) break;
    const std::u16string_view token = text.substr(start, pos - start);

    // Each part is tried, in this order, only while it is missing; the first that the token
    // fits takes it, and a token that fits none is skipped.
    Fit fit = Fit::kNo;
    const auto attempt = [&fit](bool& found, auto read) {
      if (fit != Fit::kNo || found) return;
      fit = read();
      found = fit == Fit::kYes;
    };
    attempt(have_time, [&] { return ReadTime(token, time); });
    attempt(have_day, [&] { return ReadDayOfMonth(token, day); });
    attempt(have_month, [&] { return ReadMonth(token, month); });
    attempt(have_year, [&] { return ReadYear(token, year); });
    if (fit == Fit::kSpoiled) return std::nullopt;
  }

  if (!have_time || !have_day || !have_month || !have_year) return std::nullopt;
  if (!IsCalendarDate(year, month, day)) return std::nullopt;
  return MakeDateTime(year, month, day, time.hour, time.minute, time.second);
}

}  // namespace queue
