// The character-set table: the names of character sets, each with the Windows code page it
// stands for.
#pragma once

#include <string_view>

namespace queue {

// The code page of a character-set name (matched ignoring case, first match wins); 0 when
// the name is unknown or has no code page.
int CodePageOf(std::u16string_view charset_name);

}  // namespace queue
