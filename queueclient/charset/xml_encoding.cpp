// Detection of an XML body's encoding from its byte-order mark or its XML declaration.
#include "queueclient/charset/xml_encoding.h"

#include <array>
#include <cstdint>

#include "core/text.h"
#include "queueclient/charset/decode_utf.h"

namespace queue {
namespace {

constexpr std::u16string_view kDefault = u"UTF-8";

struct ByteOrderMark {
  std::array<std::uint8_t, 4> bytes;
  std::size_t length;
  std::u16string_view result;
};

// Checked in this order; the UCS-4 marks come before the UTF-16 ones they begin with.
constexpr ByteOrderMark kByteOrderMarks[] = {
    {{0x00, 0x00, 0xFE, 0xFF}, 4, u"UCS-4BE"},
    {{0x00, 0x00, 0xFF, 0xFE}, 4, u""},
    {{0xFF, 0xFE, 0x00, 0x00}, 4, u"UCS-4LE"},
    {{0xFE, 0xFF, 0x00, 0x00}, 4, u""},
    {{0xFE, 0xFF}, 2, u"UTF-16BE"},
    {{0xFF, 0xFE}, 2, u"UTF-16LE"},
    {{0xEF, 0xBB, 0xBF}, 3, u"UTF-8"},
};

// How the declaration is laid out, told by the body's first four bytes ("<?" or "<?xm").
enum class Reading { kUnitByte, kUtf16Be, kUtf16Le, kUtf8, kEbcdic };

struct DeclarationPattern {
  std::array<std::uint8_t, 4> first;
  std::size_t unit_size;
  std::array<std::uint8_t, 4> end_unit;  // the ">" that ends the declaration
  Reading reading;
  std::size_t char_byte;  // for kUnitByte: which byte of a unit holds the character
};

constexpr DeclarationPattern kPatterns[] = {
    {{0x00, 0x00, 0x00, 0x3C}, 4, {0x00, 0x00, 0x00, 0x3E}, Reading::kUnitByte, 3},
    {{0x00, 0x00, 0x3C, 0x00}, 4, {0x00, 0x00, 0x3E, 0x00}, Reading::kUnitByte, 2},
    {{0x3C, 0x00, 0x00, 0x00}, 4, {0x3E, 0x00, 0x00, 0x00}, Reading::kUnitByte, 0},
    {{0x00, 0x3C, 0x00, 0x00}, 4, {0x00, 0x3E, 0x00, 0x00}, Reading::kUnitByte, 1},
    {{0x00, 0x3C, 0x00, 0x3F}, 2, {0x00, 0x3E}, Reading::kUtf16Be, 0},
    {{0x3C, 0x00, 0x3F, 0x00}, 2, {0x3E, 0x00}, Reading::kUtf16Le, 0},
    {{0x3C, 0x3F, 0x78, 0x6D}, 1, {0x3E}, Reading::kUtf8, 0},
    {{0x4C, 0x6F, 0xA7, 0x94}, 1, {0x6E}, Reading::kEbcdic, 0},
};

// The EBCDIC (code page 037) codes of the characters a declaration is written in; every
// other byte stands for U+0001, which matches nothing the declaration is searched for.
constexpr std::array<char16_t, 256> MakeEbcdicTable() {
  std::array<char16_t, 256> table{};
  for (auto& c : table) c = 1;
  const auto letters = [&table](std::uint8_t first, char16_t from, int count) {
    for (int i = 0; i < count; ++i) table[first + i] = static_cast<char16_t>(from + i);
  };
  letters(0x81, u'a', 9);
  letters(0x91, u'j', 9);
  letters(0xA2, u's', 8);
  letters(0xC1, u'A', 9);
  letters(0xD1, u'J', 9);
  letters(0xE2, u'S', 8);
  letters(0xF0, u'0', 10);
  table[0x05] = u'\t';
  table[0x0D] = u'\r';
  table[0x25] = u'\n';
  table[0x40] = u' ';
  table[0x4B] = u'.';
  table[0x60] = u'-';
  table[0x6D] = u'_';
  table[0x4C] = u'<';
  table[0x6E] = u'>';
  table[0x6F] = u'?';
  table[0x7E] = u'=';
  table[0x7D] = u'\'';
  table[0x7F] = u'"';
  return table;
}

constexpr std::array<char16_t, 256> kEbcdic = MakeEbcdicTable();

std::uint8_t ByteAt(std::string_view body, std::size_t i) {
  return i < body.size() ? static_cast<std::uint8_t>(body[i]) : 0;
}

bool StartsWith(std::string_view body, const std::uint8_t* bytes, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (ByteAt(body, i) != bytes[i]) return false;
  }
  return true;
}

std::u16string ReadDeclaration(std::string_view declaration, const DeclarationPattern& pattern) {
  switch (pattern.reading) {
    case Reading::kUtf16Be:
      return DecodeUtf16(declaration, true);
    case Reading::kUtf16Le:
      return DecodeUtf16(declaration, false);
    case Reading::kUtf8:
      return DecodeUtf8(declaration);
    case Reading::kEbcdic: {
      std::u16string text(declaration.size(), u'\0');
      for (std::size_t i = 0; i < declaration.size(); ++i) {
        text[i] = kEbcdic[static_cast<std::uint8_t>(declaration[i])];
      }
      return text;
    }
    case Reading::kUnitByte:
      break;
  }
  std::u16string text;
  for (std::size_t i = 0; i + pattern.unit_size <= declaration.size(); i += pattern.unit_size) {
    text.push_back(static_cast<std::uint8_t>(declaration[i + pattern.char_byte]));
  }
  return text;
}

// The encoding pseudo-attribute: "encoding", blanks, "=", blanks and a quoted value.
std::u16string EncodingIn(std::u16string_view declaration) {
  std::size_t pos = declaration.find(u"encoding");
  if (pos == std::u16string_view::npos) return {};
  pos += 8;
  const auto skip_blanks = [&] {
    while (pos < declaration.size() && declaration[pos] <= 0x20) ++pos;
  };
  skip_blanks();
  if (pos >= declaration.size() || declaration[pos] != u'=') return {};
  ++pos;
  skip_blanks();
  if (pos >= declaration.size() || (declaration[pos] != u'"' && declaration[pos] != u'\'')) {
    return {};
  }
  const char16_t quote = declaration[pos++];
  const std::size_t end = declaration.find(quote, pos);
  return std::u16string(Trim(declaration.substr(
      pos, end == std::u16string_view::npos ? std::u16string_view::npos : end - pos)));
}

}  // namespace

std::u16string XmlEncodingOf(std::string_view body) {
  if (body.size() < 3) return std::u16string(kDefault);
  for (const auto& mark : kByteOrderMarks) {
    if (StartsWith(body, mark.bytes.data(), mark.length)) return std::u16string(mark.result);
  }
  if (body.size() < 4) return std::u16string(kDefault);
  for (const auto& pattern : kPatterns) {
    if (!StartsWith(body, pattern.first.data(), 4)) continue;
    for (std::size_t at = 4; at + pattern.unit_size <= body.size(); at += pattern.unit_size) {
      if (!StartsWith(body.substr(at), pattern.end_unit.data(), pattern.unit_size)) continue;
      const std::u16string declaration =
          ReadDeclaration(body.substr(0, at + pattern.unit_size), pattern);
      std::u16string encoding = EncodingIn(declaration);
      return encoding.empty() ? std::u16string(kDefault) : encoding;
    }
    break;
  }
  return std::u16string(kDefault);
}

}  // namespace queue
