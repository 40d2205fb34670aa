// qget URL [URL ...]: what one press of the Next button does with the HTTP client, once per URL
// on one client, printed as one JSON line per URL.
#include <cstdio>
#include <cstring>
#include <exception>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/text.h"
#include "queue_version.h"
#include "queueclient/failure.h"
#include "queueclient/http/buffered_reader.h"
#include "queueclient/http/response_head_reader.h"
#include "queueclient/http_client.h"
#include "queueclient/next_press.h"
#include "tools/qget/qget_output.h"

namespace {

// The limits and the fixed messages in {braces} are filled in from the client's own constants
// and failure kinds (HelpText).
constexpr const char* kHelpTemplate = R"(usage: qget URL [URL ...]
       qget --version

Runs on one HTTP client, for each URL in order, what one press of the operator
window's Next button does: Get(URL), Disconnect(), and Disconnect() again in the
clean-up. The client's state carries over from URL to URL (current URI, cookies,
authorization state), so a relative URL is taken relative to the previous one.

Prints one JSON object per URL on its own line:
  {"ok":true,"answer":"..."}
  {"ok":false,"kind":"...","message":"...","box":"..."}
"box" is the text the error box shows. Socket failures add "error":N (the
Windows Sockets number), HTTP status failures add "status":N. Strings write
every UTF-16 code unit outside 0x20..0x7E as \uXXXX, so output is ASCII.
URL arguments are read as UTF-8.

Kinds:
  unknown-protocol   no scheme of http/https and no port known ({unknown-protocol})
  host-required      the address has no host ({host-required})
  port-required      the port is 0 ({port-required})
  invalid-iohandler  transport mismatch ({invalid-iohandler})
  uri-empty-host     an https address without a host ({uri-empty-host})
  socket             resolver, connect, send or receive error ("Socket Error # N...");
                     10060 when resolution and connect, or the TLS handshake, take
                     over {connect} seconds
  ssl-load           the TLS library cannot be used ({ssl-load})
  ssl-setup          TLS method, context, cipher list or session set-up failed
  ssl-handshake      the TLS handshake failed ("Error connecting with SSL. ...")
  ssl-library        a TLS error while sending or receiving
  connection-closed  the server closed too early ({connection-closed})
  read-timeout       no data for {read} seconds, or no whole answer {press} seconds after
                     the request was sent ({read-timeout})
  line-too-long      a response line over {line} bytes ({line-too-long})
  http-status        a final status outside 200..299 (the message is the status line)
  body-too-large     a response body over {body} MiB ({body-too-large})
  head-too-large     a status line, header and trailer lines over {head} MiB together
                     ({head-too-large})
  internal           a fault of the program itself, not of the exchange

Exit status: 0 when every URL succeeded, 1 when any failed, 2 for a usage error.
)";

// The kinds whose message the help quotes.
constexpr queue::FailureKind kKindsWithFixedText[] = {
    queue::ClientFailure::kUnknownProtocol,  queue::ClientFailure::kHostRequired,
    queue::ClientFailure::kPortRequired,     queue::ClientFailure::kInvalidIOHandler,
    queue::ClientFailure::kUriEmptyHost,     queue::ClientFailure::kSslLoad,
    queue::ClientFailure::kConnectionClosed, queue::ClientFailure::kReadTimeout,
    queue::ClientFailure::kLineTooLong,      queue::ClientFailure::kBodyTooLarge,
    queue::ClientFailure::kHeadTooLarge,
};

// The help text with the limits and messages the client really has.
std::string HelpText() {
  constexpr std::size_t kMiB = 1024 * 1024;
  const queue::ClientLimits limits;
  const std::pair<std::string, std::string> values[] = {
      {"{connect}", std::to_string(limits.connect_timeout_ms / 1000)},
      {"{read}", std::to_string(limits.read_timeout_ms / 1000)},
      {"{press}", std::to_string(limits.press_timeout_ms / 1000)},
      {"{line}", std::to_string(queue::kMaxLineLength)},
      {"{body}", std::to_string(limits.max_body_bytes / kMiB)},
      {"{head}", std::to_string(queue::kMaxHeadBytes / kMiB)},
  };
  std::vector<std::pair<std::string, std::string>> fills(std::begin(values), std::end(values));
  for (const queue::FailureKind kind : kKindsWithFixedText) {
    fills.emplace_back("{" + std::string(kind.name()) + "}",
                       "\"" + std::string(kind.fixed_text()) + "\"");
  }
  std::string text = kHelpTemplate;
  for (const auto& [name, value] : fills) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at))
      text.replace(at, name.size(), value);
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(HelpText().c_str(), stderr);
    return 2;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("qget %s\n", queue::kVersionText);
    return 0;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(HelpText().c_str(), stdout);
    return 0;
  }
  queue::HttpClient client;
  bool all_succeeded = true;
  for (int i = 1; i < argc; ++i) {
    std::optional<std::u16string> answer;
    std::string failure_line;
    try {
      queue::RunNextPress(client, queue::Utf8ToUtf16(argv[i]),
                          [&answer](std::u16string taken) { answer = std::move(taken); });
    } catch (const queue::Failure& failure) {
      failure_line = queue::qget::FailureLine(failure);
    } catch (const std::exception& fault) {
      failure_line = queue::qget::InternalFailureLine(fault.what());
    }
    if (answer) {
      queue::qget::WriteSuccessLine(stdout, *answer);
    } else {
      std::puts(failure_line.c_str());
      all_succeeded = false;
    }
    std::fflush(stdout);
  }
  return all_succeeded ? 0 : 1;
}
