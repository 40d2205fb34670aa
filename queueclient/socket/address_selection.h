// Choosing the one address a connection goes to: a literal address as written, "localhost"
// without asking the resolver, any other name resolved for one address family only, first
// address returned, no fallback to the other family.
#pragma once

#include <string>

#include "queueclient/http/uri.h"
#include "queueclient/socket/socket_platform.h"
#include "queueclient/socket/socket_wait.h"

namespace queue {

struct SocketAddress {
  sockaddr_storage storage{};
  socklen_t length = 0;
  int family = AF_INET;
};

// The address of `host_utf8` for the family `version`, with `port`. Throws a SocketFailure with
// the resolver's number (11001 for an unknown name) when the name has no address, and 10060
// when the resolver has not answered by `deadline` (where the platform lets a lookup be
// bounded: glibc's asynchronous lookup; elsewhere the resolver's own time-outs apply).
SocketAddress SelectAddress(const std::string& host_utf8, int port, IpVersion version,
                            WaitClock::time_point deadline);

}  // namespace queue
