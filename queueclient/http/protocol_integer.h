// Integers as the protocol writes them: the status code, a Content-Length, a port.
#pragma once

#include <cstdint>
#include <string_view>

namespace queue {

// Parses an integer as the status code and Content-Length are parsed: trimmed, an optional
// sign and decimal digits, or hexadecimal digits after "$", "x" or "0x"; -1 for anything else
// or for a value outside the type's range.
std::int32_t ParseInt32OrMinus1(std::u16string_view text);
std::int64_t ParseInt64OrMinus1(std::u16string_view text);

}  // namespace queue
