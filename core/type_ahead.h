// The type-ahead of the operator window's list: characters typed less than kTypeAheadGapMs
// apart form a prefix, and the first entry that begins with it (ignoring case) is chosen.
#pragma once

#include <cstdint>
#include <string>

namespace queue {

inline constexpr std::int64_t kTypeAheadGapMs = 500;

class TypeAheadPrefix {
 public:
  // Adds `c`, typed at `now_ms` (any steady clock in milliseconds), and returns the prefix:
  // `c` alone when the previous character is kTypeAheadGapMs or more ago.
  const std::u16string& Add(char16_t c, std::int64_t now_ms);

 private:
  std::u16string prefix_;
  std::int64_t last_ms_ = 0;
};

}  // namespace queue
