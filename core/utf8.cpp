// UTF-8 decoding.
#include "core/utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace queue {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Bytes checked at once for a run of ASCII.
constexpr std::size_t kWordSize = sizeof(std::uint64_t);
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Input bytes decoded at a time into a buffer on the stack, which is then appended to the text:
// the text is reserved once and not cleared first (clearing two bytes per input byte cost about
// an eighth of the decoding), and a buffer this small stays in the first-level cache.
constexpr std::size_t kChunkBytes = 512;
// Every byte gives at most one unit (four bytes give two), and a sequence that starts in a chunk
// ends at most three bytes after it.
constexpr std::size_t kChunkUnits = kChunkBytes + 3;

bool IsContinuation(std::uint8_t b) {
  return (b & 0xC0) == 0x80;
}

// A lead byte of 0xC2..0xDF followed by a continuation byte.
bool IsTwoByteSequence(const std::uint8_t* in, const std::uint8_t* end) {
  return static_cast<std::uint8_t>(in[0] - 0xC2) <= 0xDF - 0xC2 && end - in >= 2 &&
         IsContinuation(in[1]);
}

// The well-formed sequences of a lead byte: their length and the range the second byte must
// lie in (which rules out overlong forms, surrogates and code points above U+10FFFF).
struct LeadByte {
  int length;  // 0: never starts a sequence
  std::uint8_t second_min;
  std::uint8_t second_max;
};

constexpr LeadByte LeadOf(std::uint8_t b) {
  if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// Decodes one sequence that starts with a byte of 0x80 or more at in[0]; writes one or two
// units to `out` and returns how many bytes it took (at least one).
std::size_t DecodeSequence(const std::uint8_t* in, std::size_t available, char16_t*& out) {
  const LeadByte lead = LeadOf(in[0]);
  if (lead.length == 0 || available < 2 || in[1] < lead.second_min || in[1] > lead.second_max) {
    *out++ = kReplacement;
    return 1;
  }
  char32_t cp = in[0] & (0x7F >> lead.length);
  cp = (cp << 6) | (in[1] & 0x3F);
  std::size_t taken = 2;
  while (taken < static_cast<std::size_t>(lead.length)) {
    if (taken >= available || !IsContinuation(in[taken])) {
      *out++ = kReplacement;
      return taken;
    }
    cp = (cp << 6) | (in[taken] & 0x3F);
    ++taken;
  }
  if (cp >= 0x10000) {
    cp -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (cp >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  } else {
    *out++ = static_cast<char16_t>(cp);
  }
  return taken;
}

}  // namespace

std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());  // the text never outgrows one unit per byte
  const auto* in = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::uint8_t* const end = in + bytes.size();
  char16_t chunk[kChunkUnits];
  while (in < end) {
    // Runs and sequences start before chunk_end; a sequence's bytes are checked up to `end`.
    const std::uint8_t* const chunk_end =
        in + std::min(kChunkBytes, static_cast<std::size_t>(end - in));
    char16_t* out = chunk;
    while (in < chunk_end) {
      const std::uint8_t b = *in;
      if (b < 0x80) {
        *out++ = b;
        ++in;
        // ASCII runs, eight bytes at a time: markup, digits and the spaces between words.
        while (static_cast<std::size_t>(chunk_end - in) >= kWordSize) {
          std::uint64_t word;
          std::memcpy(&word, in, kWordSize);
          if (word & kHighBits) break;
          for (std::size_t i = 0; i < kWordSize; ++i) out[i] = in[i];
          in += kWordSize;
          out += kWordSize;
        }
      } else if (IsTwoByteSequence(in, end)) {
        // Two-byte letters (Cyrillic, Greek, Latin with marks) come in whole words.
        do {
          *out++ = static_cast<char16_t>(((in[0] & 0x1F) << 6) | (in[1] & 0x3F));
          in += 2;
        } while (in < chunk_end && IsTwoByteSequence(in, end));
      } else {
        in += DecodeSequence(in, static_cast<std::size_t>(end - in), out);
      }
    }
    text.append(chunk, static_cast<std::size_t>(out - chunk));
  }
  return text;
}

}  // namespace queue
