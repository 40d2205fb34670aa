// The meta scan of an HTML body: a small state machine over the tags, tolerant of any markup.
#include "queueclient/charset/meta_scan.h"

#include <optional>
#include <string>

#include "queueclient/charset/charset.h"
#include "queueclient/http/buffered_reader.h"

namespace queue {
namespace {

// Where the scan stands in the document.
enum class Place {
  kOutside,  // before the html element
  kHtml,     // inside html, before head, title or body
  kTitle,    // a title directly inside html: nothing after it is recognised
  kHead,     // inside head: meta elements count
};

bool IsBlank(char c) {
  return c == '\0' || c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == ':' || c == '.';
}

bool NameIs(std::string_view name, std::string_view wanted) {
  if (name.size() != wanted.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto lower = [](char c) {
      return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    };
    if (lower(name[i]) != lower(wanted[i])) return false;
  }
  return true;
}

// A cursor over the body's bytes (the body read by the 8-bit decoding, one byte per
// character, so the scan works on the bytes and decodes only the values it keeps).
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  bool PeekIs(char c) const { return !AtEnd() && text_[pos_] == c; }
  void Advance() { ++pos_; }
  void Skip(std::size_t count) { pos_ += count; }
  bool StartsWith(std::string_view what) const { return text_.substr(pos_).starts_with(what); }

  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
  }
  std::string_view Word() {
    const std::size_t start = pos_;
    while (!AtEnd() && IsWordChar(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }
  // Moves past the next occurrence of `what`; to the end when there is none.
  bool SkipPast(std::string_view what) {
    const std::size_t found = text_.find(what, pos_);
    pos_ = found == std::string_view::npos ? text_.size() : found + what.size();
    return found != std::string_view::npos;
  }
  // The text up to the next `c` (not included), moving past that `c`; to the end without it.
  std::string_view UpTo(char c) {
    const std::size_t start = pos_;
    const std::size_t found = text_.find(c, pos_);
    pos_ = found == std::string_view::npos ? text_.size() : found + 1;
    return text_.substr(start, (found == std::string_view::npos ? text_.size() : found) - start);
  }
  // An unquoted value: up to the next space or ">", which stays unread.
  std::string_view UnquotedValue() {
    const std::size_t start = pos_;
    while (!AtEnd() && text_[pos_] != ' ' && text_[pos_] != '>') ++pos_;
    return text_.substr(start, pos_ - start);
  }
  // A value that is either quoted (quotes not included) or a run of word characters.
  std::string_view QuotedOrWord() {
    if (PeekIs('"') || PeekIs('\'')) {
      const char quote = Peek();
      Advance();
      return UpTo(quote);
    }
    return Word();
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// Skips raw text up to "<", blanks, "/" and `name` (a title's or a script's end tag).
void SkipToEndTag(Cursor& cursor, std::string_view name) {
  while (cursor.SkipPast("<")) {
    cursor.SkipBlanks();
    if (!cursor.PeekIs('/')) continue;
    cursor.Advance();
    if (NameIs(cursor.Word(), name)) return;
  }
}

// Appends the bytes of a CONTENT value to the line, one unit each; once the line would outgrow
// the bound of a header line, it is marked too long and nothing more is appended.
void AppendContent(std::string_view value, std::u16string& line, bool& too_long) {
  if (too_long || line.size() + value.size() > kMaxLineLength) {
    too_long = true;
    return;
  }
  line += Decode8Bit(value);
}

// The attributes after http-equiv's value, up to ">": each CONTENT value is appended to the
// line after a space. A quoted CONTENT value that the markup broke with inner quotes
// (content="text/html; charset="utf-8"") gets its continuation appended as well.
void ReadContentAttributes(Cursor& cursor, std::u16string& line, bool& too_long) {
  while (true) {
    cursor.SkipBlanks();
    if (cursor.AtEnd()) return;
    if (cursor.PeekIs('/')) {
      cursor.Advance();
      continue;
    }
    if (cursor.PeekIs('>')) {
      cursor.Advance();
      return;
    }
    const std::string_view name = cursor.Word();
    if (name.empty() && !cursor.PeekIs('=')) {
      cursor.Advance();  // a stray character that begins no attribute
      continue;
    }
    if (!cursor.PeekIs('=')) continue;
    cursor.Advance();
    cursor.SkipBlanks();
    const bool is_content = NameIs(name, "CONTENT");
    if (cursor.PeekIs('"') || cursor.PeekIs('\'')) {
      const char quote = cursor.Peek();
      cursor.Advance();
      const std::string_view value = cursor.UpTo(quote);
      if (!is_content) continue;
      AppendContent(" ", line, too_long);
      AppendContent(value, line, too_long);
      const char after = cursor.Peek();
      if (!cursor.AtEnd() && !IsBlank(after) && after != '/' && after != '>') {
        AppendContent(cursor.UpTo(quote), line, too_long);
      }
    } else {
      const std::string_view value = cursor.UnquotedValue();
      if (!is_content) continue;
      AppendContent(" ", line, too_long);
      AppendContent(value, line, too_long);
    }
  }
}

// A meta element, after its tag name.
void ReadMeta(Cursor& cursor, MetaRecord& meta, std::optional<std::u16string>& charset_element) {
  cursor.SkipBlanks();
  const std::string_view attribute = cursor.Word();
  const bool is_http_equiv = NameIs(attribute, "HTTP-EQUIV");
  if (!is_http_equiv && !NameIs(attribute, "charset")) {
    cursor.SkipPast(">");
    return;
  }
  cursor.SkipBlanks();
  if (!cursor.PeekIs('=')) return;  // not recognised; the scan goes on after the name
  cursor.Advance();
  cursor.SkipBlanks();
  // A line longer than a header line may be is no header line: it is dropped, as a server's
  // header line that long would have failed the response. Kept, it would cost twice its bytes
  // in every copy of the header list it went into.
  const std::string_view raw_value = cursor.QuotedOrWord();
  bool too_long = raw_value.size() > kMaxLineLength;
  const std::u16string value = too_long ? std::u16string() : Decode8Bit(raw_value);
  if (is_http_equiv) {
    std::u16string line = value + u":";
    ReadContentAttributes(cursor, line, too_long);
    if (!too_long) meta.headers.Append(std::move(line));
  } else {
    cursor.SkipPast(">");
    if (too_long) return;
    charset_element = value;
    meta.charset = value;
  }
}

// The tags of the document in order; returns when the scan has nothing more to find.
void ScanTags(Cursor& cursor, MetaRecord& meta, std::optional<std::u16string>& charset_element) {
  Place place = Place::kOutside;
  while (cursor.SkipPast("<")) {
    if (cursor.PeekIs('?')) {
      cursor.Advance();
    } else if (cursor.StartsWith("!--")) {
      cursor.Skip(3);
      cursor.SkipPast("-->");
      continue;
    } else if (cursor.PeekIs('!')) {
      cursor.Advance();
    }
    cursor.SkipBlanks();
    const std::string_view name = cursor.Word();
    switch (place) {
      case Place::kOutside:
        cursor.SkipPast(">");
        if (NameIs(name, "HTML")) place = Place::kHtml;
        break;
      case Place::kHtml:
        cursor.SkipPast(">");
        if (NameIs(name, "TITLE")) place = Place::kTitle;
        if (NameIs(name, "HEAD")) place = Place::kHead;
        if (NameIs(name, "BODY")) return;
        break;
      case Place::kTitle:
        return;  // the rest of the document has no effect
      case Place::kHead:
        if (NameIs(name, "META")) {
          ReadMeta(cursor, meta, charset_element);
        } else if (NameIs(name, "TITLE") || NameIs(name, "SCRIPT")) {
          SkipToEndTag(cursor, name);
        } else if (NameIs(name, "LINK")) {
          cursor.SkipPast(">");
        }
        break;
    }
  }
}

}  // namespace

void ScanHtmlMeta(std::string_view body, MetaRecord& meta) {
  Cursor cursor(body);
  std::optional<std::u16string> charset_element;
  ScanTags(cursor, meta, charset_element);
  if (meta.headers.empty()) return;
  // The http-equiv lines are read like a header block for their Content-Type; a charset
  // element, wherever it stood, has the last word.
  ResponseRecord as_header_block;
  as_header_block.headers = std::move(meta.headers);
  InterpretHeaderBlock(as_header_block);
  meta.headers = std::move(as_header_block.headers);
  meta.charset = charset_element.value_or(as_header_block.charset);
}

}  // namespace queue
