// Opening the client's connection and comparing routes.
#include "queueclient/client_connection.h"

#include "core/text.h"
#include "queueclient/failure.h"
#include "queueclient/socket/address_selection.h"
#include "queueclient/socket/tcp_channel.h"
#include "queueclient/tls/tls_channel.h"

namespace queue {

Route RouteOf(const Uri& uri) {
  return Route{uri.Host, RoutePort(uri), uri.IPVersion, IsHttpsScheme(uri.Protocol)};
}

bool SameRoute(const Route& a, const Route& b) {
  return EqualsIgnoreCase(a.host, b.host) && a.port == b.port && a.family == b.family &&
         a.https == b.https;
}

ClientConnection::ClientConnection(std::unique_ptr<Channel> channel, Route route)
    : channel_(std::move(channel)), reader_(*channel_), route_(std::move(route)) {}

ClientConnection::~ClientConnection() {
  channel_->Close();
}

std::unique_ptr<ClientConnection> OpenConnection(const Uri& uri, const ClientLimits& limits) {
  Route route = RouteOf(uri);
  if (route.https && uri.Host.empty()) throw Failure(ClientFailure::kUriEmptyHost);
  if (uri.Host.empty()) throw Failure(ClientFailure::kHostRequired);
  if (route.port == 0) throw Failure(ClientFailure::kPortRequired);
  const std::string host = Utf16ToUtf8(uri.Host);
  StartSockets();  // Windows: before the first name lookup and socket
  const auto connect_deadline =
      WaitClock::now() + std::chrono::milliseconds(limits.connect_timeout_ms);
  const SocketAddress address = SelectAddress(host, route.port, uri.IPVersion, connect_deadline);
  Socket socket = ConnectSocket(address, connect_deadline);
  std::unique_ptr<Channel> channel;
  if (route.https) {
    const auto handshake_deadline =
        WaitClock::now() + std::chrono::milliseconds(limits.connect_timeout_ms);
    channel = ConnectTls(std::move(socket), host, limits.read_timeout_ms, handshake_deadline);
  } else {
    channel = std::make_unique<TcpChannel>(std::move(socket), limits.read_timeout_ms);
  }
  return std::make_unique<ClientConnection>(std::move(channel), std::move(route));
}

}  // namespace queue
