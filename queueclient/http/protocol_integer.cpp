// Integers as the protocol writes them.
#include "queueclient/http/protocol_integer.h"

#include <cstdint>
#include <limits>

#include "core/text.h"

namespace queue {
namespace {

int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Digits of `base` accumulated into a magnitude no larger than `limit`; false when there is
// no digit, a character that is not one, or the magnitude would pass the limit.
bool ParseMagnitude(std::u16string_view digits, int base, std::uint64_t limit,
                    std::uint64_t& magnitude) {
  if (digits.empty()) return false;
  magnitude = 0;
  for (const char16_t c : digits) {
    const int digit = HexDigitValue(c);
    if (digit < 0 || digit >= base) return false;
    if (magnitude >
        (limit - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(base)) {
      return false;
    }
    magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
  }
  return true;
}

template <typename Int>
Int ParseIntOrMinus1(std::u16string_view text) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<Int>::max());
  text = Trim(text);
  std::uint64_t magnitude = 0;
  for (const std::u16string_view prefix : {u"0x", u"$", u"x"}) {
    if (text.starts_with(prefix)) {
      return ParseMagnitude(text.substr(prefix.size()), 16, kMax, magnitude)
                 ? static_cast<Int>(magnitude)
                 : Int{-1};
    }
  }
  const bool negative = text.starts_with(u'-');
  if (negative || text.starts_with(u'+')) text.remove_prefix(1);
  // The negative range reaches one further than the positive one.
  if (!ParseMagnitude(text, 10, negative ? kMax + 1 : kMax, magnitude)) return -1;
  if (!negative) return static_cast<Int>(magnitude);
  return magnitude == kMax + 1 ? std::numeric_limits<Int>::min()
                               : static_cast<Int>(-static_cast<Int>(magnitude));
}

}  // namespace

std::int32_t ParseInt32OrMinus1(std::u16string_view text) {
  return ParseIntOrMinus1<std::int32_t>(text);
}

std::int64_t ParseInt64OrMinus1(std::u16string_view text) {
  return ParseIntOrMinus1<std::int64_t>(text);
}

}  // namespace queue
