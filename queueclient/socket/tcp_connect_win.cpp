// The bounded connect on Windows.
#include "queueclient/failure.h"
#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_platform.h"
#include "queueclient/socket/tcp_connect.h"

namespace queue {

// WSAPoll never reports a refused connect on Windows before 10 (version 2004); select reports
// it in the exception set.
int WaitForConnect(const Socket& socket, int timeout_ms) {
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(socket.handle(), &writable);
  FD_SET(socket.handle(), &failed);
  timeval bound{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  return ::select(0, nullptr, &writable, &failed, &bound);
}

// A Windows connect ignores the send time-out, so it runs non-blocking and is awaited.
void ConnectWithin(const Socket& socket, const SocketAddress& address,
                   WaitClock::time_point deadline) {
  const int timeout_ms = MillisecondsLeft(deadline);
  SetNonBlocking(socket.handle(), true);
  const int error = ConnectOnce(socket, address);
  if (error != 0) {
    if (error != wsa::kWouldBlock && error != wsa::kInProgress) throw SocketFailure(error);
    FinishConnect(socket, timeout_ms);
  }
  SetNonBlocking(socket.handle(), false);
}

}  // namespace queue
