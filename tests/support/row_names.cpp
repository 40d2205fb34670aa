// Names and printing for the rows of the tests' tables.
#include "tests/support/row_names.h"

#include "core/text.h"

namespace test_rows {
namespace {

constexpr std::size_t kMaxNameFromText = 48;

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

void PrintQuoted(std::string_view text, std::ostream* out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  *out << '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      *out << '\\' << c;
    } else if (c == '\r') {
      *out << "\\r";
    } else if (c == '\n') {
      *out << "\\n";
    } else if (c == '\t') {
      *out << "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      *out << "\\x" << kHex[byte >> 4] << kHex[byte & 0x0F];
    } else {
      *out << c;
    }
  }
  *out << '"';
}

}  // namespace

std::string RowNameFromText(std::string_view text, std::size_t index) {
  std::string name;
  for (const char c : text) {
    if (name.size() >= kMaxNameFromText) break;
    if (IsNameCharacter(c)) {
      name += c;
    } else if (!name.empty() && name.back() != '_') {
      name += '_';
    }
  }
  if (name.empty()) name = "Empty";
  if (name.back() != '_') name += '_';
  return name + std::to_string(index);
}

std::string RowNameFromText(std::u16string_view text, std::size_t index) {
  std::string ascii;
  for (const char16_t unit : text) ascii += unit < 0x80 ? static_cast<char>(unit) : ' ';
  return RowNameFromText(std::string_view(ascii), index);
}

void PrintRowText(const char* text, std::ostream* out) {
  if (text == nullptr) {
    *out << "(none)";
  } else {
    PrintQuoted(text, out);
  }
}

void PrintRowText(std::string_view text, std::ostream* out) {
  PrintQuoted(text, out);
}

void PrintRowText(const char16_t* text, std::ostream* out) {
  if (text == nullptr) {
    PrintRowText(static_cast<const char*>(nullptr), out);
  } else {
    PrintRowText(std::u16string_view(text), out);
  }
}

void PrintRowText(std::u16string_view text, std::ostream* out) {
  PrintQuoted(queue::Utf16ToUtf8(text), out);
}

void PrintRowText(const std::vector<const char*>& lines, std::ostream* out) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) *out << " | ";
    PrintRowText(lines[i], out);
  }
}

}  // namespace test_rows
