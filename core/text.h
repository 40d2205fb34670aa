// Small text helpers of the whole program: UTF-16 <-> UTF-8 for the program's own strings,
// and the ASCII case rules used for header, scheme and character-set names.
#pragma once

#include <string>
#include <string_view>

namespace queue {

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// UTF-8 to UTF-16, as the UTF-8 body decoding does it (U+FFFD for malformed parts).
std::u16string Utf8ToUtf16(std::string_view bytes);
// Bytes 0x00..0x7F become the same code, every other byte becomes U+FFFD.
std::u16string AsciiToUtf16(std::string_view bytes);
// For literals of the program's own: each char is one code unit (ASCII only).
std::u16string Widen(std::string_view ascii);

char16_t AsciiLower(char16_t c);
char16_t AsciiUpper(char16_t c);
std::u16string AsciiLower(std::u16string_view text);
// Equality ignoring the case of the letters A to Z.
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix);
bool EndsWithIgnoreCase(std::u16string_view text, std::u16string_view suffix);

// Trims code units up to and including U+0020 at both ends (the blanks of the protocol).
std::u16string_view Trim(std::u16string_view text);
std::u16string_view TrimLeft(std::u16string_view text);
std::u16string_view TrimRight(std::u16string_view text);

}  // namespace queue
