// The integer rule of the settings file: which stored texts are integers, and their values.
#include <gtest/gtest.h>

#include <optional>

#include "core/text.h"
#include "settings/profile/profile_integer.h"
#include "tests/support/row_names.h"

namespace {

struct IntegerCase {
  const char* name;
  std::u16string text;
  std::optional<std::int32_t> expected;  // nothing: invalid, the caller's default is used
};
QUEUE_PRINT_ROWS_BY(IntegerCase, name)

class ProfileIntegerTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(ProfileIntegerTest, ParsesAsTheRuleSays) {
  EXPECT_EQ(settings::ParseProfileInteger(GetParam().text), GetParam().expected)
      << queue::Utf16ToUtf8(GetParam().text);
}

const IntegerCase kIntegerCases[] = {
    {"Zero", u"0", 0},
    {"Plain", u"420", 420},
    {"LeadingZerosDecimal", u"007", 7},
    {"Negative", u"-3000", -3000},
    {"PlusSign", u"+12", 12},
    {"LargestDecimal", u"2147483647", 2147483647},
    {"SmallestDecimal", u"-2147483648", -2147483647 - 1},
    {"DecimalOnePastLargest", u"2147483648", std::nullopt},
    {"DecimalOnePastSmallest", u"-2147483649", std::nullopt},
    {"HugeDecimal", u"99999999999999999999999", std::nullopt},
    {"LeadingBlanks", u"   5", 5},
    // Only the blank character is skipped, not a tab.
    {"LeadingTab", u"\t5", std::nullopt},
    {"HexZeroX", u"0x1A4", 420},
    {"HexZeroXCapital", u"0X1a4", 420},
    {"HexDollar", u"$1a4", 420},
    {"HexX", u"x1A4", 420},
    {"HexCapitalX", u"X1A4", 420},
    {"HexAllOnesIsMinusOne", u"$FFFFFFFF", -1},
    {"HexTopBitIsSmallest", u"0x80000000", -2147483647 - 1},
    {"HexNegated", u"-$10", -16},
    {"HexNegatedZeroX", u"-0x10", -16},
    {"HexPlusSign", u"+$10", 16},
    {"HexNegatedTopBit", u"-$80000000", -2147483647 - 1},
    {"HexNineDigitsWithLeadingZero", u"$0FFFFFFFF", -1},
    {"HexManyLeadingZeros", u"0x0000000000001", 1},
    {"HexNineSignificantDigits", u"$100000000", std::nullopt},
    // "0x" is only rewritten when digits may follow; then "0x" itself is a prefix without digits.
    {"HexPrefixAlone", u"0x", std::nullopt},
    {"DollarAlone", u"$", std::nullopt},
    {"HexBadDigit", u"$1G", std::nullopt},
    // After "0x" became "$", a second prefix is an invalid digit.
    {"HexDoublePrefix", u"0x$5", std::nullopt},
    {"Empty", u"", std::nullopt},
    {"Blanks", u"   ", std::nullopt},
    {"SignAlone", u"-", std::nullopt},
    {"TwoSigns", u"--5", std::nullopt},
    {"SignThenBlank", u"- 5", std::nullopt},
    {"BlankBetweenDigits", u"1 2", std::nullopt},
    {"TrailingBlank", u"12 ", std::nullopt},
    {"Unit", u"100px", std::nullopt},
    {"Exponent", u"1e2", std::nullopt},
    {"Fraction", u"1.5", std::nullopt},
    {"FullWidthDigit", u"\uFF11", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Texts, ProfileIntegerTest, testing::ValuesIn(kIntegerCases),
                         [](const testing::TestParamInfo<IntegerCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(ProfileIntegerFormat, WritesPlainDecimal) {
  EXPECT_EQ(settings::FormatProfileInteger(0), u"0");
  EXPECT_EQ(settings::FormatProfileInteger(420), u"420");
  EXPECT_EQ(settings::FormatProfileInteger(-1), u"-1");
  EXPECT_EQ(settings::FormatProfileInteger(-2147483647 - 1), u"-2147483648");
}

struct RoundTripCase {
  const char* name;
  std::int32_t value;
};
QUEUE_PRINT_ROWS_BY(RoundTripCase, name)

class ProfileIntegerRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(ProfileIntegerRoundTrip, WrittenValueReadsBack) {
  const std::int32_t value = GetParam().value;
  EXPECT_EQ(settings::ParseProfileInteger(settings::FormatProfileInteger(value)), value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ProfileIntegerRoundTrip,
    testing::Values(RoundTripCase{"Zero", 0}, RoundTripCase{"One", 1},
                    RoundTripCase{"MinusOne", -1}, RoundTripCase{"Positive", 112},
                    RoundTripCase{"Negative", -3000}, RoundTripCase{"Largest", 2147483647},
                    RoundTripCase{"Smallest", -2147483647 - 1}),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.name); });

}  // namespace
