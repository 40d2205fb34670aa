// UTF-16 and UTF-7 decoding into UTF-16 text.
#include "queueclient/charset/decode_utf.h"

#include <cstdint>

namespace queue {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

int Base64Value(std::uint8_t c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::u16string DecodeUtf16(std::string_view bytes, bool big_endian) {
  std::u16string text(bytes.size() / 2, u'\0');
  const auto* in = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const int high = big_endian ? 0 : 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>((in[2 * i + high] << 8) | in[2 * i + 1 - high]);
  }
  return text;
}

std::u16string DecodeUtf7(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  bool in_base64 = false;
  std::uint32_t bits = 0;
  int bit_count = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<std::uint8_t>(bytes[i]);
    if (in_base64) {
      const int value = Base64Value(c);
      if (value >= 0) {
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        bit_count += 6;
        if (bit_count >= 16) {
          bit_count -= 16;
          text.push_back(static_cast<char16_t>(bits >> bit_count));
          bits &= (1u << bit_count) - 1;
        }
        continue;
      }
      in_base64 = false;
      bits = 0;
      bit_count = 0;
      if (c == '-') continue;
    }
    if (c == '+') {
      if (i + 1 < bytes.size() && bytes[i + 1] == '-') {
        text.push_back(u'+');
        ++i;
      } else {
        in_base64 = true;
      }
    } else {
      text.push_back(c < 0x80 ? static_cast<char16_t>(c) : kReplacement);
    }
  }
  return text;
}

}  // namespace queue
