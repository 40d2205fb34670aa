// What the platforms' bounded connects share: the connect call, and the error a connect that
// went on in the background ended with.
#include "queueclient/socket/tcp_connect.h"
#include "queueclient/failure.h"
#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_errors.h"
#include "queueclient/socket/socket_platform.h"

namespace queue {

int ConnectOnce(const Socket& socket, const SocketAddress& address) {
  if (::connect(socket.handle(), reinterpret_cast<const sockaddr*>(&address.storage),
                address.length) == 0)
    return 0;
  return LastSocketError();
}

int PendingConnectError(const Socket& socket) {
  int error = 0;
  socklen_t length = sizeof(error);
  if (::getsockopt(socket.handle(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                   &length) != 0) {
    throw SocketFailure(LastSocketError());
  }
  return error == 0 ? 0 : SocketErrorFromErrno(error);
}

}  // namespace queue
