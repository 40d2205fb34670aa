// The settings file's four operations: read and write a text or an integer under a section
// and a key. Each call works on the file itself (nothing is cached between calls), so a
// value written is what the next read, by this program or by any other, finds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace settings {

// The longest value a read returns: the platform's read buffer holds 2048 characters, one of
// which is the terminator. The rest of a longer value is cut off.
constexpr std::size_t kMaxProfileValueLength = 2047;

class ProfileFile {
 public:
  // `path` is the settings file; a relative one is taken against the current directory.
  explicit ProfileFile(std::u16string_view path);

  // The full path, as the write failure names it.
  const std::u16string& path() const { return path_; }

  // The value of `key` in `section` (both matched ignoring case): blanks, tabs, vertical tabs
  // and form feeds at either end dropped, then one pair of enclosing double or single
  // quotation marks, then cut to kMaxProfileValueLength.
  // `default_value` when the file, the section or the key is missing or the file cannot be
  // read; a key with an empty value gives empty text. Never fails.
  std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view default_value) const;

  // The value read as ReadString reads it, parsed by the integer rule (profile_integer.h);
  // `default_value` when the key is missing or its value is not an integer. Never fails.
  std::int32_t ReadInteger(std::u16string_view section, std::u16string_view key,
                           std::int32_t default_value) const;

  // Writes `value` under `key` in `section`: replaces the value on the key's line, or adds
  // the key to its section, or adds the section; every other line stays as it was. The first
  // write creates a missing file. A line break or NUL in `value` is written as a blank, so a
  // value can never add lines of its own. Throws Failure(kSettingsWrite, "Unable to write to
  // <path>") when the file may not be written; the file then stays as it was.
  void WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value);

  // Writes the integer's decimal text with WriteString.
  void WriteInteger(std::u16string_view section, std::u16string_view key, std::int32_t value);

  // Run when a load or a save is finished: makes the writes durable. Never fails.
  void Flush() const;

 private:
  [[noreturn]] void ThrowWriteRefused() const;

  std::u16string path_;
};

}  // namespace settings
