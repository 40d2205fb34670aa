// The few socket calls that differ between Windows Sockets and POSIX, behind one set of names,
// so the TCP code above them is written once.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "queueclient/socket/socket.h"

namespace queue {

#ifdef _WIN32
// Starts Windows Sockets for the process, once (later calls return at once); WSACleanup runs at
// exit. Every caller that opens a socket or looks up a name calls it first. Throws SocketFailure
// with the system's number when Windows Sockets cannot start.
void StartSockets();

inline void CloseSocket(SocketHandle s) {
  ::closesocket(s);
}
inline void ShutdownSending(SocketHandle s) {
  ::shutdown(s, SD_SEND);
}
inline int PollSocket(SocketHandle s, short events, int timeout_ms) {
  WSAPOLLFD fd{s, events, 0};
  return ::WSAPoll(&fd, 1, timeout_ms);
}
inline void SetNonBlocking(SocketHandle s, bool on) {
  u_long mode = on ? 1 : 0;
  ::ioctlsocket(s, FIONBIO, &mode);
}
inline constexpr int kSendFlags = 0;
// Windows Sockets calls are not cut short by signals (and leave errno alone).
inline bool InterruptedBySignal() {
  return false;
}
#else
inline void StartSockets() {}

inline void CloseSocket(SocketHandle s) {
  ::close(s);
}
inline void ShutdownSending(SocketHandle s) {
  ::shutdown(s, SHUT_WR);
}
inline int PollSocket(SocketHandle s, short events, int timeout_ms) {
  pollfd fd{s, events, 0};
  int result;
  do {
    result = ::poll(&fd, 1, timeout_ms);
  } while (result < 0 && errno == EINTR);
  return result;
}
// A peer that has gone away must give an error, not the signal that ends the process.
inline constexpr int kSendFlags = MSG_NOSIGNAL;
// Whether the socket call that just failed was cut short by a signal and is to be repeated.
inline bool InterruptedBySignal() {
  return errno == EINTR;
}
#endif

// Sets the receive or send time-out (SO_RCVTIMEO, SO_SNDTIMEO) to `timeout_ms`; false on error.
// The socket takes a zero time-out as "wait forever", so a bound below 1 ms becomes 1 ms.
inline bool SetSocketTimeout(SocketHandle s, int option, int timeout_ms) {
  if (timeout_ms < 1) timeout_ms = 1;
#ifdef _WIN32
  const DWORD value = static_cast<DWORD>(timeout_ms);
#else
  timeval value{};
  value.tv_sec = timeout_ms / 1000;
  value.tv_usec = (timeout_ms % 1000) * 1000;
#endif
  return ::setsockopt(s, SOL_SOCKET, option, reinterpret_cast<const char*>(&value),
                      sizeof(value)) == 0;
}

}  // namespace queue
