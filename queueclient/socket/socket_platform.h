// The few socket calls that differ between Windows Sockets and POSIX, behind one set of names,
// so the TCP code above them is written once. Each platform's definitions are in
// socket_platform_posix.cpp and socket_platform_win.cpp; only the system's own socket headers
// are chosen here, since the code above uses the types they declare (sockaddr, addrinfo, ...).
#pragma once

#include <cstddef>
#include <string_view>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#endif

#include "queueclient/socket/socket.h"

namespace queue {

// Starts the platform's sockets for the process, once (later calls return at once). Every caller
// that opens a socket or looks up a name calls it first. Throws SocketFailure with the system's
// number when they cannot start (Windows Sockets); nothing to start elsewhere.
void StartSockets();

void CloseSocket(SocketHandle s);
void ShutdownSending(SocketHandle s);
// Waits up to `timeout_ms` for `events` (POLLIN, POLLOUT); the ready count, 0 on time-out, -1 on
// error. A signal does not cut the wait short.
int PollSocket(SocketHandle s, short events, int timeout_ms);
void SetNonBlocking(SocketHandle s, bool on);

// One send that waits for room at most `timeout_ms`; a peer that has gone away gives an error,
// never the signal that ends the process. The bytes sent, or -1 (LastSocketError says why; a
// send that found no room in time fails with the platform's time-out). A blocking socket's own
// send time-out bounds the wait where one is set (POSIX); a non-blocking socket's wait is polled
// for (Windows).
std::ptrdiff_t SendBytes(SocketHandle s, std::string_view bytes, int timeout_ms);
// The same send made without waiting for room: the bytes sent or -1 as above, or -2 when the send
// would have to wait. Windows makes it on the client's sockets only, which are non-blocking once
// connected.
std::ptrdiff_t SendBytesWithoutWaiting(SocketHandle s, std::string_view bytes);
inline constexpr std::ptrdiff_t kSendWouldWait = -2;

// Whether the socket call that just failed was cut short by a signal and is to be repeated.
bool InterruptedBySignal();

// Sets the receive or send time-out (SO_RCVTIMEO, SO_SNDTIMEO) to `timeout_ms`; false on error.
// The socket takes a zero time-out as "wait forever", so a bound below 1 ms becomes 1 ms. On
// Windows the client's sockets are non-blocking once connected and each of their waits is a poll
// with a bound of its own, so there it sets nothing.
bool SetSocketTimeout(SocketHandle s, int option, int timeout_ms);

// Whether a socket time-out expires when it says, so that a long wait needs no slices
// (socket_wait.h).
bool SocketTimeoutsAreExact();

}  // namespace queue
