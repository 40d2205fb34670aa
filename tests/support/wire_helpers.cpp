// Helpers of the wire tests.
#include "tests/support/wire_helpers.h"

#include "core/text.h"
#include "queueclient/http/request_head.h"

namespace queue::testing {

std::string WithPort(std::string_view pattern, int port) {
  std::string out(pattern);
  const std::string number = std::to_string(port);
  for (std::size_t at = out.find("{port}"); at != std::string::npos; at = out.find("{port}", at)) {
    out.replace(at, 6, number);
  }
  return out;
}

std::u16string WithPort16(std::u16string_view pattern, int port) {
  return Utf8ToUtf16(WithPort(Utf16ToUtf8(pattern), port));
}

std::string ExpectedHead(std::string_view target, std::string_view host,
                         std::string_view extra_lines) {
  return "GET " + std::string(target) + " HTTP/1.1\r\nHost: " + std::string(host) +
         "\r\nAccept: " + Utf16ToUtf8(kAcceptValue) +
         "\r\nUser-Agent: " + Utf16ToUtf8(kUserAgentValue) + "\r\n" + std::string(extra_lines) +
         "\r\n";
}

std::string OkResponse(std::string_view body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
         std::string(body);
}

std::optional<CaughtFailure> CatchFailure(const std::function<void()>& call) {
  try {
    call();
  } catch (const Failure& failure) {
    CaughtFailure caught;
    caught.kind = failure.kind();
    caught.message = failure.what();
    if (const auto* socket = dynamic_cast<const SocketFailure*>(&failure)) {
      caught.socket_error = socket->error_number();
    }
    if (const auto* status = dynamic_cast<const HttpStatusFailure*>(&failure)) {
      caught.status_code = status->status_code();
      caught.status_body = Utf16ToUtf8(status->body());
    }
    return caught;
  }
  return std::nullopt;
}

ClientLimits ShortLimits(int bound_ms, std::size_t max_body_bytes) {
  ClientLimits limits;
  limits.connect_timeout_ms = bound_ms;
  limits.read_timeout_ms = bound_ms;
  limits.redirect_body_wait_ms = bound_ms;
  limits.max_body_bytes = max_body_bytes;
  return limits;
}

}  // namespace queue::testing
