// A channel over bytes in memory, for tests, fuzzers and benchmarks of the response reading:
// each receive hands out at most one scripted segment, then the scripted end follows.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "queueclient/socket/channel.h"

namespace queue {

class MemoryChannel : public Channel {
 public:
  // What a receive meets after the last segment.
  enum class End {
    kClose,    // the peer's orderly close: 0 bytes
    kReset,    // a connection reset: socket failure 10054
    kTimeout,  // no more data: "Read timed out."
  };

  explicit MemoryChannel(std::vector<std::string> segments, End end = End::kClose);

  std::size_t Receive(char* buffer, std::size_t capacity) override;
  void SendAll(std::string_view bytes) override;
  // Bytes in memory never keep a receive waiting.
  void SetDeadline(std::chrono::steady_clock::time_point) override {}
  bool WaitReadable(int timeout_ms) override;
  void Close() noexcept override;

  const std::string& sent() const { return sent_; }
  bool closed() const { return closed_; }
  // Starts over with the same segments (for benchmarks that read the same bytes again).
  void Rewind();

 private:
  std::vector<std::string> segments_;
  End end_;
  std::size_t segment_ = 0;
  std::size_t offset_ = 0;
  std::string sent_;
  bool closed_ = false;
};

}  // namespace queue
