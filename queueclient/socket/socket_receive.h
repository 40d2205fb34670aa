// The one bounded receive of the program: a receive on a connected socket that ends by a given
// time. On POSIX systems a blocking receive made of socket time-outs (socket_wait.h) and
// repeated after a signal (socket_receive_posix.cpp); on Windows a receive on the non-blocking
// socket that polls when nothing waits (socket_receive_win.cpp). The plain channel and the TLS
// transports all read through it, so "timed out" means the same on each.
#pragma once

#include <cstddef>

#include "queueclient/socket/socket.h"
#include "queueclient/socket/socket_wait.h"

namespace queue {

struct ReceiveOutcome {
  enum class Status {
    kReceived,  // `received` bytes, or 0 when the peer has closed its side
    kTimedOut,  // no byte arrived by the end of the wait
    kFailed,    // the socket failed with `error` (a Windows Sockets number)
  };
  Status status = Status::kReceived;
  std::size_t received = 0;
  int error = 0;
};

// Receives at most `capacity` bytes into `buffer`, waiting for the first of them until `end`.
// `receive_timeout` is the socket's receive time-out option, set as the wait needs where the
// platform waits that way.
ReceiveOutcome ReceiveWithin(const Socket& socket, SocketTimeout& receive_timeout,
                             WaitClock::time_point end, char* buffer, std::size_t capacity);

}  // namespace queue
