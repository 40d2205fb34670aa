// Windows Sockets start-up: the system refuses every socket and name lookup of a process that
// has not called WSAStartup, so the first connection starts it and the process's exit ends it.
#include "queueclient/failure.h"
#include "queueclient/socket/socket_platform.h"

namespace queue {
namespace {

// The version of Windows Sockets asked for: 2.2, what every Windows since 98 offers.
constexpr WORD kSocketsVersion = MAKEWORD(2, 2);

class SocketsSession {
 public:
  SocketsSession() : error_(::WSAStartup(kSocketsVersion, &data_)) {}
  ~SocketsSession() {
    if (error_ == 0) ::WSACleanup();
  }
  SocketsSession(const SocketsSession&) = delete;
  SocketsSession& operator=(const SocketsSession&) = delete;
  // WSAStartup returns its error itself; WSAGetLastError means nothing before it succeeded.
  int error() const { return error_; }

 private:
  WSADATA data_{};
  int error_;
};

}  // namespace

void StartSockets() {
  // Started once, thread-safely, by the first caller; cleaned up with the other statics at exit.
  static const SocketsSession session;
  if (session.error() != 0) throw SocketFailure(session.error());
}

}  // namespace queue
