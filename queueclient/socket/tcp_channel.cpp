// TCP connect with a time limit, and the bounded plain channel.
#include "queueclient/socket/tcp_channel.h"

#include <cerrno>

#include "queueclient/failure.h"
#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_errors.h"

namespace queue {
namespace {

using wsa::kAlreadyConnected;
using wsa::kAlreadyInProgress;
using wsa::kInProgress;
using wsa::kInterrupted;
using wsa::kWouldBlock;
constexpr int kConnectTimedOut = wsa::kTimedOut;
#ifdef _WIN32
// A receive whose time-out expires fails "timed out" on Windows, "would block" elsewhere.
constexpr int kReceiveTimedOut = wsa::kTimedOut;
#else
constexpr int kReceiveTimedOut = wsa::kWouldBlock;
#endif

[[noreturn]] void ThrowReadTimedOut() {
  throw Failure(ClientFailure::kReadTimeout, "Read timed out.");
}

[[noreturn]] void ThrowLastSocketError() {
  throw SocketFailure(LastSocketError());
}

// Waits for a connect that goes on in the background to finish; a connect still pending after
// the bound fails as the platform's own give-up would.
void FinishConnect(const Socket& socket, int timeout_ms) {
#ifdef _WIN32
  // WSAPoll never reports a refused connect on Windows before 10 (version 2004); select reports
  // it in the exception set.
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(socket.handle(), &writable);
  FD_SET(socket.handle(), &failed);
  timeval bound{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  const int ready = ::select(0, nullptr, &writable, &failed, &bound);
#else
  const int ready = PollSocket(socket.handle(), POLLOUT, timeout_ms);
#endif
  if (ready < 0) ThrowLastSocketError();
  if (ready == 0) throw SocketFailure(kConnectTimedOut);
  int error = 0;
  socklen_t length = sizeof(error);
  if (::getsockopt(socket.handle(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                   &length) != 0) {
    ThrowLastSocketError();
  }
  if (error != 0) throw SocketFailure(SocketErrorFromErrno(error));
}

int ConnectOnce(const Socket& socket, const SocketAddress& address) {
  if (::connect(socket.handle(), reinterpret_cast<const sockaddr*>(&address.storage),
                address.length) == 0)
    return 0;
  return LastSocketError();
}

#ifdef _WIN32
// A Windows connect ignores the send time-out, so it runs non-blocking and is awaited.
void ConnectWithin(const Socket& socket, const SocketAddress& address,
                   WaitClock::time_point deadline) {
  const int timeout_ms = MillisecondsLeft(deadline);
  SetNonBlocking(socket.handle(), true);
  const int error = ConnectOnce(socket, address);
  if (error != 0) {
    if (error != kWouldBlock && error != kInProgress) throw SocketFailure(error);
    FinishConnect(socket, timeout_ms);
  }
  SetNonBlocking(socket.handle(), false);
}
#else
// A blocking connect gives up with "operation in progress" once the send time-out expires, so
// the bound costs one option on the socket instead of toggling non-blocking mode and polling.
// A connect repeated on a socket whose connect is still going on waits for it again ("already in
// progress" when that wait ends too), which is how the wait is cut into slices.
void ConnectWithin(const Socket& socket, const SocketAddress& address,
                   WaitClock::time_point deadline) {
  SlicedWait wait(deadline);
  SocketTimeout send_timeout(SocketTimeout::Option::kSend);
  for (;;) {
    const int timeout_ms = wait.NextTimeoutMs();
    if (timeout_ms == 0) throw SocketFailure(kConnectTimedOut);
    if (const int error = send_timeout.Set(socket, timeout_ms)) throw SocketFailure(error);
    const int error = ConnectOnce(socket, address);
    if (error == 0 || error == kAlreadyConnected) return;
    if (error == kInProgress || error == kAlreadyInProgress) {
      if (wait.final_slice()) throw SocketFailure(kConnectTimedOut);
      continue;
    }
    // A signal cut the wait short; the connect goes on in the background.
    if (error == kInterrupted) return FinishConnect(socket, MillisecondsLeft(deadline));
    throw SocketFailure(error);
  }
}
#endif

}  // namespace

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
#ifdef _WIN32
  // A send blocked by a peer that reads nothing is bounded like a receive.
  if (const int error = send_timeout_.Set(socket_, send_timeout_ms_)) throw SocketFailure(error);
#endif
}

TcpChannel::~TcpChannel() {
  Close();
}

std::size_t TcpChannel::Receive(char* buffer, std::size_t capacity) {
  if (!socket_.is_open()) throw SocketFailure(wsa::kShutDown);
  SlicedWait wait(bounds_.EndOfReceive());
  for (;;) {
    const int timeout_ms = wait.NextTimeoutMs();
    if (timeout_ms == 0) ThrowReadTimedOut();
    if (const int error = receive_timeout_.Set(socket_, timeout_ms)) throw SocketFailure(error);
    const auto received = ::recv(socket_.handle(), buffer, static_cast<int>(capacity), 0);
    if (received >= 0) return static_cast<std::size_t>(received);
    if (InterruptedBySignal()) continue;
    const int error = LastSocketError();
    if (error != kReceiveTimedOut) throw SocketFailure(error);
    if (wait.final_slice()) ThrowReadTimedOut();
  }
}

// A send blocked by a peer that reads nothing is bounded like a receive. Elsewhere than on
// Windows a send is first tried without waiting: a request that fits the socket's buffer (every
// one a press makes) then needs no time-out option, and only a send that would wait sets the
// bound (the connect's time-out is still on the socket until then).
std::ptrdiff_t TcpChannel::SendSome(std::string_view bytes) {
  const int length = static_cast<int>(bytes.size());
#ifndef _WIN32
  const auto sent = ::send(socket_.handle(), bytes.data(), length, kSendFlags | MSG_DONTWAIT);
  if (sent >= 0 || LastSocketError() != kWouldBlock) return sent;
#endif
  if (const int error = send_timeout_.Set(socket_, send_timeout_ms_)) throw SocketFailure(error);
  return ::send(socket_.handle(), bytes.data(), length, kSendFlags);
}

void TcpChannel::SendAll(std::string_view bytes) {
  if (!socket_.is_open()) throw SocketFailure(wsa::kShutDown);
  while (!bytes.empty()) {
    const auto sent = SendSome(bytes);
    if (sent < 0) {
      if (InterruptedBySignal()) continue;
      const int error = LastSocketError();
      // The send time-out reports "would block"; to the clerk it is a timed-out connection.
      throw SocketFailure(error == kWouldBlock ? kConnectTimedOut : error);
    }
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

bool TcpChannel::WaitReadable(int timeout_ms) {
  if (!socket_.is_open()) return false;
  const int ready = PollSocket(socket_.handle(), POLLIN, timeout_ms);
  if (ready < 0) ThrowLastSocketError();
  return ready > 0;
}

void TcpChannel::Close() noexcept {
  socket_.Close();
}

}  // namespace queue
