// The cookie-date parser: the common formats, two-digit years, the stricter rules and dates
// that are no dates.
#include "queueclient/cookies/cookie_date.h"
#include "tests/support/row_names.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/text.h"

namespace queue {
namespace {

struct Moment {
  int year, month, day, hour, minute, second;
};

struct DateCase {
  const char* name;
  const char16_t* text;
  std::optional<Moment> expected;  // nothing: the text is no valid date
};
QUEUE_PRINT_ROWS_BY(DateCase, name)

constexpr std::nullopt_t kInvalid = std::nullopt;

const DateCase kDateCases[] = {
    {"Rfc1123", u"Sun, 06 Nov 1994 08:49:37 GMT", Moment{1994, 11, 6, 8, 49, 37}},
    {"Rfc850", u"Sunday, 06-Nov-94 08:49:37 GMT", Moment{1994, 11, 6, 8, 49, 37}},
    {"Asctime", u"Sun Nov  6 08:49:37 1994", Moment{1994, 11, 6, 8, 49, 37}},
    {"TwoDigitYear21", u"Wed, 09-Jun-21 10:18:14 GMT", Moment{2021, 6, 9, 10, 18, 14}},
    // The two-digit years switch centuries between 69 and 70.
    {"TwoDigitYear69", u"09 Jun 69 10:18:14", Moment{2069, 6, 9, 10, 18, 14}},
    {"TwoDigitYear70", u"09 Jun 70 10:18:14", Moment{1970, 6, 9, 10, 18, 14}},
    {"TwoDigitYear00", u"09 Jun 00 10:18:14", Moment{2000, 6, 9, 10, 18, 14}},
    {"SingleDigitTimeFields", u"09 Jun 2021 1:2:3", Moment{2021, 6, 9, 1, 2, 3}},
    {"MonthNameAnyCaseAndLength", u"09 JUNE 2021 10:18:14", Moment{2021, 6, 9, 10, 18, 14}},
    {"TimeFirstThenYearLast", u"10:18:14 Jun 09 2021", Moment{2021, 6, 9, 10, 18, 14}},
    {"LettersAfterSeconds", u"09 Jun 2021 10:18:14Z", Moment{2021, 6, 9, 10, 18, 14}},
    {"NonAsciiZone", u"09 Jun 2021 10:18:14 \u041c\u0421\u041a", Moment{2021, 6, 9, 10, 18, 14}},
    {"FirstOfManyTimesCounts", u"09 Jun 2021 10:18:14 11:00:00", Moment{2021, 6, 9, 10, 18, 14}},
    {"LeapDay", u"29 Feb 2024 00:00:00", Moment{2024, 2, 29, 0, 0, 0}},
    {"EarliestYear", u"01 Jan 1601 00:00:00", Moment{1601, 1, 1, 0, 0, 0}},
    {"LatestMoment", u"31 Dec 9999 23:59:59", Moment{9999, 12, 31, 23, 59, 59}},
    // Stricter than the common rules: a numeric month is allowed...
    {"NumericMonth", u"09 06 2021 10:18:14", Moment{2021, 6, 9, 10, 18, 14}},
    // ...but spoils the date outside 1 to 12 or with a third digit.
    {"NumericMonth13", u"09 13 2021 10:18:14", kInvalid},
    {"NumericMonth0", u"09 0 2021 10:18:14", kInvalid},
    {"NumericMonthThreeDigits", u"09 006 2021 10:18:14", kInvalid},
    // A digit right after the seconds spoils the date.
    {"DigitAfterSeconds", u"09 Jun 2021 10:18:145", kInvalid},
    // A four-digit year before the day of month has a third leading digit as a day.
    {"IsoOrder", u"2021-06-09 10:18:14", kInvalid},
    {"DayThreeDigits", u"009 Jun 2021 10:18:14", kInvalid},
    {"Hour24", u"09 Jun 2021 24:00:00", kInvalid},
    {"Minute60", u"09 Jun 2021 10:60:00", kInvalid},
    {"Second60", u"09 Jun 2021 10:18:60", kInvalid},
    {"Day0", u"00 Jun 2021 10:18:14", kInvalid},
    {"Day32", u"32 Jun 2021 10:18:14", kInvalid},
    {"NoSuchDay", u"30 Feb 2024 10:18:14", kInvalid},
    {"NoLeapDay", u"29 Feb 2023 10:18:14", kInvalid},
    {"Year1600", u"09 Jun 1600 10:18:14", kInvalid},
    {"ThreeDigitYear", u"09 Jun 999 10:18:14", kInvalid},
    {"FiveDigitYearIsNoYear", u"09 Jun 20211 10:18:14", kInvalid},
    {"NoTime", u"Wed, 09 Jun 2021 GMT", kInvalid},
    {"NoYear", u"Wed, 09 Jun 10:18:14 GMT", kInvalid},
    {"NoMonth", u"09 2021 10:18:14", kInvalid},  // 2021 is tried as the month
    {"Empty", u"", kInvalid},
    {"OnlyDelimiters", u" ,;-/ ", kInvalid},
};

class CookieDateTest : public testing::TestWithParam<DateCase> {};

TEST_P(CookieDateTest, ParsesAsExpected) {
  const DateCase& c = GetParam();
  // An exactly sized copy, so that a read past the end shows under the sanitizers.
  const std::u16string text(c.text);
  const auto parsed = ParseCookieDate(text);
  if (!c.expected) {
    EXPECT_FALSE(parsed.has_value()) << Utf16ToUtf8(text) << " gave ms " << parsed->ms;
    return;
  }
  const Moment& m = *c.expected;
  ASSERT_TRUE(parsed.has_value()) << Utf16ToUtf8(text);
  EXPECT_EQ(*parsed, MakeDateTime(m.year, m.month, m.day, m.hour, m.minute, m.second));
}

INSTANTIATE_TEST_SUITE_P(Dates, CookieDateTest, testing::ValuesIn(kDateCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CookieDateTimeTest, CalendarArithmetic) {
  EXPECT_EQ(MakeDateTime(1970, 1, 1).ms, 0);
  EXPECT_EQ(MakeDateTime(2000, 3, 1).ms - MakeDateTime(2000, 2, 28).ms, 2 * 86400000LL);
  EXPECT_EQ(MakeDateTime(1, 1, 1), kFirstDayOfYearOne);
  EXPECT_EQ(MakeDateTime(9999, 12, 31, 23, 59, 59, 999), kEndOfTime);
  // Adding seconds never leaves the representable years, however large the count.
  EXPECT_EQ(AddSecondsClamped(MakeDateTime(2024, 1, 1), INT64_MAX), kEndOfTime);
  EXPECT_EQ(AddSecondsClamped(MakeDateTime(2024, 1, 1), INT64_MIN), kFirstDayOfYearOne);
  EXPECT_EQ(AddSecondsClamped(MakeDateTime(2024, 1, 1), 61), MakeDateTime(2024, 1, 1, 0, 1, 1));
}

}  // namespace
}  // namespace queue
