// The client's bounds on time and memory, in one record that tests may shorten.
#pragma once

#include <cstddef>

namespace queue {

// A socket read that gets no data for this long fails "Read timed out."; the TLS channels bound
// every receive and send by it when their caller gives no bound of its own.
inline constexpr int kReadTimeoutMs = 30000;

// A queue answer is a few bytes; a body anywhere near this comes from a runaway server.
inline constexpr std::size_t kMaxBodyBytes = 64u * 1024u * 1024u;

// Bounds that tests may shorten; the program uses the defaults.
struct ClientLimits {
  // Name resolution and TCP connect together, and then the TLS handshake on its own, give up
  // with socket error 10060 after this.
  int connect_timeout_ms = 21000;
  int read_timeout_ms = kReadTimeoutMs;
  // From the request's send to the response's last byte: a server that trickles its answer, each
  // byte inside the read bound, fails "Read timed out." here instead of freezing the window.
  int press_timeout_ms = 60000;
  int redirect_body_wait_ms = 5000;            // how long a 3xx waits for an optional body
  std::size_t max_body_bytes = kMaxBodyBytes;  // a longer body fails "Max body size exceeded."
};

}  // namespace queue
