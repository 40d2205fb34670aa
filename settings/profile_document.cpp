// The settings file as a list of lines.
#include "settings/profile_document.h"

#include "queueclient/text.h"

namespace settings {
namespace {

// The line break of the format; a file that uses bare LF keeps getting LF.
constexpr std::u16string_view kDefaultLineBreak = u"\r\n";

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

std::u16string_view TrimBlanks(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Splits stored bytes into lines of whole code units, each with its line feed (if any).
std::vector<std::string_view> SplitStoredLines(std::string_view bytes, ProfileEncoding encoding) {
  const std::size_t unit = CodeUnitBytes(encoding);
  const std::string line_feed = EncodeProfileLine(u"\n", encoding);
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t pos = 0; pos + unit <= bytes.size(); pos += unit) {
    if (bytes.substr(pos, unit) == line_feed) {
      lines.push_back(bytes.substr(start, pos + unit - start));
      start = pos + unit;
    }
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

}  // namespace

ProfileDocument::ProfileDocument() : line_break_(kDefaultLineBreak) {}

ProfileDocument ProfileDocument::Parse(std::string_view bytes) {
  ProfileDocument document;
  const std::string_view mark = ByteOrderMarkOf(bytes);
  document.encoding_ = EncodingOfMark(mark);
  document.byte_order_mark_ = mark;
  bytes.remove_prefix(mark.size());
  bool line_break_known = false;
  for (std::string_view stored : SplitStoredLines(bytes, document.encoding_)) {
    const std::u16string text = DecodeProfileLine(stored, document.encoding_);
    std::u16string_view content = text;
    std::u16string_view line_break;
    if (content.ends_with(u"\r\n")) {
      line_break = u"\r\n";
    } else if (content.ends_with(u'\n')) {
      line_break = u"\n";
    }
    content.remove_suffix(line_break.size());
    if (!line_break_known && !line_break.empty()) {
      document.line_break_ = line_break;
      line_break_known = true;
    }
    Line line = document.MakeLine(content);
    line.stored = stored;
    line.line_break = line_break;
    document.lines_.push_back(std::move(line));
  }
  return document;
}

ProfileDocument::Line ProfileDocument::MakeLine(std::u16string_view text) const {
  Line line;
  const std::u16string_view trimmed = TrimBlanks(text);
  line.blank = trimmed.empty();
  if (trimmed.starts_with(u'[')) {
    std::u16string_view name = trimmed.substr(1);
    name = name.substr(0, name.find(u']'));
    line.kind = LineKind::kSection;
    line.name = TrimBlanks(name);
  } else if (!trimmed.starts_with(u';') && !trimmed.starts_with(u'#')) {
    const std::size_t equals = trimmed.find(u'=');
    if (equals != std::u16string_view::npos) {
      line.kind = LineKind::kEntry;
      line.name = TrimBlanks(trimmed.substr(0, equals));
      line.value = trimmed.substr(equals + 1);
    }
  }
  return line;
}

std::optional<std::size_t> ProfileDocument::FindSection(std::u16string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == LineKind::kSection && queue::EqualsIgnoreCase(lines_[i].name, section)) {
      return i;
    }
  }
  return std::nullopt;
}

std::optional<std::size_t> ProfileDocument::FindEntry(std::size_t header,
                                                      std::u16string_view key) const {
  for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != LineKind::kSection; ++i) {
    if (lines_[i].kind == LineKind::kEntry && queue::EqualsIgnoreCase(lines_[i].name, key)) {
      return i;
    }
  }
  return std::nullopt;
}

std::optional<std::u16string> ProfileDocument::Find(std::u16string_view section,
                                                    std::u16string_view key) const {
  const std::optional<std::size_t> header = FindSection(section);
  if (!header) return std::nullopt;
  const std::optional<std::size_t> entry = FindEntry(*header, key);
  if (!entry) return std::nullopt;
  return lines_[*entry].value;
}

void ProfileDocument::InsertLine(std::size_t index, std::u16string_view text) {
  // A last line without a line break gets one, so that the new line stands on its own.
  if (index > 0 && index == lines_.size() && lines_[index - 1].line_break.empty()) {
    // A cut UTF-16 file ends in half a code unit, which no read sees; kept, it would shift
    // every line after it by one byte.
    std::string& last = lines_[index - 1].stored;
    if (last.size() % CodeUnitBytes(encoding_) != 0) last.pop_back();
    // A bare CR that ends the file belongs to the last value; an LF after it would turn it
    // into a CR LF line break and take it away.
    const std::u16string_view line_break =
        DecodeProfileLine(last, encoding_).ends_with(u'\r') ? kDefaultLineBreak : line_break_;
    last += EncodeProfileLine(line_break, encoding_);
    lines_[index - 1].line_break = line_break;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index),
                MakeStoredLine(text, line_break_));
}

ProfileDocument::Line ProfileDocument::MakeStoredLine(std::u16string_view text,
                                                      std::u16string_view line_break) const {
  Line line = MakeLine(text);
  std::u16string stored_text(text);
  stored_text += line_break;
  line.stored = EncodeProfileLine(stored_text, encoding_);
  line.line_break = line_break;
  return line;
}

void ProfileDocument::Set(std::u16string_view section, std::u16string_view key,
                          std::u16string_view value) {
  std::u16string entry_text(key);
  entry_text += u'=';
  entry_text += value;
  const std::optional<std::size_t> header = FindSection(section);
  if (!header) {
    // A blank line keeps the new section apart from whatever the file holds already.
    if (!lines_.empty() && !lines_.back().blank) InsertLine(lines_.size(), u"");
    std::u16string header_text = u"[";
    header_text += section;
    header_text += u']';
    InsertLine(lines_.size(), header_text);
    InsertLine(lines_.size(), entry_text);
    return;
  }
  if (const std::optional<std::size_t> entry = FindEntry(*header, key)) {
    Line& line = lines_[*entry];
    std::u16string text = line.name;
    text += u'=';
    text += value;
    const std::u16string line_break = line.line_break;
    line = MakeStoredLine(text, line_break);
    return;
  }
  std::size_t insert_at = *header + 1;
  for (std::size_t i = *header + 1; i < lines_.size() && lines_[i].kind != LineKind::kSection;
       ++i) {
    if (lines_[i].kind == LineKind::kEntry) insert_at = i + 1;
  }
  InsertLine(insert_at, entry_text);
}

std::string ProfileDocument::Serialize() const {
  std::string bytes = byte_order_mark_;
  for (const Line& line : lines_) bytes += line.stored;
  return bytes;
}

}  // namespace settings
