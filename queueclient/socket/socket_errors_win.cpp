// The platform's socket and resolver errors on Windows, where they are Windows Sockets numbers
// already.
#include <winsock2.h>

#include "queueclient/socket/socket_errors.h"

namespace queue {

int SocketErrorFromErrno(int platform_error) {
  return platform_error;
}

int SocketErrorFromResolver(int gai_error, int) {
  return gai_error;
}

int LastSocketError() {
  return WSAGetLastError();
}

}  // namespace queue
