// The bounded receive on POSIX systems: a blocking receive under the socket's receive time-out.
#include <climits>

#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_errors.h"
#include "queueclient/socket/socket_platform.h"
#include "queueclient/socket/socket_receive.h"

namespace queue {

ReceiveOutcome ReceiveWithin(const Socket& socket, SocketTimeout& receive_timeout,
                             WaitClock::time_point end, char* buffer, std::size_t capacity) {
  using Status = ReceiveOutcome::Status;
  const int length = static_cast<int>(capacity < INT_MAX ? capacity : INT_MAX);
  SlicedWait wait(end);
  for (;;) {
    const int timeout_ms = wait.NextTimeoutMs();
    if (timeout_ms == 0) return {Status::kTimedOut};
    if (const int error = receive_timeout.Set(socket, timeout_ms)) {
      return {Status::kFailed, 0, error};
    }
    const auto received = ::recv(socket.handle(), buffer, length, 0);
    if (received >= 0) return {Status::kReceived, static_cast<std::size_t>(received)};
    if (InterruptedBySignal()) continue;
    const int error = LastSocketError();
    // POSIX reports an expired receive time-out as "would block".
    if (error != wsa::kWouldBlock) return {Status::kFailed, 0, error};
    // A time-out before the last slice of the wait only ends that slice.
    if (wait.final_slice()) return {Status::kTimedOut};
  }
}

}  // namespace queue
