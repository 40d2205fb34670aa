// The HTTP client that the operator window owns (idhtp1): one GET per call, over TCP or TLS,
// with the fixed settings of this program, a current URI that every request URL is merged
// into, and a cookie store that lives for the run.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace queue {

// A queue answer is a few bytes; a body anywhere near this comes from a runaway server.
inline constexpr std::size_t kMaxBodyBytes = 64u * 1024u * 1024u;

// Bounds that tests may shorten; the program uses the defaults.
struct ClientLimits {
  // Name resolution and TCP connect together, and then the TLS handshake on its own, give up
  // with socket error 10060 after this.
  int connect_timeout_ms = 21000;
  int read_timeout_ms = 30000;  // a socket read that gets no data fails "Read timed out."
  // From the request's send to the response's last byte: a server that trickles its answer, each
  // byte inside the read bound, fails "Read timed out." here instead of freezing the window.
  int press_timeout_ms = 60000;
  int redirect_body_wait_ms = 5000;            // how long a 3xx waits for an optional body
  std::size_t max_body_bytes = kMaxBodyBytes;  // a longer body fails "Max body size exceeded."
};

class HttpClient {
 public:
  explicit HttpClient(ClientLimits limits = {});
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // Sends a GET for `url` merged into the current URI, reads the final response and returns
  // its body decoded to text. Throws a Failure for everything else.
  std::u16string Get(std::u16string_view url);
  // Closes the connection when one is open; does nothing otherwise. Never fails.
  void Disconnect() noexcept;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace queue
