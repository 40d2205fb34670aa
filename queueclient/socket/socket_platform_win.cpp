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

std::ptrdiff_t SendBytes(SocketHandle s, std::string_view bytes) {
  const int length = static_cast<int>(bytes.size() < INT_MAX ? bytes.size() : INT_MAX);
  return ::send(s, bytes.data(), length, 0);
}

// A Windows send cannot be told not to wait without switching the whole socket's mode.
std::ptrdiff_t SendBytesWithoutWaiting(SocketHandle, std::string_view) {
  return kSendWouldWait;
}

// Windows Sockets calls are not cut short by signals.
bool InterruptedBySignal() {
  return false;
}

bool IsReceiveTimeout(int socket_error) {
  return socket_error == wsa::kTimedOut;
}

bool SetSocketTimeout(SocketHandle s, int option, int timeout_ms) {
  if (timeout_ms < 1) timeout_ms = 1;
  const DWORD value = static_cast<DWORD>(timeout_ms);
  return ::setsockopt(s, SOL_SOCKET, option, reinterpret_cast<const char*>(&value),
                      sizeof(value)) == 0;
}

// Windows timers are exact, and a receive that timed out leaves a Windows socket unusable, so
// one call waits it all.
bool SocketTimeoutsAreExact() {
  return true;
}

}  // namespace queue
