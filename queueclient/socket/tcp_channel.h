// The plain TCP transport: opening a connection to one address with a bounded connect, and the
// channel over a connected socket whose every receive is bounded too.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "queueclient/socket/address_selection.h"
#include "queueclient/socket/channel.h"
#include "queueclient/socket/socket.h"
#include "queueclient/socket/socket_wait.h"

namespace queue {

// Opens a TCP stream socket of the address's family, bound to the wildcard address and a port of
// the system's choice, and connects it by `deadline` (leaving the socket's send time-out set).
// Throws SocketFailure: 10060 when the connect does not complete in time, the platform's error
// number otherwise.
Socket ConnectSocket(const SocketAddress& address, WaitClock::time_point deadline);

class TcpChannel : public Channel {
 public:
  // Takes over a connected socket (closed when its time-out cannot be set). `read_timeout_ms`
  // bounds every receive and every send's wait for room; SetDeadline bounds the receives of a
  // press.
  TcpChannel(Socket socket, int read_timeout_ms);
  ~TcpChannel() override;
  TcpChannel(const TcpChannel&) = delete;
  TcpChannel& operator=(const TcpChannel&) = delete;

  std::size_t Receive(char* buffer, std::size_t capacity) override;
  void SendAll(std::string_view bytes) override;
  void SetDeadline(WaitClock::time_point deadline) override { bounds_.deadline = deadline; }
  bool WaitReadable(int timeout_ms) override;
  void Close() noexcept override;

 private:
  // One send call; sets the send time-out first when the call is to wait.
  std::ptrdiff_t SendSome(std::string_view bytes);

  Socket socket_;
  ReceiveBounds bounds_;
  int send_timeout_ms_;
  SocketTimeout receive_timeout_{SocketTimeout::Option::kReceive};
  SocketTimeout send_timeout_{SocketTimeout::Option::kSend};
};

}  // namespace queue
