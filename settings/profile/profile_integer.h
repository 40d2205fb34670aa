// Integers in the settings file: how a stored value is parsed and how an integer is written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

// Parses a stored value as a 32-bit signed integer.
// Accepts, after any leading blanks (U+0020 only), one optional "-" or "+", then either
// decimal digits within -2147483648..2147483647, or a hexadecimal number introduced by "$",
// "x", "X" or "0x"/"0X" with at most eight significant digits, taken as a two's-complement
// 32-bit value ("$FFFFFFFF" is -1) and negated by a leading "-". A text longer than two
// characters that begins with "0x" in any case is read as if it began with "$".
// The digits must run to the end of the text. Returns nothing for any other text, which the
// caller replaces by its default.
std::optional<std::int32_t> ParseProfileInteger(std::u16string_view text);

// Plain decimal digits, "-" in front of a negative value; no plus sign, zeros or blanks.
std::u16string FormatProfileInteger(std::int32_t value);

}  // namespace settings
