// TCP connect with a time limit, and the bounded plain channel.
#include "queueclient/tcp_channel.h"

#include <cerrno>

#include "queueclient/failure.h"
#include "queueclient/socket_errors.h"

namespace queue {
namespace {

constexpr int kConnectTimedOut = 10060;

[[noreturn]] void ThrowLastSocketError() {
  throw SocketFailure(LastSocketError());
}

void BindToWildcard(SocketHandle socket, int family) {
  sockaddr_storage any{};
  socklen_t length = sizeof(sockaddr_in);
  if (family == AF_INET6) {
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&any);
    v6->sin6_family = AF_INET6;
    v6->sin6_addr = in6addr_any;
    length = sizeof(sockaddr_in6);
  } else {
    auto* v4 = reinterpret_cast<sockaddr_in*>(&any);
    v4->sin_family = AF_INET;
    v4->sin_addr.s_addr = htonl(INADDR_ANY);
  }
  if (::bind(socket, reinterpret_cast<sockaddr*>(&any), length) != 0) ThrowLastSocketError();
}

// Waits for a non-blocking connect to finish; a connect still pending after the bound fails as
// the platform's own give-up would.
void FinishConnect(SocketHandle socket, int timeout_ms) {
  const int ready = PollSocket(socket, POLLOUT, timeout_ms);
  if (ready < 0) ThrowLastSocketError();
  if (ready == 0) throw SocketFailure(kConnectTimedOut);
  int error = 0;
  socklen_t length = sizeof(error);
  if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) {
    ThrowLastSocketError();
  }
  if (error != 0) throw SocketFailure(SocketErrorFromErrno(error));
}

}  // namespace

SocketHandle ConnectSocket(const SocketAddress& address, int timeout_ms) {
  const SocketHandle socket = ::socket(address.family, SOCK_STREAM, IPPROTO_TCP);
  if (socket == kNoSocket) ThrowLastSocketError();
  try {
    BindToWildcard(socket, address.family);
    SetNonBlocking(socket, true);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address.storage), address.length) !=
        0) {
      const int error = LastSocketError();
      // 10035/10036: the connect goes on in the background.
      if (error != 10035 && error != 10036) throw SocketFailure(error);
      FinishConnect(socket, timeout_ms);
    }
    SetNonBlocking(socket, false);
  } catch (...) {
    CloseSocket(socket);
    throw;
  }
  return socket;
}

TcpChannel::TcpChannel(SocketHandle socket, int read_timeout_ms)
    : socket_(socket), read_timeout_ms_(read_timeout_ms) {
  // A send blocked by a peer that reads nothing is bounded like a receive.
  SetSocketTimeout(socket_, SO_SNDTIMEO, read_timeout_ms_);
}

TcpChannel::~TcpChannel() {
  Close();
}

std::size_t TcpChannel::Receive(char* buffer, std::size_t capacity) {
  if (socket_ == kNoSocket) throw SocketFailure(10058);
  const int ready = PollSocket(socket_, POLLIN, read_timeout_ms_);
  if (ready < 0) ThrowLastSocketError();
  if (ready == 0) throw Failure(FailureKind::kReadTimeout, "Read timed out.");
  for (;;) {
    const auto received = ::recv(socket_, buffer, static_cast<int>(capacity), 0);
    if (received >= 0) return static_cast<std::size_t>(received);
    if (errno != EINTR) ThrowLastSocketError();
  }
}

void TcpChannel::SendAll(std::string_view bytes) {
  if (socket_ == kNoSocket) throw SocketFailure(10058);
  while (!bytes.empty()) {
    const auto sent = ::send(socket_, bytes.data(), static_cast<int>(bytes.size()), kSendFlags);
    if (sent < 0) {
      if (errno == EINTR) continue;
      const int error = LastSocketError();
      // The send time-out reports "would block"; to the clerk it is a timed-out connection.
      throw SocketFailure(error == 10035 ? kConnectTimedOut : error);
    }
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

bool TcpChannel::WaitReadable(int timeout_ms) {
  if (socket_ == kNoSocket) return false;
  const int ready = PollSocket(socket_, POLLIN, timeout_ms);
  if (ready < 0) ThrowLastSocketError();
  return ready > 0;
}

void TcpChannel::Close() noexcept {
  if (socket_ == kNoSocket) return;
  ShutdownSending(socket_);
  CloseSocket(socket_);
  socket_ = kNoSocket;
}

}  // namespace queue
