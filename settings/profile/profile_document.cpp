// The settings file as lines.
#include "settings/profile/profile_document.h"

#include <algorithm>
#include <cstdint>

#include "core/text.h"

namespace settings {
namespace {

// The line break of the format, for a file that has none of its own yet. A file whose first
// line ends in a bare LF (or a bare CR) keeps getting that.
constexpr std::u16string_view kDefaultLineBreak = u"\r\n";

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

std::u16string_view TrimBlanks(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::string bytes) {
  ProfileDocument document;
  const std::string_view mark = ByteOrderMarkOf(bytes);
  document.encoding_ = EncodingOfMark(mark);
  document.mark_size_ = mark.size();
  document.bytes_ = std::move(bytes);
  return document;
}

char16_t ProfileDocument::UnitAt(std::size_t pos) const {
  const auto first = static_cast<std::uint8_t>(bytes_[pos]);
  switch (encoding_) {
    case ProfileEncoding::kUtf16LittleEndian:
      return static_cast<char16_t>(static_cast<std::uint8_t>(bytes_[pos + 1]) << 8 | first);
    case ProfileEncoding::kUtf16BigEndian:
      return static_cast<char16_t>(first << 8 | static_cast<std::uint8_t>(bytes_[pos + 1]));
    case ProfileEncoding::kEightBit:
      break;
  }
  return first;
}

ProfileDocument::LineSpan ProfileDocument::LineAt(std::size_t begin) const {
  const std::size_t size = bytes_.size();
  const std::size_t unit = CodeUnitBytes(encoding_);
  std::size_t pos = begin;
  if (encoding_ == ProfileEncoding::kEightBit) {
    // CR and LF never occur inside a UTF-8 sequence or as a Windows-1251 letter.
    pos = std::min(bytes_.find_first_of("\r\n", begin), size);
  } else {
    while (pos + unit <= size && UnitAt(pos) != u'\r' && UnitAt(pos) != u'\n') pos += unit;
    if (pos + unit > size) pos = size;  // a cut last unit belongs to the text
  }
  if (pos == size) return {begin, size, size};
  std::size_t end = pos + unit;
  if (UnitAt(pos) == u'\r' && end + unit <= size && UnitAt(end) == u'\n') end += unit;
  return {begin, pos, end};
}

ProfileDocument::LineMeaning ProfileDocument::Meaning(const LineSpan& line) const {
  LineMeaning meaning;
  meaning.text = DecodeProfileLine(
      std::string_view(bytes_).substr(line.begin, line.content_end - line.begin), encoding_);
  const std::u16string_view text = meaning.text;
  const std::u16string_view trimmed = TrimBlanks(text);
  const auto place_of = [&text](std::u16string_view part) {
    return static_cast<std::size_t>(part.data() - text.data());
  };
  std::u16string_view name;
  if (trimmed.starts_with(u'[')) {
    name = trimmed.substr(1);
    name = TrimBlanks(name.substr(0, name.find(u']')));
    meaning.kind = LineKind::kSection;
  } else if (!trimmed.starts_with(u';')) {
    const std::size_t equals = trimmed.find(u'=');
    if (equals == std::u16string_view::npos) return meaning;
    name = TrimBlanks(trimmed.substr(0, equals));
    const std::u16string_view value = trimmed.substr(equals + 1);
    meaning.kind = LineKind::kEntry;
    meaning.value_begin = place_of(value);
    meaning.value_size = value.size();
  }
  meaning.name_begin = name.empty() ? 0 : place_of(name);
  meaning.name_size = name.size();
  return meaning;
}

ProfileDocument::Place ProfileDocument::Locate(std::u16string_view section,
                                               std::u16string_view key) const {
  Place place;
  place.insert_at = bytes_.size();
  for (std::size_t pos = mark_size_; pos < bytes_.size();) {
    const LineSpan line = LineAt(pos);
    pos = line.end;
    const LineMeaning meaning = Meaning(line);
    if (meaning.kind == LineKind::kSection) {
      if (place.header_end) break;  // the first section of that name has ended
      if (queue::EqualsIgnoreCase(meaning.name(), section)) {
        place.header_end = line.end;
        place.insert_at = line.end;
      }
    } else if (place.header_end && meaning.kind == LineKind::kEntry) {
      if (queue::EqualsIgnoreCase(meaning.name(), key)) {
        place.entry = line;
        place.entry_key = meaning.name();
        place.entry_value = meaning.value();
        break;
      }
      place.insert_at = line.end;
    }
  }
  return place;
}

std::optional<std::u16string> ProfileDocument::Find(std::u16string_view section,
                                                    std::u16string_view key) const {
  Place place = Locate(section, key);
  if (!place.entry) return std::nullopt;
  return std::move(place.entry_value);
}

std::u16string_view ProfileDocument::NewLineBreak() const {
  if (mark_size_ >= bytes_.size()) return kDefaultLineBreak;
  const LineSpan first = LineAt(mark_size_);
  const std::size_t units = (first.end - first.content_end) / CodeUnitBytes(encoding_);
  if (units == 0) return kDefaultLineBreak;
  if (units == 2) return u"\r\n";
  return UnitAt(first.content_end) == u'\r' ? u"\r" : u"\n";
}

void ProfileDocument::InsertLines(std::size_t pos, std::u16string_view text) {
  std::string added;
  if (pos == bytes_.size()) {
    const std::size_t unit = CodeUnitBytes(encoding_);
    // A cut UTF-16 file ends in half a code unit, which no read sees; kept, it would shift
    // every line after it by one byte.
    if ((bytes_.size() - mark_size_) % unit != 0) bytes_.pop_back();
    pos = bytes_.size();
    // A last line without a line break gets one, so that the new lines stand on their own.
    if (pos > mark_size_ && UnitAt(pos - unit) != u'\r' && UnitAt(pos - unit) != u'\n') {
      added = EncodeProfileLine(NewLineBreak(), encoding_);
    }
  }
  added += EncodeProfileLine(text, encoding_);
  Splice(pos, pos, added);
}

void ProfileDocument::Splice(std::size_t begin, std::size_t end, std::string_view replacement) {
  const std::size_t new_size = bytes_.size() - (end - begin) + replacement.size();
  if (new_size <= bytes_.capacity()) {
    bytes_.replace(begin, end - begin, replacement);
    return;
  }
  // Built at its exact size: a grown string would reserve up to twice the file again.
  std::string spliced;
  spliced.reserve(new_size);
  spliced.append(bytes_, 0, begin);
  spliced.append(replacement);
  spliced.append(bytes_, end);
  bytes_ = std::move(spliced);
}

void ProfileDocument::Set(std::u16string_view section, std::u16string_view key,
                          std::u16string_view value) {
  const Place place = Locate(section, key);
  if (place.entry) {
    std::u16string text = place.entry_key;
    text += u'=';
    text += value;
    Splice(place.entry->begin, place.entry->content_end, EncodeProfileLine(text, encoding_));
    return;
  }
  const std::u16string_view line_break = NewLineBreak();
  std::u16string lines;
  if (!place.header_end) {
    // A new section follows the last line directly, with no blank line of its own.
    lines = u"[";
    lines += section;
    lines += u']';
    lines += line_break;
  }
  lines += key;
  lines += u'=';
  lines += value;
  lines += line_break;
  InsertLines(place.insert_at, lines);
}

}  // namespace settings
