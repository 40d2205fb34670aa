// A BIO over a connected socket for the TLS session. The library's own socket BIO writes with
// write(), which raises SIGPIPE on a peer that has gone away, and treats a time-out as "retry",
// which a blocking session cannot tell from a spurious wake-up.
#include "queueclient/tls/openssl/openssl_socket_bio.h"

#include <string_view>

#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_errors.h"
#include "queueclient/socket/socket_platform.h"
#include "queueclient/socket/socket_receive.h"

namespace queue {
namespace {

SocketBioState* StateOf(BIO* bio) {
  return static_cast<SocketBioState*>(BIO_get_data(bio));
}

// A probe never waits: it asks the socket for what is there already.
int ProbeRead(BIO* bio, SocketBioState* state, char* out, int length) {
  for (;;) {
    const auto received = ::recv(state->socket.handle(), out, length, MSG_DONTWAIT);
    if (received > 0) return static_cast<int>(received);
    if (received == 0) {
      state->end_of_input = true;
      return 0;
    }
    if (InterruptedBySignal()) continue;
    const int error = LastSocketError();
    if (error == wsa::kWouldBlock) {
      BIO_set_retry_read(bio);
    } else {
      state->last_error = error;
    }
    return -1;
  }
}

int SocketBioRead(BIO* bio, char* out, int length) {
  SocketBioState* state = StateOf(bio);
  BIO_clear_retry_flags(bio);
  if (length <= 0) return 0;
  if (state->probing) return ProbeRead(bio, state, out, length);
  const ReceiveOutcome outcome =
      ReceiveWithin(state->socket, state->receive_timeout, state->bounds.EndOfReceive(), out,
                    static_cast<std::size_t>(length));
  switch (outcome.status) {
    case ReceiveOutcome::Status::kReceived:
      if (outcome.received == 0) state->end_of_input = true;
      return static_cast<int>(outcome.received);
    case ReceiveOutcome::Status::kTimedOut:
      state->last_error = wsa::kTimedOut;
      return -1;
    case ReceiveOutcome::Status::kFailed:
      state->last_error = outcome.error;
      return -1;
  }
  return -1;
}

int SocketBioWrite(BIO* bio, const char* data, int length) {
  SocketBioState* state = StateOf(bio);
  BIO_clear_retry_flags(bio);
  if (length <= 0) return 0;
  for (;;) {
    // The socket's send time-out, set with the handshake, bounds the wait for room.
    const auto sent =
        SendBytes(state->socket.handle(), std::string_view(data, static_cast<std::size_t>(length)),
                  state->bounds.per_receive_ms);
    if (sent >= 0) return static_cast<int>(sent);
    if (InterruptedBySignal()) continue;
    // A send never probes: it waits for room up to the send time-out.
    state->last_error = LastSocketError();
    if (state->last_error == wsa::kWouldBlock) state->last_error = wsa::kTimedOut;
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
