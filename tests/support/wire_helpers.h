// Small helpers of the wire tests: URL templates with the server's port, the exact request head
// the client should send, canned responses, and the failure a call raised.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "queueclient/failure.h"
#include "queueclient/http_client.h"

namespace queue::testing {

// Replaces every "{port}" in `pattern` with the port number.
std::string WithPort(std::string_view pattern, int port);
std::u16string WithPort16(std::u16string_view pattern, int port);

// The head the client sends for `target` and `host`, with `extra_lines` (each ending in CR LF)
// after User-Agent.
std::string ExpectedHead(std::string_view target, std::string_view host,
                         std::string_view extra_lines = "");

// "HTTP/1.1 200 OK", a Content-Length and the body.
std::string OkResponse(std::string_view body);

// What a failed call left behind; empty when `call` did not throw a Failure.
struct CaughtFailure {
  FailureKind kind = CoreFailure::kGeneric;
  std::string message;  // UTF-8
  int socket_error = 0;
  int status_code = 0;
  std::string status_body;  // UTF-8, for HTTP status failures
};
std::optional<CaughtFailure> CatchFailure(const std::function<void()>& call);

// Client limits for tests that meet the bounds: the connect, read and redirect-body waits all
// `bound_ms`, and bodies bounded at `max_body_bytes`, so no test waits the program's real bounds.
ClientLimits ShortLimits(int bound_ms, std::size_t max_body_bytes);

}  // namespace queue::testing
