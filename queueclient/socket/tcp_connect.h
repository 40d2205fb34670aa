// The bounded connect under ConnectSocket: each platform bounds a connect its own way
// (tcp_connect_posix.cpp, tcp_connect_win.cpp); what they share is here.
#pragma once

#include "queueclient/socket/address_selection.h"
#include "queueclient/socket/socket.h"
#include "queueclient/socket/socket_wait.h"

namespace queue {

// Connects `socket` to `address` by `deadline`; throws SocketFailure (10060 when the connect does
// not complete in time). Defined per platform.
void ConnectWithin(const Socket& socket, const SocketAddress& address,
                   WaitClock::time_point deadline);

// One connect call: 0, or the socket error it failed with.
int ConnectOnce(const Socket& socket, const SocketAddress& address);

// The error a connect that went on in the background ended with (SO_ERROR): 0 when it
// succeeded. Throws SocketFailure when the socket cannot be asked.
int PendingConnectError(const Socket& socket);

}  // namespace queue
