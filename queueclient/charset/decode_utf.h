// The Unicode decodings the client does itself: UTF-8 (core/utf8.h, each malformed sequence
// becomes one U+FFFD), UTF-16 in either byte order, and UTF-7. None of them fails.
#pragma once

#include <string>
#include <string_view>

#include "core/utf8.h"

namespace queue {

// Two bytes per code unit, low byte first unless `big_endian`; an odd last byte is dropped.
// Unpaired surrogates are kept as they are.
std::u16string DecodeUtf16(std::string_view bytes, bool big_endian);

// UTF-7: "+" opens a run of modified Base64 holding UTF-16 units, "+-" is "+" itself, and a
// "-" right after a run is absorbed. Bits left over at the end of a run are dropped; a byte
// above 0x7F, which UTF-7 never holds, becomes U+FFFD.
std::u16string DecodeUtf7(std::string_view bytes);

}  // namespace queue
