// The bounded connect on POSIX systems.
#include "queueclient/failure.h"
#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_errors.h"
#include "queueclient/socket/socket_platform.h"
#include "queueclient/socket/tcp_connect.h"

namespace queue {

namespace {

// Waits for a connect that goes on in the background to finish and throws the failure it ended
// with; a connect still pending after the bound fails as the system's own give-up would.
void FinishConnect(const Socket& socket, int timeout_ms) {
  const int ready = PollSocket(socket.handle(), POLLOUT, timeout_ms);
  if (ready < 0) throw SocketFailure(LastSocketError());
  if (ready == 0) throw SocketFailure(wsa::kTimedOut);
  if (const int error = PendingConnectError(socket)) throw SocketFailure(error);
}

}  // namespace

// A blocking connect gives up with "operation in progress" once the send time-out expires, so
// the bound costs one option on the socket instead of toggling non-blocking mode and polling.
// A connect repeated on a socket whose connect is still going on waits for it again ("already in
// progress" when that wait ends too), which is how the wait is cut into slices.
void ConnectWithin(const Socket& socket, const SocketAddress& address,
                   WaitClock::time_point deadline) {
  SlicedWait wait(deadline);
  SocketTimeout send_timeout(SocketTimeout::Option::kSend);
  for (;;) {
    const int timeout_ms = wait.NextTimeoutMs();
    if (timeout_ms == 0) throw SocketFailure(wsa::kTimedOut);
    if (const int error = send_timeout.Set(socket, timeout_ms)) throw SocketFailure(error);
    const int error = ConnectOnce(socket, address);
    if (error == 0 || error == wsa::kAlreadyConnected) return;
    if (error == wsa::kInProgress || error == wsa::kAlreadyInProgress) {
      if (wait.final_slice()) throw SocketFailure(wsa::kTimedOut);
      continue;
    }
    // A signal cut the wait short; the connect goes on in the background.
    if (error == wsa::kInterrupted) return FinishConnect(socket, MillisecondsLeft(deadline));
    throw SocketFailure(error);
  }
}

}  // namespace queue
