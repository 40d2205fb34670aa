// TCP connect with a time limit, and the bounded plain channel.
#include "queueclient/socket/tcp_channel.h"

#include "queueclient/failure.h"
#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_errors.h"
#include "queueclient/socket/socket_platform.h"
#include "queueclient/socket/socket_receive.h"
#include "queueclient/socket/tcp_connect.h"

namespace queue {

Socket ConnectSocket(const SocketAddress& address, WaitClock::time_point deadline) {
  Socket socket = Socket::OpenStream(address.family);
  // No explicit bind: connect binds an unbound socket itself, to the wildcard address and a port
  // of the system's choice, with address reuse off, which is the binding wanted. An explicit
  // bind to port 0 would also take the port out of the pool that connect shares between
  // destinations, and run out of ports under load. A failure closes the socket with its owner.
  ConnectWithin(socket, address, deadline);
  return socket;
}

TcpChannel::TcpChannel(Socket socket, int read_timeout_ms)
    : socket_(std::move(socket)), send_timeout_ms_(read_timeout_ms) {
  bounds_.per_receive_ms = read_timeout_ms;
  // Set once here, the socket's receive time-out bounds every receive. It is the first slice of
  // a receive's wait, so a receive that gets its data in time changes nothing. A failure here
  // closes the socket with its owner.
  SlicedWait first_receive(bounds_.EndOfReceive());
  if (const int error = receive_timeout_.Set(socket_, first_receive.NextTimeoutMs())) {
    throw SocketFailure(error);
  }
}

TcpChannel::~TcpChannel() {
  Close();
}

std::size_t TcpChannel::Receive(char* buffer, std::size_t capacity) {
  if (!socket_.is_open()) throw SocketFailure(wsa::kShutDown);
  const ReceiveOutcome outcome =
      ReceiveWithin(socket_, receive_timeout_, bounds_.EndOfReceive(), buffer, capacity);
  switch (outcome.status) {
    case ReceiveOutcome::Status::kReceived:
      return outcome.received;
    case ReceiveOutcome::Status::kTimedOut:
      throw Failure(ClientFailure::kReadTimeout);
    case ReceiveOutcome::Status::kFailed:
      break;
  }
  throw SocketFailure(outcome.error);
}

// A send blocked by a peer that reads nothing is bounded like a receive. Where the platform can,
// a send is first tried without waiting: a request that fits the socket's buffer (every one a
// press makes) then needs no time-out option, and only a send that would wait sets the bound
// (the connect's time-out is still on the socket until then).
std::ptrdiff_t TcpChannel::SendSome(std::string_view bytes) {
  const auto sent = SendBytesWithoutWaiting(socket_.handle(), bytes);
  if (sent != kSendWouldWait) return sent;
  if (const int error = send_timeout_.Set(socket_, send_timeout_ms_)) throw SocketFailure(error);
  return SendBytes(socket_.handle(), bytes, send_timeout_ms_);
}

void TcpChannel::SendAll(std::string_view bytes) {
  if (!socket_.is_open()) throw SocketFailure(wsa::kShutDown);
  while (!bytes.empty()) {
    const auto sent = SendSome(bytes);
    if (sent < 0) {
      if (InterruptedBySignal()) continue;
      const int error = LastSocketError();
      // The send time-out reports "would block"; to the clerk it is a timed-out connection.
      throw SocketFailure(error == wsa::kWouldBlock ? wsa::kTimedOut : error);
    }
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

bool TcpChannel::WaitReadable(int timeout_ms) {
  if (!socket_.is_open()) return false;
  const int ready = PollSocket(socket_.handle(), POLLIN, timeout_ms);
  if (ready < 0) throw SocketFailure(LastSocketError());
  return ready > 0;
}

void TcpChannel::Close() noexcept {
  socket_.Close();
}

}  // namespace queue
