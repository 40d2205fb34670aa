// The list's type-ahead prefix.
#include "core/type_ahead.h"

namespace queue {

const std::u16string& TypeAheadPrefix::Add(char16_t c, std::int64_t now_ms) {
  if (prefix_.empty() || now_ms - last_ms_ >= kTypeAheadGapMs || now_ms < last_ms_) prefix_.clear();
  prefix_ += c;
  last_ms_ = now_ms;
  return prefix_;
}

}  // namespace queue
