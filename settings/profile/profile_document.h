// The settings file as lines, with the lookup and update rules of the INI format: sections
// and keys matched ignoring case, a write that touches one line (or adds one or two) and
// leaves every other byte of the file as it was.
//
// Lines end in CR LF, LF or a CR alone (a file may mix them). "[name]" begins a section
// (blanks around the brackets and the name are allowed); "key=value" is an entry of the
// section above it; a line whose first non-blank character is ";" is a comment; any other line
// is kept and ignored. When a section name or a key occurs twice, the first occurrence is the
// one that is read and written.
//
// The document is the file's bytes and nothing more: a lookup or an update walks the lines and
// decodes one at a time, so a large file costs its own size (and its new size while a write
// builds it), not a copy per line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "settings/profile/profile_encoding.h"

namespace settings {

class ProfileDocument {
 public:
  // An empty document, which becomes a new 8-bit file.
  ProfileDocument() = default;
  // The document held by a file's bytes, which it takes over. Never fails.
  static ProfileDocument Parse(std::string bytes);

  // The value of a key as it stands after the "=" on its line, untrimmed; nothing when the
  // section or the key is missing.
  std::optional<std::u16string> Find(std::u16string_view section, std::u16string_view key) const;

  // Replaces the value on the key's line, or adds the key at the end of its section's
  // entries, or adds the section with the key at the end of the file. A replaced line keeps
  // its key as it was spelled, and its line break.
  void Set(std::u16string_view section, std::u16string_view key, std::u16string_view value);

  // The file's bytes: its byte-order mark, then every line as stored.
  const std::string& Serialize() const { return bytes_; }

  ProfileEncoding encoding() const { return encoding_; }

 private:
  // One line as byte offsets into the file: [begin, content_end) is its text,
  // [content_end, end) its line break (empty on a last line without one).
  struct LineSpan {
    std::size_t begin = 0;
    std::size_t content_end = 0;
    std::size_t end = 0;
  };
  enum class LineKind { kOther, kSection, kEntry };
  // A line decoded. The name and the value are kept as places in the text, so that the value
  // of every line passed over is never copied.
  struct LineMeaning {
    LineKind kind = LineKind::kOther;
    std::u16string text;
    std::size_t name_begin = 0;  // a section's name or an entry's key, trimmed
    std::size_t name_size = 0;
    std::size_t value_begin = 0;  // an entry's text after the "=", to the trimmed line's end
    std::size_t value_size = 0;
    std::u16string_view name() const {
      return std::u16string_view(text).substr(name_begin, name_size);
    }
    std::u16string_view value() const {
      return std::u16string_view(text).substr(value_begin, value_size);
    }
  };
  // Where a key of a section stands, or would be added.
  struct Place {
    std::optional<std::size_t> header_end;  // the end of the section's header line
    std::optional<LineSpan> entry;          // the key's line
    std::u16string entry_key;               // its key as spelled, trimmed
    std::u16string entry_value;             // its text after the "="
    std::size_t insert_at = 0;              // after the section's last entry, or its header
  };

  // The code unit that begins at byte `pos` (the byte itself in 8-bit text).
  char16_t UnitAt(std::size_t pos) const;
  // The line that begins at byte `begin` (which is below the file's size).
  LineSpan LineAt(std::size_t begin) const;
  LineMeaning Meaning(const LineSpan& line) const;
  Place Locate(std::u16string_view section, std::u16string_view key) const;
  // The line break of the file's first line, CR LF when it has none.
  std::u16string_view NewLineBreak() const;
  // Inserts the lines `text` at byte `pos`; at the end of a file whose last line has no line
  // break, one is put before them.
  void InsertLines(std::size_t pos, std::u16string_view text);
  // Replaces the bytes [begin, end) with `replacement`, reallocating at most once.
  void Splice(std::size_t begin, std::size_t end, std::string_view replacement);

  ProfileEncoding encoding_ = ProfileEncoding::kEightBit;
  std::size_t mark_size_ = 0;  // the byte-order mark at the start of bytes_
  std::string bytes_;
};

}  // namespace settings
