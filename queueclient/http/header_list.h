// The header list of a response: header lines in arrival order, looked up by name without
// regard to case, with continuation lines unfolded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace queue {

// Lines a header list keeps (a response's head and trailers together, or the meta elements of
// a body); later lines are dropped, so a hostile server cannot grow the list without bound while
// the lines it needs for framing, which come first in any real response, still count.
inline constexpr std::size_t kMaxHeaderLines = 255;

class HeaderList {
 public:
  // Appends one received line (line end already removed); dropped once the list holds
  // kMaxHeaderLines lines.
  void Append(std::u16string line);
  void Clear();
  bool empty() const { return lines_.empty(); }
  const std::vector<std::u16string>& lines() const { return lines_; }

  // The unfolded value of the first line named `name`, or empty when there is none.
  std::u16string Value(std::u16string_view name) const;
  // Whether a line named `name` exists.
  bool Has(std::u16string_view name) const;
  // The unfolded values of every line named `name`, in arrival order.
  std::vector<std::u16string> Values(std::u16string_view name) const;
  // Replaces the first line named `name` (with its continuation lines) by "name: value",
  // or appends that line when there is none (and the list is not full).
  void Set(std::u16string_view name, std::u16string_view value);

  // The name of a line: its text before the first ":", not trimmed (empty without ":").
  static std::u16string_view NameOf(std::u16string_view line);

 private:
  std::vector<std::u16string> lines_;
};

}  // namespace queue
