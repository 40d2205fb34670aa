// The floor's connect for the network benches: a plain blocking socket connected to a loopback
// port with none of the client's bounds or options, so that a floor makes only the system calls
// every client must (socket, connect), and its close is shutdown for sending, then close.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace bench {

inline int RawConnectToLoopback(int port) {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<unsigned short>(port));
  if (socket < 0 || ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    std::perror("bench: connect");
    std::exit(1);
  }
  return socket;
}

inline void RawClose(int socket) {
  ::shutdown(socket, SHUT_WR);
  ::close(socket);
}

}  // namespace bench
