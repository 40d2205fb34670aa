// The bounded connect on Windows.
#include "queueclient/failure.h"
#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_errors.h"
#include "queueclient/socket/socket_platform.h"
#include "queueclient/socket/tcp_connect.h"

namespace queue {

// A Windows connect ignores the send time-out, so it runs non-blocking and is awaited. The socket
// stays non-blocking afterwards: every later wait on it is a poll with its own bound, which costs
// fewer calls than switching back and setting the time-out options.
void ConnectWithin(const Socket& socket, const SocketAddress& address,
                   WaitClock::time_point deadline) {
  const int timeout_ms = MillisecondsLeft(deadline);
  SetNonBlocking(socket.handle(), true);
  const int error = ConnectOnce(socket, address);
  if (error == 0) return;
  if (error != wsa::kWouldBlock && error != wsa::kInProgress) throw SocketFailure(error);
  // select, not WSAPoll: WSAPoll never reports a refused connect before Windows 10 (version
  // 2004). select puts a connect that succeeded in the write set and one that failed in the
  // exception set, so only a failure needs the socket asked why.
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(socket.handle(), &writable);
  FD_SET(socket.handle(), &failed);
  timeval bound{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  const int ready = ::select(0, nullptr, &writable, &failed, &bound);
  if (ready < 0) throw SocketFailure(LastSocketError());
  if (ready == 0) throw SocketFailure(wsa::kTimedOut);
  if (FD_ISSET(socket.handle(), &writable) && !FD_ISSET(socket.handle(), &failed)) return;
  const int reason = PendingConnectError(socket);
  // A failed connect whose reason the system no longer holds is still a failed connect.
  throw SocketFailure(reason != 0 ? reason : wsa::kConnectionRefused);
}

}  // namespace queue
