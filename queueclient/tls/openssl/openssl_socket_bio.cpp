// A BIO over a connected socket for the TLS session. The library's own socket BIO writes with
// write(), which raises SIGPIPE on a peer that has gone away, and treats a time-out as "retry",
// which a blocking session cannot tell from a spurious wake-up.
#include "queueclient/tls/openssl/openssl_socket_bio.h"

#include "queueclient/socket/socket_error_numbers.h"

#include <cerrno>

#include "queueclient/socket/socket_errors.h"
#include "queueclient/socket/socket_platform.h"

namespace queue {
namespace {

// The number a receive or send time-out of the socket has on Windows Sockets; POSIX reports
// the expired time-out as "would block".
constexpr int kTimedOut = wsa::kTimedOut;
constexpr int kWouldBlock = wsa::kWouldBlock;
#ifdef _WIN32
constexpr int kReceiveTimedOut = kTimedOut;
#else
constexpr int kReceiveTimedOut = kWouldBlock;
#endif

SocketBioState* StateOf(BIO* bio) {
  return static_cast<SocketBioState*>(BIO_get_data(bio));
}

bool Interrupted() {
#ifdef _WIN32
  return WSAGetLastError() == WSAEINTR;
#else
  return errno == EINTR;
#endif
}

int SocketBioRead(BIO* bio, char* out, int length) {
  SocketBioState* state = StateOf(bio);
  BIO_clear_retry_flags(bio);
  if (length <= 0) return 0;
#ifdef _WIN32
  // Probes run with the socket switched to non-blocking by the channel.
  const int flags = 0;
#else
  const int flags = state->probing ? MSG_DONTWAIT : 0;
#endif
  // A probe never waits, so only a real receive is bounded.
  SlicedWait wait(state->bounds.EndOfReceive());
  for (;;) {
    if (!state->probing) {
      const int timeout_ms = wait.NextTimeoutMs();
      state->last_error =
          timeout_ms == 0 ? kTimedOut : state->receive_timeout.Set(state->socket, timeout_ms);
      if (state->last_error != 0) return -1;
    }
    const auto received = ::recv(state->socket.handle(), out, length, flags);
    if (received > 0) return static_cast<int>(received);
    if (received == 0) {
      state->end_of_input = true;
      return 0;
    }
    if (Interrupted()) continue;
    const int error = LastSocketError();
    if (error == kWouldBlock && state->probing) {
      BIO_set_retry_read(bio);
      return -1;
    }
    // A time-out before the last slice of the wait only ends that slice.
    if (error == kReceiveTimedOut && !wait.final_slice()) continue;
    state->last_error = error == kWouldBlock ? kTimedOut : error;
    return -1;
  }
}

int SocketBioWrite(BIO* bio, const char* data, int length) {
  SocketBioState* state = StateOf(bio);
  BIO_clear_retry_flags(bio);
  if (length <= 0) return 0;
  for (;;) {
    const auto sent = ::send(state->socket.handle(), data, length, kSendFlags);
    if (sent >= 0) return static_cast<int>(sent);
    if (Interrupted()) continue;
    // A send never probes: it waits for room up to the send time-out.
    state->last_error = LastSocketError();
    if (state->last_error == kWouldBlock) state->last_error = kTimedOut;
    return -1;
  }
}

long SocketBioControl(BIO* bio, int command, long, void*) {
  switch (command) {
    case BIO_CTRL_FLUSH:
      return 1;  // nothing is buffered here
    case BIO_CTRL_EOF:
      return StateOf(bio)->end_of_input ? 1 : 0;
    default:
      return 0;
  }
}

int SocketBioCreate(BIO* bio) {
  BIO_set_init(bio, 1);
  return 1;
}

// One method table for the process, like the library's own BIO methods.
const BIO_METHOD* SocketBioMethod() {
  static BIO_METHOD* method = [] {
    BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "queue socket");
    if (m != nullptr) {
      BIO_meth_set_read(m, SocketBioRead);
      BIO_meth_set_write(m, SocketBioWrite);
      BIO_meth_set_ctrl(m, SocketBioControl);
      BIO_meth_set_create(m, SocketBioCreate);
    }
    return m;
  }();
  return method;
}

}  // namespace

BIO* NewSocketBio(SocketBioState* state) {
  const BIO_METHOD* method = SocketBioMethod();
  if (method == nullptr) return nullptr;
  BIO* bio = BIO_new(method);
  if (bio != nullptr) BIO_set_data(bio, state);
  return bio;
}

}  // namespace queue
