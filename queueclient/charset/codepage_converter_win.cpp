// Named code pages on Windows: MultiByteToWideChar, and UTF-32 decoded here.
#include <windows.h>

#include <cstdint>

#include "queueclient/charset/codepage_platform.h"

namespace queue {
namespace {

// UTF-32 is no code page of MultiByteToWideChar (only managed code has it), so it is decoded
// here, the same way the other platform's converter does: an invalid unit or an incomplete one
// at the end becomes U+FFFD.
constexpr int kUtf32LittleEndian = 12000;
constexpr int kUtf32BigEndian = 12001;

bool IsUtf32(int code_page) {
  return code_page == kUtf32LittleEndian || code_page == kUtf32BigEndian;
}

std::u16string DecodeUtf32(std::string_view bytes, bool big_endian) {
  std::u16string text;
  text.reserve(bytes.size() / 4 + 1);
  std::size_t at = 0;
  for (; at + 4 <= bytes.size(); at += 4) {
    std::uint32_t unit = 0;
    for (int i = 0; i < 4; ++i) {
      const auto byte = static_cast<std::uint8_t>(bytes[at + (big_endian ? i : 3 - i)]);
      unit = (unit << 8) | byte;
    }
    if (unit > 0x10FFFF || (unit >= 0xD800 && unit <= 0xDFFF)) {
      text.push_back(kReplacement);
    } else if (unit >= 0x10000) {
      unit -= 0x10000;
      text.push_back(static_cast<char16_t>(0xD800 + (unit >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + (unit & 0x3FF)));
    } else {
      text.push_back(static_cast<char16_t>(unit));
    }
  }
  if (at < bytes.size()) text.push_back(kReplacement);
  return text;
}

}  // namespace

bool PlatformConverts(int code_page) {
  return IsUtf32(code_page) || IsValidCodePage(static_cast<UINT>(code_page)) != 0;
}

namespace {

// The code pages whose flags must be 0 for MultiByteToWideChar (the stateful and the UTF ones):
// they cannot report invalid input, and replace it themselves.
bool TakesNoFlags(int code_page) {
  return code_page == 42 || code_page == 65000 || (code_page >= 50220 && code_page <= 50229) ||
         (code_page >= 57002 && code_page <= 57011);
}

// Converts one piece; empty with `failed` set when a flag made the system refuse invalid input.
std::u16string ConvertPiece(std::string_view piece, int code_page, DWORD flags, bool& failed) {
  const int size = static_cast<int>(piece.size());
  const UINT page = static_cast<UINT>(code_page);
  const int units = MultiByteToWideChar(page, flags, piece.data(), size, nullptr, 0);
  failed = units <= 0;
  if (failed) return {};
  std::u16string text(static_cast<std::size_t>(units), u'\0');
  MultiByteToWideChar(page, flags, piece.data(), size, reinterpret_cast<wchar_t*>(text.data()),
                      units);
  return text;
}

// A double-byte code page character by character, from its lead bytes: a character the code
// page does not define, or a lead byte without its second byte at the end, becomes U+FFFD.
std::u16string ConvertByCharacter(std::string_view bytes, int code_page) {
  std::u16string text;
  text.reserve(bytes.size());
  const UINT page = static_cast<UINT>(code_page);
  for (std::size_t at = 0; at < bytes.size();) {
    const bool lead = IsDBCSLeadByteEx(page, static_cast<BYTE>(bytes[at])) != 0;
    const std::size_t length = lead ? 2 : 1;
    if (at + length > bytes.size()) {
      text.push_back(kReplacement);
      break;
    }
    bool failed = false;
    const std::u16string character =
        ConvertPiece(bytes.substr(at, length), code_page, MB_ERR_INVALID_CHARS, failed);
    if (failed) {
      text.push_back(kReplacement);
    } else {
      text += character;
    }
    at += length;
  }
  return text;
}

}  // namespace

std::u16string ConvertWithPlatform(std::string_view bytes, int code_page) {
  if (bytes.empty()) return {};
  if (IsUtf32(code_page)) return DecodeUtf32(bytes, code_page == kUtf32BigEndian);
  // MultiByteToWideChar takes int sizes; larger bodies are converted in pieces cut only
  // where a piece ends, which for the multi-byte code pages may split a character.
  constexpr std::size_t kPiece = 1u << 30;
  const DWORD flags = TakesNoFlags(code_page) ? 0 : MB_ERR_INVALID_CHARS;
  CPINFO info{};
  const bool double_byte = GetCPInfo(static_cast<UINT>(code_page), &info) && info.MaxCharSize == 2;
  std::u16string text;
  for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
    const std::string_view piece = bytes.substr(at, kPiece);
    bool failed = false;
    std::u16string converted = ConvertPiece(piece, code_page, flags, failed);
    // Invalid input: the double-byte code pages are walked character by character, so that
    // only what is invalid is replaced; the others take the system's own replacement.
    if (failed) {
      converted = double_byte ? ConvertByCharacter(piece, code_page)
                              : ConvertPiece(piece, code_page, 0, failed);
    }
    text += converted;
  }
  return text;
}

namespace {

// The Windows code pages (874, 1250 to 1258) put printable characters at 0x80 to 0x9F; the
// system passes the few bytes there that they leave undefined through as the control character
// of that number, which these code pages otherwise never give.
bool IsUndefinedWindowsByte(int code_page, int byte, wchar_t unit) {
  const bool windows_page = code_page == 874 || (code_page >= 1250 && code_page <= 1258);
  return windows_page && byte >= 0x80 && byte <= 0x9F && unit == static_cast<wchar_t>(byte);
}

}  // namespace

// A table when the code page has one byte per character; a byte it does not define is U+FFFD.
std::unique_ptr<ByteTable> PlatformSingleByteTable(int code_page) {
  CPINFO info;
  if (IsUtf32(code_page) || !GetCPInfo(static_cast<UINT>(code_page), &info) ||
      info.MaxCharSize != 1) {
    return nullptr;
  }
  auto table = std::make_unique<ByteTable>();
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    wchar_t unit = kReplacement;
    if (MultiByteToWideChar(static_cast<UINT>(code_page), MB_ERR_INVALID_CHARS, &byte, 1, &unit,
                            1) != 1 ||
        IsUndefinedWindowsByte(code_page, b, unit)) {
      unit = kReplacement;
    }
    (*table)[static_cast<std::size_t>(b)] = static_cast<char16_t>(unit);
  }
  return table;
}

}  // namespace queue
