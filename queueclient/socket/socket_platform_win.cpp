// The socket calls on Windows Sockets. StartSockets is in winsock_startup_win.cpp.
#include <climits>

#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_platform.h"

namespace queue {

void CloseSocket(SocketHandle s) {
  ::closesocket(s);
}

void ShutdownSending(SocketHandle s) {
  ::shutdown(s, SD_SEND);
}

int PollSocket(SocketHandle s, short events, int timeout_ms) {
  WSAPOLLFD fd{static_cast<SOCKET>(s), events, 0};
  return ::WSAPoll(&fd, 1, timeout_ms);
}

void SetNonBlocking(SocketHandle s, bool on) {
  u_long mode = on ? 1 : 0;
  ::ioctlsocket(s, FIONBIO, &mode);
}

std::ptrdiff_t SendBytesWithoutWaiting(SocketHandle s, std::string_view bytes) {
  const int length = static_cast<int>(bytes.size() < INT_MAX ? bytes.size() : INT_MAX);
  const int sent = ::send(s, bytes.data(), length, 0);
  if (sent < 0 && WSAGetLastError() == wsa::kWouldBlock) return kSendWouldWait;
  return sent;
}

// A blocking socket (the test servers' own) waits in the send itself; a non-blocking one (the
// client's) is polled for room first.
std::ptrdiff_t SendBytes(SocketHandle s, std::string_view bytes, int timeout_ms) {
  for (;;) {
    const auto sent = SendBytesWithoutWaiting(s, bytes);
    if (sent != kSendWouldWait) return sent;
    const int ready = PollSocket(s, POLLOUT, timeout_ms);
    if (ready < 0) return -1;
    if (ready == 0) {
      WSASetLastError(wsa::kTimedOut);
      return -1;
    }
  }
}

// Windows Sockets calls are not cut short by signals.
bool InterruptedBySignal() {
  return false;
}

// The client's waits are polls (see the header): each option call saved is a round trip to the
// system's socket service.
bool SetSocketTimeout(SocketHandle, int, int) {
  return true;
}

// Windows timers are exact, so one poll waits it all.
bool SocketTimeoutsAreExact() {
  return true;
}

}  // namespace queue
