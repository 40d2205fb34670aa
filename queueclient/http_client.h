// The HTTP client that the operator window owns (idhtp1): one GET per call, over TCP or TLS,
// with the fixed settings of this program, a current URI that every request URL is merged
// into, and a cookie store that lives for the run.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "queueclient/client_limits.h"

namespace queue {

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
