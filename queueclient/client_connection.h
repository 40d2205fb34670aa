// One open connection of the client (TCP, or TLS over TCP for "https") with its input buffer,
// and the route it was opened for, so that a later request can tell whether it may reuse it.
#pragma once

#include <memory>
#include <string>

#include "queueclient/client_limits.h"
#include "queueclient/http/buffered_reader.h"
#include "queueclient/http/uri.h"
#include "queueclient/socket/channel.h"

namespace queue {

struct Route {
  std::u16string host;
  int port = 80;
  IpVersion family = IpVersion::kIPv4;
  bool https = false;
};

Route RouteOf(const Uri& uri);
// Same host (ignoring case), port number, address family and TLS-or-not.
bool SameRoute(const Route& a, const Route& b);

class ClientConnection {
 public:
  ClientConnection(std::unique_ptr<Channel> channel, Route route);
  ~ClientConnection();
  ClientConnection(const ClientConnection&) = delete;
  ClientConnection& operator=(const ClientConnection&) = delete;

  const Route& route() const { return route_; }
  Channel& channel() { return *channel_; }
  BufferedReader& reader() { return reader_; }

 private:
  std::unique_ptr<Channel> channel_;
  BufferedReader reader_;
  Route route_;
};

// Checks the current URI and opens a connection for it: "Host field is empty" for an "https"
// URI without a host, "A Host is required", "A Port is required", then address selection and
// the TCP connect within the connect bound together and, for "https", the TLS handshake within
// a connect bound of its own. Every failure closes the socket.
std::unique_ptr<ClientConnection> OpenConnection(const Uri& uri, const ClientLimits& limits);

}  // namespace queue
