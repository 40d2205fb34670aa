// The library's transport over our socket: sends that cannot raise the broken-pipe signal,
// socket errors kept as Windows Sockets numbers (a receive or send time-out as 10060), and a
// probe mode in which a receive that would wait returns at once.
#pragma once

#include <openssl/bio.h>

#include "queueclient/socket/socket.h"
#include "queueclient/socket/socket_wait.h"

namespace queue {

// What the transport under one TLS session knows about its socket. Outlives the BIO.
struct SocketBioState {
  Socket socket;  // owned here, with the session that reads and writes it
  // The socket error of the last failed receive or send; 0 when none failed.
  int last_error = 0;
  // The peer closed its side: a receive returned 0.
  bool end_of_input = false;
  // Receives return at once with "retry" instead of waiting (a readiness probe).
  bool probing = false;
  // How long a receive may wait; one that waits past them fails with 10060.
  ReceiveBounds bounds;
  SocketTimeout receive_timeout{SocketTimeout::Option::kReceive};
};

// A BIO for `state->socket`; the socket stays the state's. Null when the library is out of
// memory (its error queue says why).
BIO* NewSocketBio(SocketBioState* state);

}  // namespace queue
