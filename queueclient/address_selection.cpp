// Address selection for one connection.
#include "queueclient/address_selection.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "queueclient/failure.h"
#include "queueclient/socket_errors.h"
#include "queueclient/text.h"

namespace queue {
namespace {

bool IsLocalhost(const std::string& host) {
  return EqualsIgnoreCase(Widen(host), u"localhost");
}

SocketAddress FromIpv4(const in_addr& address, int port) {
  SocketAddress result;
  auto* v4 = reinterpret_cast<sockaddr_in*>(&result.storage);
  v4->sin_family = AF_INET;
  v4->sin_port = htons(static_cast<std::uint16_t>(port));
  v4->sin_addr = address;
  result.length = sizeof(sockaddr_in);
  result.family = AF_INET;
  return result;
}

SocketAddress FromIpv6(const in6_addr& address, int port) {
  SocketAddress result;
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&result.storage);
  v6->sin6_family = AF_INET6;
  v6->sin6_port = htons(static_cast<std::uint16_t>(port));
  v6->sin6_addr = address;
  result.length = sizeof(sockaddr_in6);
  result.family = AF_INET6;
  return result;
}

SocketAddress Resolve(const std::string& host, int port, int family) {
  addrinfo hints{};
  hints.ai_family = family;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int result = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (result != 0) throw SocketFailure(SocketErrorFromResolver(result, errno));
  std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(found, &::freeaddrinfo);
  if (found == nullptr) throw SocketFailure(11004);
  // Only the first address counts: no second try with the others.
  if (family == AF_INET) {
    return FromIpv4(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr, port);
  }
  return FromIpv6(reinterpret_cast<const sockaddr_in6*>(found->ai_addr)->sin6_addr, port);
}

}  // namespace

SocketAddress SelectAddress(const std::string& host_utf8, int port, IpVersion version) {
  if (version == IpVersion::kIPv4) {
    in_addr address{};
    if (::inet_pton(AF_INET, host_utf8.c_str(), &address) == 1) return FromIpv4(address, port);
    if (IsLocalhost(host_utf8)) {
      address.s_addr = htonl(INADDR_LOOPBACK);
      return FromIpv4(address, port);
    }
    return Resolve(host_utf8, port, AF_INET);
  }
  in6_addr address{};
  if (::inet_pton(AF_INET6, host_utf8.c_str(), &address) == 1) return FromIpv6(address, port);
  if (IsLocalhost(host_utf8)) return FromIpv6(in6addr_loopback, port);
  return Resolve(host_utf8, port, AF_INET6);
}

}  // namespace queue
