// Bounded blocking socket calls that end when their bound says, not up to an eighth later.
// Linux keeps long time-outs on a coarse timer wheel and lets them expire at the end of a slot
// (at 21 s a slot is 512 ticks, 2 s at 250 Hz), so a 21 s connect time-out ended up to 2 s late.
// A long wait is therefore made of shorter blocking calls: each covers three quarters of the
// time left, and only the last second is waited for in one call. Windows timers are exact, and
// a receive that timed out leaves a Windows socket unusable, so there one call waits it all.
#pragma once

#include <chrono>
#include <optional>

#include "queueclient/client_limits.h"
#include "queueclient/socket/socket.h"

namespace queue {

using WaitClock = std::chrono::steady_clock;

// The milliseconds from now to `end`, rounded up; 0 once `end` has passed.
int MillisecondsLeft(WaitClock::time_point end);

// The wait of one blocking call, or of a call repeated until it completes, toward `end`.
class SlicedWait {
 public:
  explicit SlicedWait(WaitClock::time_point end) : end_(end) {}

  // The socket time-out for the next blocking call, in milliseconds; 0 when `end` has passed.
  int NextTimeoutMs();
  // Whether the call given the last time-out waits until `end`: when it times out, the whole
  // wait has. An earlier call that times out is repeated with the next time-out.
  bool final_slice() const { return final_slice_; }

 private:
  WaitClock::time_point end_;
  bool final_slice_ = true;
};

// The bounds of every receive on one connection: none waits longer than `per_receive_ms` for
// data, and none goes past the deadline (the end of a press or of a TLS handshake) when one is
// set.
struct ReceiveBounds {
  int per_receive_ms = kReadTimeoutMs;
  std::optional<WaitClock::time_point> deadline;

  // When a receive that starts now must end.
  WaitClock::time_point EndOfReceive() const;
};

// One time-out option of a socket (the receive or the send time-out) and the value it has now,
// so that it is set only when it changes: a press that ends well inside its bounds makes no
// system call for it beyond the first.
class SocketTimeout {
 public:
  enum class Option { kReceive, kSend };
  explicit SocketTimeout(Option option) : option_(option) {}
  // Sets the option to `timeout_ms` unless it has that value; returns 0, or the socket error.
  int Set(const Socket& socket, int timeout_ms);

 private:
  Option option_;
  int current_ms_ = 0;  // 0: not set by us yet
};

}  // namespace queue
