// The platform's side of the code-page converter (codepage_converter.h): each platform's
// definitions are in codepage_converter_posix.cpp and codepage_converter_win.cpp.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace queue {

inline constexpr char16_t kReplacement = 0xFFFD;

// What each byte of a single-byte code page stands for.
using ByteTable = std::array<char16_t, 256>;

// Whether the platform's converter knows the code page.
bool PlatformConverts(int code_page);

// Decodes `bytes` in a code page the converter knows; undefined bytes become U+FFFD.
std::u16string ConvertWithPlatform(std::string_view bytes, int code_page);

// The code page's table when each of its bytes stands for one unit alone; null otherwise.
std::unique_ptr<ByteTable> PlatformSingleByteTable(int code_page);

}  // namespace queue
