// The plain TCP transport: opening a connection to one address with a bounded connect, and the
// channel over a connected socket whose every receive is bounded too.
#pragma once

#include <memory>

#include "queueclient/address_selection.h"
#include "queueclient/channel.h"

namespace queue {

// Opens a TCP stream socket of the address's family, bound to the wildcard address and a port of
// the system's choice, and connects it within `timeout_ms` (leaving the socket's send time-out
// set to it). Throws SocketFailure: 10060 when the
// connect does not complete in time, the platform's error number otherwise.
SocketHandle ConnectSocket(const SocketAddress& address, int timeout_ms);

class TcpChannel : public Channel {
 public:
  // Takes ownership of a connected socket (closing it if the time-outs cannot be set).
  // `read_timeout_ms` bounds every receive and send.
  TcpChannel(SocketHandle socket, int read_timeout_ms);
  ~TcpChannel() override;
  TcpChannel(const TcpChannel&) = delete;
  TcpChannel& operator=(const TcpChannel&) = delete;

  std::size_t Receive(char* buffer, std::size_t capacity) override;
  void SendAll(std::string_view bytes) override;
  bool WaitReadable(int timeout_ms) override;
  void Close() noexcept override;

 private:
  SocketHandle socket_;
};

}  // namespace queue
