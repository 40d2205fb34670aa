// What the fuzz targets share: a fixed cookie clock, the cut of one input into the segments a
// memory channel hands out, and a check that stops the run with a message when a property of
// the code under test does not hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "queueclient/cookies/cookie_time.h"

namespace fuzz {

// A property of the code under test that failed: libFuzzer keeps the input that did it.
inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

// "Now" is a fixed whole second, so that dates written with one-second precision read back
// equal; local time is UTC.
class FixedClock final : public queue::CookieClock {
 public:
  queue::DateTime Now() const override { return queue::MakeDateTime(2024, 5, 1, 12, 0, 0); }
  int UtcOffsetMinutes() const override { return 0; }
};

// Takes the input apart from the front: single control bytes, then the rest.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}

  std::uint8_t Byte() {
    if (rest_.empty()) return 0;
    const auto byte = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return byte;
  }
  // The bytes up to the next `separator` (which is consumed), or all that is left.
  std::string_view Until(char separator) {
    const std::size_t end = rest_.find(separator);
    const std::string_view piece = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return piece;
  }
  std::string_view Rest() {
    const std::string_view rest = rest_;
    rest_ = {};
    return rest;
  }

 private:
  std::string_view rest_;
};

// `bytes` cut into segments of `step` bytes (one segment when `step` is 0), as a socket may
// deliver them.
inline std::vector<std::string> Segments(std::string_view bytes, std::size_t step) {
  if (step == 0) return {std::string(bytes)};
  std::vector<std::string> segments;
  for (std::size_t at = 0; at < bytes.size(); at += step) {
    segments.emplace_back(bytes.substr(at, step));
  }
  return segments;
}

}  // namespace fuzz
