// Named code pages through the platform's converter: iconv on Linux, MultiByteToWideChar on
// Windows. Single-byte code pages are turned into a 256-entry table once and decoded by lookup.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace queue {

// Decodes `bytes` in the Windows code page `code_page`. Bytes the code page does not define
// become U+FFFD. Empty (no value) when the platform cannot convert that code page, so that the
// caller can fall back to the 8-bit decoding.
std::optional<std::u16string> DecodeWithCodePage(std::string_view bytes, int code_page);

}  // namespace queue
