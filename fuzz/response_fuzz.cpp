// A whole response as it reaches Get: interim heads, the final head, its cookies, the status
// rules, the body in whatever framing the head announces, the body's character set and its
// decoding, read in the order the client reads them. The first input byte chooses how the
// bytes arrive (whole or in small segments) and what follows them (close, reset, silence);
// the second chooses the body bound. Properties: a body never exceeds its bound, the header list
// (trailer and meta lines included) never holds more than its bound of lines, and bytes that
// end in an orderly close give the same result whether they arrive whole or in pieces.
#include <optional>

#include "fuzz/fuzz_support.h"
#include "queueclient/charset/charset.h"
#include "queueclient/cookies/cookie_store.h"
#include "queueclient/failure.h"
#include "queueclient/http/body_reader.h"
#include "queueclient/http/buffered_reader.h"
#include "queueclient/http/response_head_reader.h"
#include "queueclient/http/status_rules.h"
#include "queueclient/http/uri.h"
#include "queueclient/socket/memory_channel.h"

namespace {

using queue::MemoryChannel;

// As many interim heads as the client reads before a 100 counts as final.
constexpr int kMaxInterimHeads = 100;

struct Outcome {
  std::optional<queue::FailureKind> failure;
  std::u16string message;
  int status_code = 0;
  std::u16string answer;
  std::u16string cookie_line;
  bool keep_alive = false;

  bool operator==(const Outcome&) const = default;
};

Outcome ReadResponse(std::vector<std::string> segments, MemoryChannel::End end,
                     std::size_t max_body_bytes) {
  static const queue::Uri uri = [] {
    queue::Uri current;
    queue::MergeIntoCurrent(current, queue::ParseUrl(u"http://queue.test/app/getQueue?operator=1"));
    return current;
  }();
  MemoryChannel channel(std::move(segments), end);
  queue::BufferedReader reader(channel);
  queue::ResponseRecord record;
  queue::CookieStore cookies(std::make_shared<fuzz::FixedClock>());
  Outcome outcome;
  try {
    int interim_heads = 0;
    do {
      queue::ReadResponseHead(reader, record);
      cookies.AddServerCookies(record.headers.Values(u"Set-Cookie"), uri);
    } while (queue::StatusCodeOf(record.status_line) == 100 && ++interim_heads < kMaxInterimHeads);
    outcome.status_code = queue::StatusCodeOf(record.status_line);
    queue::OutcomeOf(outcome.status_code);
    std::string body;
    const queue::BodyPresence presence = queue::BodyPresenceOf(outcome.status_code, record);
    if (presence == queue::BodyPresence::kRead ||
        (presence == queue::BodyPresence::kReadIfPending && reader.HasPendingData(0))) {
      queue::ReadBody(reader, record, max_body_bytes, body);
      fuzz::Require(body.size() <= max_body_bytes, "a body stays within its bound");
      queue::CharsetFromBody(record, body);
    }
    outcome.answer = queue::DecodeBody(body, record.charset);
    outcome.keep_alive = queue::HeadersAllowKeepAlive(record);
  } catch (const queue::Failure& failure) {
    outcome.failure = failure.kind();
    outcome.message = failure.message();
  }
  fuzz::Require(record.headers.lines().size() <= queue::kMaxHeaderLines,
                "the header list stays within its bound");
  outcome.cookie_line = cookies.GenerateClientCookies(uri, false);
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const std::uint8_t arrival = input.Byte();
  const std::size_t max_body_bytes = 1 + std::size_t{input.Byte()} * 16;
  const std::string_view bytes = input.Rest();
  const std::size_t step = arrival >> 2;  // 0: all at once; else 1 to 63 bytes a segment
  const auto end = static_cast<MemoryChannel::End>((arrival & 3) % 3);

  const Outcome pieces = ReadResponse(fuzz::Segments(bytes, step), end, max_body_bytes);
  if (end == MemoryChannel::End::kClose && step != 0) {
    const Outcome whole = ReadResponse(fuzz::Segments(bytes, 0), end, max_body_bytes);
    fuzz::Require(pieces == whole, "the result does not depend on how the bytes arrive");
  }
  return 0;
}
