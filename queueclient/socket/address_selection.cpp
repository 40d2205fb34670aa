// Address selection for one connection.
#include "queueclient/socket/address_selection.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "core/text.h"
#include "queueclient/failure.h"
#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_errors.h"

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

#if defined(__GLIBC__)
// One lookup that glibc runs in a resolver thread of its own, so that the wait for its answer
// can be bounded. The resolver thread writes into the request block until it is done.
struct Lookup {
  std::string host;
  addrinfo hints{};
  gaicb request{};
};

// Resolves like getaddrinfo, but gives up at `deadline` (returns false then). A lookup still
// running at the deadline is cancelled when glibc can; otherwise its block, a few hundred bytes,
// is left to the resolver thread, since freeing it would pull memory from under that thread.
bool ResolveBy(const std::string& host, const addrinfo& hints, WaitClock::time_point deadline,
               int& result, addrinfo*& found) {
  auto lookup = std::make_unique<Lookup>();
  lookup->host = host;
  lookup->hints = hints;
  lookup->request.ar_name = lookup->host.c_str();
  lookup->request.ar_request = &lookup->hints;
  gaicb* requests[] = {&lookup->request};
  result = ::getaddrinfo_a(GAI_NOWAIT, requests, 1, nullptr);
  if (result != 0) return true;
  for (int left = MillisecondsLeft(deadline); left > 0; left = MillisecondsLeft(deadline)) {
    const timespec wait{left / 1000, (left % 1000) * 1000000L};
    ::gai_suspend(requests, 1, &wait);  // a time-out or a signal only ends this wait
    result = ::gai_error(&lookup->request);
    if (result != EAI_INPROGRESS) {
      found = lookup->request.ar_result;
      return true;
    }
  }
  const int cancelled = ::gai_cancel(&lookup->request);
  if (cancelled == EAI_ALLDONE && ::gai_error(&lookup->request) == 0) {
    ::freeaddrinfo(lookup->request.ar_result);
  } else if (cancelled == EAI_NOTCANCELED) {
    lookup.release();
  }
  return false;
}
#else
// Without a lookup that can be bounded, the resolver's own time-outs bound it.
bool ResolveBy(const std::string& host, const addrinfo& hints, WaitClock::time_point, int& result,
               addrinfo*& found) {
  result = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
  return true;
}
#endif

SocketAddress Resolve(const std::string& host, int port, int family,
                      WaitClock::time_point deadline) {
  addrinfo hints{};
  hints.ai_family = family;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  int result = 0;
  if (!ResolveBy(host, hints, deadline, result, found)) throw SocketFailure(wsa::kTimedOut);
  if (result != 0) throw SocketFailure(SocketErrorFromResolver(result, errno));
  std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(found, &::freeaddrinfo);
  if (found == nullptr) throw SocketFailure(wsa::kNoData);
  // Only the first address counts: no second try with the others.
  if (family == AF_INET) {
    return FromIpv4(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr, port);
  }
  return FromIpv6(reinterpret_cast<const sockaddr_in6*>(found->ai_addr)->sin6_addr, port);
}

}  // namespace

SocketAddress SelectAddress(const std::string& host_utf8, int port, IpVersion version,
                            WaitClock::time_point deadline) {
  if (version == IpVersion::kIPv4) {
    in_addr address{};
    if (::inet_pton(AF_INET, host_utf8.c_str(), &address) == 1) return FromIpv4(address, port);
    if (IsLocalhost(host_utf8)) {
      address.s_addr = htonl(INADDR_LOOPBACK);
      return FromIpv4(address, port);
    }
    return Resolve(host_utf8, port, AF_INET, deadline);
  }
  in6_addr address{};
  if (::inet_pton(AF_INET6, host_utf8.c_str(), &address) == 1) return FromIpv6(address, port);
  if (IsLocalhost(host_utf8)) return FromIpv6(in6addr_loopback, port);
  return Resolve(host_utf8, port, AF_INET6, deadline);
}

}  // namespace queue
