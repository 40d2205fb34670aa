// A connected byte channel under the response reader: a TCP socket, TLS over one, or (in tests
// and fuzzers) bytes in memory. Parsing never touches a socket directly, only this interface.
#pragma once

#include <chrono>
#include <cstddef>
#include <string_view>

namespace queue {

class Channel {
 public:
  virtual ~Channel() = default;

  // Receives up to `capacity` bytes into `buffer` and returns how many arrived; 0 means the
  // peer closed the connection in order. Throws a Failure for a socket error (SocketFailure,
  // numbered as Windows Sockets numbers it), for a read that got no data within the channel's
  // bound ("Read timed out.") and for a TLS library error.
  virtual std::size_t Receive(char* buffer, std::size_t capacity) = 0;

  // Sends every byte, repeating partial sends; throws a Failure on error.
  virtual void SendAll(std::string_view bytes) = 0;

  // From now on no receive waits past `deadline`: one that would fails "Read timed out." as
  // the per-receive bound does. Set for each press, so a press has an end whatever the server
  // sends and however slowly.
  virtual void SetDeadline(std::chrono::steady_clock::time_point deadline) = 0;

  // Whether at least one byte (or the peer's close) can be received within `timeout_ms`
  // milliseconds; 0 tests without waiting.
  virtual bool WaitReadable(int timeout_ms) = 0;

  // Closes the channel (TLS: close notification first, then shutdown for sending and close).
  // Never throws; a closed channel stays closed.
  virtual void Close() noexcept = 0;
};

}  // namespace queue
