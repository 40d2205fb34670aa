// The bounded receive on Windows: the client's sockets are non-blocking once connected, so a
// receive that finds nothing waits in a poll bounded by the time left. A receive that finds its
// bytes waiting costs one call.
#include <climits>

#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_errors.h"
#include "queueclient/socket/socket_platform.h"
#include "queueclient/socket/socket_receive.h"

namespace queue {
namespace {

using Status = ReceiveOutcome::Status;

// The receive after a poll that reported an error on the connection. A peer's graceful close
// never raises POLLERR, so a receive that reports a plain end here (Wine hands the reset to the
// poll and not to the receive that follows) is a reset all the same.
ReceiveOutcome ReceiveAfterError(const Socket& socket, char* buffer, int length) {
  const int received = ::recv(socket.handle(), buffer, length, 0);
  if (received > 0) return {Status::kReceived, static_cast<std::size_t>(received)};
  if (received < 0) {
    const int error = LastSocketError();
    if (error != wsa::kWouldBlock) return {Status::kFailed, 0, error};
  }
  return {Status::kFailed, 0, wsa::kConnectionReset};
}

}  // namespace

ReceiveOutcome ReceiveWithin(const Socket& socket, SocketTimeout& /*receive_timeout*/,
                             WaitClock::time_point end, char* buffer, std::size_t capacity) {
  const int length = static_cast<int>(capacity < INT_MAX ? capacity : INT_MAX);
  for (;;) {
    const int received = ::recv(socket.handle(), buffer, length, 0);
    if (received >= 0) return {Status::kReceived, static_cast<std::size_t>(received)};
    const int error = LastSocketError();
    if (error != wsa::kWouldBlock) return {Status::kFailed, 0, error};
    const int timeout_ms = MillisecondsLeft(end);
    if (timeout_ms == 0) return {Status::kTimedOut};
    WSAPOLLFD polled{static_cast<SOCKET>(socket.handle()), POLLIN, 0};
    const int ready = ::WSAPoll(&polled, 1, timeout_ms);
    if (ready < 0) return {Status::kFailed, 0, LastSocketError()};
    if (ready == 0) return {Status::kTimedOut};
    if ((polled.revents & POLLERR) != 0) return ReceiveAfterError(socket, buffer, length);
    // Readable, or closed by the peer: the next receive tells which.
  }
}

}  // namespace queue
