// The text encodings of the settings file.
#include "settings/profile/profile_encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/text.h"

namespace settings {
namespace {

constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Windows-1251 from 0x80 to 0xBF; 0xC0..0xFF are U+0410..U+044F in order. 0x98 has no
// character in the code page and keeps its own code.
constexpr std::array<char16_t, 64> kWindows1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

std::u16string DecodeWindows1251(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (char byte : bytes) {
    const auto b = static_cast<std::uint8_t>(byte);
    if (b < 0x80) {
      text.push_back(b);
    } else if (b < 0xC0) {
      text.push_back(kWindows1251High[b - 0x80]);
    } else {
      text.push_back(static_cast<char16_t>(0x0410 + (b - 0xC0)));
    }
  }
  return text;
}

std::u16string DecodeEightBit(std::string_view bytes) {
  // ASCII reads the same in both: the common line is widened without the round trip below.
  if (std::all_of(bytes.begin(), bytes.end(), [](char b) { return (b & 0x80) == 0; })) {
    return queue::Widen(bytes);
  }
  std::u16string text = queue::Utf8ToUtf16(bytes);
  // Valid UTF-8 and only valid UTF-8 survives the way back unchanged.
  if (queue::Utf16ToUtf8(text) == bytes) return text;
  return DecodeWindows1251(bytes);
}

std::u16string DecodeUtf16(std::string_view bytes, bool big_endian) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<std::uint8_t>(bytes[i]);
    const auto second = static_cast<std::uint8_t>(bytes[i + 1]);
    text.push_back(big_endian ? static_cast<char16_t>(first << 8 | second)
                              : static_cast<char16_t>(second << 8 | first));
  }
  return text;
}

std::string EncodeUtf16(std::u16string_view text, bool big_endian) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes.push_back(big_endian ? high : low);
    bytes.push_back(big_endian ? low : high);
  }
  return bytes;
}

}  // namespace

std::string_view ByteOrderMarkOf(std::string_view bytes) {
  for (std::string_view mark : {kUtf16LittleEndianMark, kUtf16BigEndianMark, kUtf8Mark}) {
    if (bytes.starts_with(mark)) return bytes.substr(0, mark.size());
  }
  return {};
}

ProfileEncoding EncodingOfMark(std::string_view mark) {
  if (mark == kUtf16LittleEndianMark) return ProfileEncoding::kUtf16LittleEndian;
  if (mark == kUtf16BigEndianMark) return ProfileEncoding::kUtf16BigEndian;
  return ProfileEncoding::kEightBit;
}

std::size_t CodeUnitBytes(ProfileEncoding encoding) {
  return encoding == ProfileEncoding::kEightBit ? 1 : 2;
}

std::u16string DecodeProfileLine(std::string_view bytes, ProfileEncoding encoding) {
  switch (encoding) {
    case ProfileEncoding::kUtf16LittleEndian:
      return DecodeUtf16(bytes, false);
    case ProfileEncoding::kUtf16BigEndian:
      return DecodeUtf16(bytes, true);
    case ProfileEncoding::kEightBit:
      break;
  }
  return DecodeEightBit(bytes);
}

std::string EncodeProfileLine(std::u16string_view text, ProfileEncoding encoding) {
  switch (encoding) {
    case ProfileEncoding::kUtf16LittleEndian:
      return EncodeUtf16(text, false);
    case ProfileEncoding::kUtf16BigEndian:
      return EncodeUtf16(text, true);
    case ProfileEncoding::kEightBit:
      break;
  }
  return queue::Utf16ToUtf8(text);
}

}  // namespace settings
