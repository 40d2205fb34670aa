// The header list of a response: lookup by name, unfolding of continuation lines, set by name.
#include "queueclient/http/header_list.h"

#include "core/text.h"

namespace queue {
namespace {

// A line that begins with a space or a tab continues the value of the line before it.
bool IsContinuation(std::u16string_view line) {
  return !line.empty() && (line.front() == u' ' || line.front() == u'\t');
}

bool HasName(std::u16string_view line, std::u16string_view name) {
  const std::size_t colon = line.find(u':');
  return colon != std::u16string_view::npos && EqualsIgnoreCase(line.substr(0, colon), name);
}

}  // namespace

void HeaderList::Append(std::u16string line) {
  if (lines_.size() < kMaxHeaderLines) lines_.push_back(std::move(line));
}

void HeaderList::Clear() {
  lines_.clear();
}

std::u16string_view HeaderList::NameOf(std::u16string_view line) {
  const std::size_t colon = line.find(u':');
  return colon == std::u16string_view::npos ? std::u16string_view{} : line.substr(0, colon);
}

bool HeaderList::Has(std::u16string_view name) const {
  for (const auto& line : lines_) {
    if (HasName(line, name)) return true;
  }
  return false;
}

namespace {

// The value of lines[index] joined with its continuation lines, each piece trimmed and
// the pieces separated by one space.
std::u16string UnfoldedValue(const std::vector<std::u16string>& lines, std::size_t index) {
  std::u16string_view first = lines[index];
  std::u16string value(Trim(first.substr(first.find(u':') + 1)));
  for (std::size_t next = index + 1; next < lines.size() && IsContinuation(lines[next]); ++next) {
    value = std::u16string(TrimRight(value));
    value += u' ';
    value += Trim(lines[next]);
  }
  return std::u16string(Trim(value));
}

}  // namespace

std::u16string HeaderList::Value(std::u16string_view name) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (HasName(lines_[i], name)) return UnfoldedValue(lines_, i);
  }
  return {};
}

std::vector<std::u16string> HeaderList::Values(std::u16string_view name) const {
  std::vector<std::u16string> values;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (HasName(lines_[i], name)) values.push_back(UnfoldedValue(lines_, i));
  }
  return values;
}

void HeaderList::Set(std::u16string_view name, std::u16string_view value) {
  std::u16string line(name);
  line += u": ";
  line += value;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (!HasName(lines_[i], name)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && IsContinuation(lines_[end])) ++end;
    lines_[i] = std::move(line);
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i + 1),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    return;
  }
  Append(std::move(line));
}

}  // namespace queue
