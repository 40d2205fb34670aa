// The settings file's four operations.
#include "settings/profile/profile_file.h"

#include <optional>

#include "core/failure.h"
#include "settings/profile/profile_document.h"
#include "settings/profile/profile_integer.h"
#include "settings/profile/profile_storage.h"
#include "settings/settings_failure.h"

namespace settings {
namespace {

// What a name may not begin or end with: the lines' own trimming drops it.
bool IsNameBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

// What a read drops at either end of a value: the blank and the tab, and also the vertical
// tab and the form feed, which the platform's reads drop as well.
bool IsValueBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

bool IsQuote(char16_t c) {
  return c == u'"' || c == u'\'';
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

// The rules of a read applied to the text after the "=".
std::u16string ValueAsRead(std::u16string_view value) {
  while (!value.empty() && IsValueBlank(value.front())) value.remove_prefix(1);
  while (!value.empty() && IsValueBlank(value.back())) value.remove_suffix(1);
  // A pair of double or of single quotation marks; one of each is no pair.
  if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > kMaxProfileValueLength) {
    value = value.substr(0, kMaxProfileValueLength);
    // Half a surrogate pair is no character; the cut goes before the whole pair.
    if (IsHighSurrogate(value.back())) value.remove_suffix(1);
  }
  return std::u16string(value);
}

// A name that would read back as something else, or break the line structure.
bool IsValidName(std::u16string_view name, std::u16string_view forbidden) {
  if (name.empty() || IsNameBlank(name.front()) || IsNameBlank(name.back())) return false;
  return name.find_first_of(forbidden) == std::u16string_view::npos;
}

std::u16string SingleLine(std::u16string_view value) {
  std::u16string line(value);
  for (char16_t& c : line) {
    if (c == u'\r' || c == u'\n' || c == u'\0') c = u' ';
  }
  return line;
}

}  // namespace

ProfileFile::ProfileFile(std::u16string_view path) : path_(AbsoluteStoredPath(path)) {}

std::u16string ProfileFile::ReadString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view default_value) const {
  StoredFile stored = ReadStoredFile(path_);
  if (stored.state != StoredState::kRead) return std::u16string(default_value);
  const std::optional<std::u16string> value =
      ProfileDocument::Parse(std::move(stored.bytes)).Find(section, key);
  if (!value) return std::u16string(default_value);
  return ValueAsRead(*value);
}

std::int32_t ProfileFile::ReadInteger(std::u16string_view section, std::u16string_view key,
                                      std::int32_t default_value) const {
  return ParseProfileInteger(ReadString(section, key, u"")).value_or(default_value);
}

void ProfileFile::WriteString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view value) {
  if (!IsValidName(section, u"]\r\n") || !IsValidName(key, u"=\r\n") || key.front() == u'[' ||
      key.front() == u';') {
    throw queue::Failure(queue::CoreFailure::kGeneric, "Invalid settings section or key name");
  }
  StoredFile stored = ReadStoredFile(path_);
  // A file that is there but cannot be read whole cannot be rewritten without losing lines.
  if (stored.state == StoredState::kUnusable) ThrowWriteRefused();
  ProfileDocument document = ProfileDocument::Parse(std::move(stored.bytes));
  document.Set(section, key, SingleLine(value));
  if (!ReplaceStoredFile(path_, document.Serialize())) ThrowWriteRefused();
}

void ProfileFile::WriteInteger(std::u16string_view section, std::u16string_view key,
                               std::int32_t value) {
  WriteString(section, key, FormatProfileInteger(value));
}

void ProfileFile::Flush() const {
  SyncStoredDirectory(path_);
}

void ProfileFile::ThrowWriteRefused() const {
  throw queue::Failure(settings::SettingsFailure::kWrite, u"Unable to write to " + path_);
}

}  // namespace settings
