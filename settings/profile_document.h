// The settings file as a list of lines, with the lookup and update rules of the INI format:
// sections and keys matched ignoring case, a write that touches one line (or adds one or
// two) and leaves every other byte of the file as it was.
//
// Lines: "[name]" begins a section (blanks around the brackets and the name are allowed);
// "key=value" is an entry of the section above it; a line whose first non-blank character is
// ";" or "#" is a comment; any other line is kept and ignored. When a section name or a key
// occurs twice, the first occurrence is the one that is read and written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/profile_encoding.h"

namespace settings {

class ProfileDocument {
 public:
  // An empty document, which becomes a new 8-bit file.
  ProfileDocument();
  // The document held by a file's bytes. Never fails.
  static ProfileDocument Parse(std::string_view bytes);

  // The value of a key as it stands after the "=" on its line, untrimmed; nothing when the
  // section or the key is missing.
  std::optional<std::u16string> Find(std::u16string_view section, std::u16string_view key) const;

  // Replaces the value on the key's line, or adds the key at the end of its section's
  // entries, or adds the section with the key at the end of the file. A replaced line keeps
  // its key as it was spelled.
  void Set(std::u16string_view section, std::u16string_view key, std::u16string_view value);

  // The file's bytes: its byte-order mark, then every line as stored.
  std::string Serialize() const;

  ProfileEncoding encoding() const { return encoding_; }

 private:
  enum class LineKind { kOther, kSection, kEntry };
  struct Line {
    std::string stored;         // the bytes of the line as in the file, line break included
    std::u16string line_break;  // "\r\n", "\n", or empty on a last line without one
    LineKind kind = LineKind::kOther;
    bool blank = false;    // nothing but blanks before the line break
    std::u16string name;   // a section's name or an entry's key, trimmed
    std::u16string value;  // an entry's text after the "="
  };

  Line MakeLine(std::u16string_view text) const;
  // The index of the first section header called `section`, or nothing.
  std::optional<std::size_t> FindSection(std::u16string_view section) const;
  // The index of the entry `key` in the section that begins at `header`, or nothing.
  std::optional<std::size_t> FindEntry(std::size_t header, std::u16string_view key) const;
  // A line made by the program: its text and the line break it ends with.
  Line MakeStoredLine(std::u16string_view text, std::u16string_view line_break) const;
  void InsertLine(std::size_t index, std::u16string_view text);

  ProfileEncoding encoding_ = ProfileEncoding::kEightBit;
  std::string byte_order_mark_;
  std::u16string line_break_;  // the break new lines get: the file's own, CR LF for a new one
  std::vector<Line> lines_;
};

}  // namespace settings
