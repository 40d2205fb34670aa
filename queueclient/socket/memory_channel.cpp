// The in-memory channel.
#include "queueclient/socket/memory_channel.h"

#include <algorithm>
#include <cstring>

#include "queueclient/failure.h"
#include "queueclient/socket/socket_error_numbers.h"

namespace queue {

MemoryChannel::MemoryChannel(std::vector<std::string> segments, End end)
    : segments_(std::move(segments)), end_(end) {}

std::size_t MemoryChannel::Receive(char* buffer, std::size_t capacity) {
  while (segment_ < segments_.size() && offset_ == segments_[segment_].size()) {
    ++segment_;
    offset_ = 0;
  }
  if (segment_ == segments_.size()) {
    switch (end_) {
      case End::kClose:
        return 0;
      case End::kReset:
        throw SocketFailure(wsa::kConnectionReset);
      case End::kTimeout:
        throw Failure(ClientFailure::kReadTimeout);
    }
  }
  const std::string& segment = segments_[segment_];
  const std::size_t count = std::min(capacity, segment.size() - offset_);
  std::memcpy(buffer, segment.data() + offset_, count);
  offset_ += count;
  return count;
}

void MemoryChannel::SendAll(std::string_view bytes) {
  sent_ += bytes;
}

bool MemoryChannel::WaitReadable(int) {
  bool data_left = false;
  for (std::size_t i = segment_; i < segments_.size() && !data_left; ++i) {
    data_left = segments_[i].size() > (i == segment_ ? offset_ : 0);
  }
  return data_left || end_ != End::kTimeout;
}

void MemoryChannel::Close() noexcept {
  closed_ = true;
}

void MemoryChannel::Rewind() {
  segment_ = 0;
  offset_ = 0;
}

}  // namespace queue
