// Integers in the settings file.
#include "settings/profile/profile_integer.h"

#include <string>

namespace settings {
namespace {

// Eight hexadecimal digits fill the 32 bits; a ninth significant one cannot fit.
constexpr int kMaxSignificantHexDigits = 8;
constexpr std::int64_t kMaxMagnitudeNegative = 2147483648LL;
constexpr std::int64_t kMaxMagnitudePositive = 2147483647LL;

int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool IsX(char16_t c) {
  return c == u'x' || c == u'X';
}

std::optional<std::uint32_t> ParseHexDigits(std::u16string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  int significant = 0;
  for (char16_t c : digits) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return std::nullopt;
    if (significant == 0 && digit == 0) continue;  // leading zeros do not count
    if (++significant > kMaxSignificantHexDigits) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  return value;
}

// The magnitude of a decimal number, or nothing once it passes `limit`.
std::optional<std::int64_t> ParseDecimalDigits(std::u16string_view digits, std::int64_t limit) {
  if (digits.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
    if (value > limit) return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<std::int32_t> ParseProfileInteger(std::u16string_view text) {
  std::u16string rewritten;
  if (text.size() > 2 && text[0] == u'0' && IsX(text[1])) {
    rewritten = u"$";
    rewritten.append(text.substr(2));
    text = rewritten;
  }
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == u' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
    negative = text[pos] == u'-';
    ++pos;
  }
  const std::u16string_view rest = text.substr(pos);
  std::size_t hex_prefix = 0;
  if (!rest.empty() && (rest[0] == u'$' || IsX(rest[0]))) {
    hex_prefix = 1;
  } else if (rest.size() >= 2 && rest[0] == u'0' && IsX(rest[1])) {
    hex_prefix = 2;
  }
  if (hex_prefix != 0) {
    const std::optional<std::uint32_t> bits = ParseHexDigits(rest.substr(hex_prefix));
    if (!bits) return std::nullopt;
    // Unsigned negation wraps, so "-$80000000" stays -2147483648 as a 32-bit value does.
    const std::uint32_t result = negative ? 0u - *bits : *bits;
    return static_cast<std::int32_t>(result);
  }
  const std::optional<std::int64_t> magnitude =
      ParseDecimalDigits(rest, negative ? kMaxMagnitudeNegative : kMaxMagnitudePositive);
  if (!magnitude) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -*magnitude : *magnitude);
}

std::u16string FormatProfileInteger(std::int32_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace settings
