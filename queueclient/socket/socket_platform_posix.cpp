// The socket calls on POSIX systems.
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>

#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_platform.h"

namespace queue {

void StartSockets() {}

void CloseSocket(SocketHandle s) {
  ::close(s);
}

void ShutdownSending(SocketHandle s) {
  ::shutdown(s, SHUT_WR);
}

int PollSocket(SocketHandle s, short events, int timeout_ms) {
  pollfd fd{s, events, 0};
  int result;
  do {
    result = ::poll(&fd, 1, timeout_ms);
  } while (result < 0 && errno == EINTR);
  return result;
}

void SetNonBlocking(SocketHandle s, bool on) {
  const int flags = ::fcntl(s, F_GETFL, 0);
  if (flags >= 0) ::fcntl(s, F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK);
}

// The socket's send time-out, set by the caller, bounds the wait.
std::ptrdiff_t SendBytes(SocketHandle s, std::string_view bytes, int /*timeout_ms*/) {
  return ::send(s, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::ptrdiff_t SendBytesWithoutWaiting(SocketHandle s, std::string_view bytes) {
  const auto sent = ::send(s, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return kSendWouldWait;
  return sent;
}

bool InterruptedBySignal() {
  return errno == EINTR;
}

bool SetSocketTimeout(SocketHandle s, int option, int timeout_ms) {
  if (timeout_ms < 1) timeout_ms = 1;
  timeval value{};
  value.tv_sec = timeout_ms / 1000;
  value.tv_usec = (timeout_ms % 1000) * 1000;
  return ::setsockopt(s, SOL_SOCKET, option, &value, sizeof(value)) == 0;
}

// Linux keeps long time-outs on a coarse timer wheel (socket_wait.h).
bool SocketTimeoutsAreExact() {
  return false;
}

}  // namespace queue
