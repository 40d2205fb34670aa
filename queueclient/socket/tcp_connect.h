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

// Waits for a connect that goes on in the background to finish: the ready count, 0 when the
// bound passed first, -1 on error. Defined per platform.
int WaitForConnect(const Socket& socket, int timeout_ms);

// One connect call: 0, or the socket error it failed with.
int ConnectOnce(const Socket& socket, const SocketAddress& address);

// Waits for a connect that goes on in the background to finish and throws the failure it ended
// with; a connect still pending after the bound fails as the platform's own give-up would.
void FinishConnect(const Socket& socket, int timeout_ms);

}  // namespace queue
