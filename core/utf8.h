// UTF-8 decoding into UTF-16 text, the one decoder of the program: the body decoding, the
// settings file and the program's own strings all use it.
#pragma once

#include <string>
#include <string_view>

namespace queue {

// UTF-8 to UTF-16. A malformed sequence gives one U+FFFD for each maximal part of it that
// could begin a well-formed sequence (the Unicode recommendation), so a stray byte never
// swallows the valid characters after it. A byte-order mark stays in the text as U+FEFF.
std::u16string DecodeUtf8(std::string_view bytes);

}  // namespace queue
