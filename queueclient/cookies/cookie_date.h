// The parser of cookie dates, the Expires values of Set-Cookie lines.
#pragma once

#include <optional>
#include <string_view>

#include "queueclient/cookies/cookie_time.h"

namespace queue {

// Reads a cookie date such as "Wed, 09-Jun-21 10:18:14 GMT" and returns it as a UTC date-time,
// or nothing when the text is no valid date. The text is split into tokens at the delimiters
// (TAB, 0x20-0x2F, 0x3B-0x40, 0x5B-0x60, 0x7B-0x7E); each token in turn fills the first of time,
// day of month, month and year that is still missing and that it fits. Stricter than the common
// rules in a few places, each of which spoils the whole date:
//   - a digit right after the seconds of a time, or a time field out of range;
//   - a third leading digit of a day of month (so "2021-06-09" is no date), or a day above 31;
//   - a numeric month (allowed: "09 6 2021") with a third digit or outside 1 to 12.
// Two-digit years 70-99 are 1970-1999 and 00-69 are 2000-2069; a year before 1601, a missing
// part or a day the calendar lacks (30 February) gives nothing. Reads nothing outside `text`.
std::optional<DateTime> ParseCookieDate(std::u16string_view text);

}  // namespace queue
