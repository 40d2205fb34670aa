// Request URLs merged one after another into the client's current URI, and the request head
// built from each result. Input: URLs separated by LF, as UTF-8 (the text the clerk typed).
// Properties: parsing never fails; merging fails only as an unknown protocol; the head is
// exactly its lines, each ended by CR LF, with no other CR or LF and no control byte in it but
// the tabs of header values.
#include "fuzz/fuzz_support.h"
#include "queueclient/charset/decode_utf.h"
#include "queueclient/failure.h"
#include "queueclient/http/request_head.h"
#include "queueclient/http/uri.h"

namespace {

void CheckHead(const std::string& head, std::size_t expected_lines) {
  std::size_t lines = 0;
  for (std::size_t at = 0; at < head.size(); ++at) {
    const unsigned char byte = static_cast<unsigned char>(head[at]);
    if (byte == '\r') {
      fuzz::Require(at + 1 < head.size() && head[at + 1] == '\n', "a CR only ends a line");
      ++lines;
      ++at;
      continue;
    }
    fuzz::Require(byte != '\n', "an LF only ends a line");
    // A tab is a legal byte of a header line's value (a cookie's goes back as it came), never
    // of the request line.
    const bool tab_allowed = lines > 0 && byte == '\t';
    fuzz::Require((byte >= 0x20 && byte < 0x7F) || tab_allowed,
                  "a head line holds printable ASCII only, and tabs after the request line");
  }
  fuzz::Require(lines == expected_lines, "the head has exactly its lines");
  fuzz::Require(head.ends_with("\r\n\r\n"), "the head ends with the empty line");
  fuzz::Require(head.starts_with("GET "), "the request line is a GET");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  queue::Uri current;
  for (int urls = 0; urls < 8; ++urls) {
    const std::u16string url = queue::DecodeUtf8(input.Until('\n'));
    const queue::Uri parsed = queue::ParseUrl(url);
    try {
      queue::MergeIntoCurrent(current, parsed);
    } catch (const queue::Failure& failure) {
      fuzz::Require(failure.kind() == queue::ClientFailure::kUnknownProtocol,
                    "merging fails only for an unknown protocol");
      continue;
    }
    queue::RoutePort(current);
    queue::IsIpv6Address(current.Host);
    queue::RequestHeadFields fields;
    fields.target = queue::RequestTarget(current);
    fields.host = queue::HostValue(current);
    // Hostile text in every optional line too: the credentials and the query as they stand.
    fields.authorization =
        current.Username.empty() ? u"" : current.Username + u":" + current.Password;
    fields.cookie = current.Params;
    const std::size_t expected_lines =
        4 + !fields.host.empty() + !fields.authorization.empty() + !fields.cookie.empty();
    CheckHead(queue::BuildRequestHead(fields), expected_lines);
  }
  return 0;
}
