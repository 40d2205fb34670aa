// The socket owner.
#include "queueclient/socket/socket.h"

#include "queueclient/failure.h"
#include "queueclient/socket/socket_errors.h"
#include "queueclient/socket/socket_platform.h"

namespace queue {

Socket Socket::OpenStream(int family) {
  const SocketHandle handle = ::socket(family, SOCK_STREAM, IPPROTO_TCP);
  if (handle == kNoSocket) throw SocketFailure(LastSocketError());
  return Socket(handle);
}

Socket& Socket::operator=(Socket&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    other.handle_ = kNoSocket;
  }
  return *this;
}

void Socket::Close() noexcept {
  if (handle_ == kNoSocket) return;
  ShutdownSending(handle_);
  CloseSocket(handle_);
  handle_ = kNoSocket;
}

}  // namespace queue
