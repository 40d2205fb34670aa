// The input buffer over a channel: received bytes not yet consumed, and the reads the response
// reading is made of (line, the buffered bytes, more bytes, pending-data check).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "queueclient/socket/channel.h"

namespace queue {

// Bytes asked for per receive.
inline constexpr std::size_t kReceiveSize = 32768;
// Longest line accepted, counted in bytes before its LF (a CR before the LF included).
inline constexpr std::size_t kMaxLineLength = 16384;

// What a close by the peer means where a read meets it.
enum class CloseMeans {
  kFailure,  // the connection-closed failure: the read needed more than arrived
  kEnd,      // the end of what is read: what arrived stands
};

class BufferedReader {
 public:
  explicit BufferedReader(Channel& channel) : channel_(channel) {}

  // Reads up to the next LF, consumes it and returns the bytes before it without one CR
  // directly before the LF. Throws the line-too-long failure once more than kMaxLineLength
  // bytes stand before the LF, and the connection-closed failure when the peer closes before
  // the LF (the bytes of the unfinished line stay buffered).
  std::string ReadLine();
  // The same, but a close by the peer before the LF ends the reading instead: nothing is
  // returned then (the bytes of the unfinished line stay buffered).
  std::optional<std::string> ReadLineOrEnd();
  // ReadLine for kFailure, ReadLineOrEnd for kEnd.
  std::optional<std::string> ReadLine(CloseMeans close);

  // The received bytes not yet consumed.
  std::string_view Buffered() const {
    return std::string_view(buffer_.get() + start_, end_ - start_);
  }
  // Consumes the first `count` buffered bytes (at most all of them).
  void Consume(std::size_t count);

  // Receives once more into the buffer. Returns false when the peer has closed (then or
  // earlier). A reset, abort or shutdown counts as a close when `reset_is_close` is true or
  // when unconsumed bytes are buffered; without them it is thrown as its socket failure.
  bool Fill(bool reset_is_close = false);

  // Whether at least one unconsumed byte is buffered or arrives within `timeout_ms`.
  bool HasPendingData(int timeout_ms);
  // Tests without waiting whether the peer has closed the connection; a byte that arrived
  // unasked is buffered, not lost.
  bool PeerHasClosed();

  bool peer_closed() const { return peer_closed_; }
  // Drops the buffered bytes (before a connection is reused or after it is closed).
  void DiscardBuffered();

 private:
  Channel& channel_;
  // Storage, never cleared (a fresh reader per connection would else clear 32 KiB a press);
  // only [start_, end_) holds received bytes.
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t start_ = 0;  // first unconsumed byte
  std::size_t end_ = 0;    // one past the last received byte
  bool peer_closed_ = false;
};

}  // namespace queue
