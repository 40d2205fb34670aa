// Hostile servers against the whole client, one per threat (the comment above each names it):
// a trickling server, one that drips a whole answer inside every read bound, a body without end,
// a flood of header or trailer lines, chunk sizes at the edge of 64 bits, and TLS peers that
// break or dribble the handshake. None may crash the client, hang it past its
// bounds or let it hold more memory than its bounds allow. The failures of single reads and
// framings are in wire_failure_test, the TLS channel's own in tls_channel_test.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/text.h"
#include "queueclient/http/response_head_reader.h"
#include "queueclient/http_client.h"
#include "tests/support/row_names.h"
#include "tests/support/scripted_server.h"
#include "tests/support/tls_peer.h"
#include "tests/support/wire_helpers.h"

namespace queue::testing {
namespace {

constexpr int kShortBoundMs = 300;
constexpr std::size_t kSmallBody = 1000;

ClientLimits ShortLimits() {
  return queue::testing::ShortLimits(kShortBoundMs, kSmallBody);
}

// The script that sends `bytes` one at a time, `pause_ms` apart.
ConnectionScript Trickle(std::string_view bytes, int pause_ms) {
  ConnectionScript script{ReadRequest()};
  for (const char byte : bytes) {
    script.push_back(Delay(pause_ms));
    script.push_back(Send(std::string(1, byte)));
  }
  return script;
}

void ExpectFailure(HttpClient& client, const std::u16string& url, FailureKind kind,
                   std::string_view message) {
  const auto failure = CatchFailure([&] { client.Get(url); });
  ASSERT_TRUE(failure) << "the call succeeded";
  EXPECT_EQ(failure->kind, kind);
  EXPECT_EQ(failure->message, message);
}

// A server that sends one byte at a time, each well inside the read bound though the whole
// answer takes many bounds long: every byte restarts the bound, so the answer arrives.
TEST(FaultNetwork, TricklingServerIsServedByteByByte) {
  const std::string response = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nA015";
  ScriptedServer server({Trickle(response, kShortBoundMs / 4)});
  HttpClient client(ShortLimits());
  EXPECT_EQ(client.Get(server.Url16("/getQueue?operator=1")), u"A015");
}

// A trickling server that falls silent in the middle of its head: the call ends one bound
// after the last byte, not at some later time.
TEST(FaultNetwork, TricklingServerThatStopsTimesOut) {
  ConnectionScript script = Trickle("HTTP/1.1 200 OK\r\nContent-Le", kShortBoundMs / 4);
  script.push_back(Hold());
  ScriptedServer server({script});
  HttpClient client(ShortLimits());
  ExpectFailure(client, server.Url16("/getQueue?operator=1"), ClientFailure::kReadTimeout,
                "Read timed out.");
}

// A server that drips a whole answer one byte at a time, each byte well inside the read bound,
// so that no single read ever times out: the press as a whole ends at its own bound, though the
// same answer at the same pace is served when it fits in the press's time (the test above).
TEST(FaultNetwork, DrippingServerEndsAtThePressBound) {
  const std::string response = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nA015";
  ScriptedServer server({Trickle(response, kShortBoundMs / 3)});
  ClientLimits limits = ShortLimits();
  limits.press_timeout_ms = 3 * kShortBoundMs;  // a few bytes' time, far less than the answer's
  HttpClient client(limits);
  ExpectFailure(client, server.Url16("/getQueue?operator=1"), ClientFailure::kReadTimeout,
                "Read timed out.");
}

// A body that never ends, against the program's own 64 MiB bound (not a shortened one): the
// call fails once the bound is passed instead of filling the memory.
TEST(FaultNetwork, EndlessBodyStopsAtTheRealBound) {
  ScriptedServer server(
      {{ReadRequest(), Send("HTTP/1.1 200 OK\r\n\r\n"), Send(std::string(kMaxBodyBytes, 'a')),
        Send(std::string(64 * 1024, 'b')), Hold()}});
  ClientLimits limits;
  limits.read_timeout_ms = 5000;  // only a broken client would wait for it
  HttpClient client(limits);
  ExpectFailure(client, server.Url16("/getQueue?operator=1"), ClientFailure::kBodyTooLarge,
                "Max body size exceeded.");
}

// A head of 10,000 header lines, each one a new cookie: the head is read to its end and the
// body after it is the answer, while the header list and the cookie store stay within their
// bounds (the next request carries at most the store's per-domain count of cookies).
TEST(FaultNetwork, TenThousandHeaderLines) {
  std::string head = "HTTP/1.1 200 OK\r\n";
  for (int i = 0; i < 10000; ++i) head += "Set-Cookie: c" + std::to_string(i) + "=v\r\n";
  ScriptedServer server({Answer(head + "\r\nA015"), Answer(OkResponse("A016"))});
  HttpClient client(ShortLimits());
  EXPECT_EQ(client.Get(server.Url16("/getQueue?operator=1")), u"A015");
  EXPECT_EQ(client.Get(server.Url16("/getQueue?operator=1")), u"A016");
  ASSERT_TRUE(server.AwaitRequests(2));
  const std::string second = server.requests()[1];
  const std::size_t cookie_line = second.find("\r\nCookie: ");
  ASSERT_NE(cookie_line, std::string::npos) << second;
  const std::size_t line_end = second.find("\r\n", cookie_line + 2);
  const std::string cookies = second.substr(cookie_line, line_end - cookie_line);
  const auto sent = std::count(cookies.begin(), cookies.end(), '=');
  EXPECT_GT(sent, 0);
  EXPECT_LE(sent, 50);
}

// Header or trailer lines without end (here twice the bound of head and trailers, then
// silence): the header list keeps its bound of lines, and the press fails once the bytes of the
// head and trailers pass theirs, long before the read bound would end it. Trailer lines past the
// kept number that stay within the bytes are read and dropped, and the answer stands.
struct LineFloodCase {
  const char* name;
  bool in_trailers;  // after the last chunk, or in the head
  std::size_t bytes;
  bool fails;
};
QUEUE_PRINT_ROWS_BY(LineFloodCase, name)

class LineFlood : public ::testing::TestWithParam<LineFloodCase> {};

TEST_P(LineFlood, StaysWithinTheHeadBounds) {
  std::string lines;
  for (int i = 0; lines.size() < GetParam().bytes; ++i)
    lines += "X-T" + std::to_string(i) + ": v\r\n";
  const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n";
  ConnectionScript script{ReadRequest()};
  if (GetParam().in_trailers) {
    script.push_back(Send(chunked + "\r\n4\r\nA015\r\n0\r\n" + lines));
  } else {
    script.push_back(Send(chunked + lines + "\r\n4\r\nA015\r\n0\r\n"));
  }
  if (GetParam().fails) {
    script.push_back(Hold());
  } else {
    script.push_back(Send("\r\n"));
  }
  ScriptedServer server({script});
  ClientLimits limits = ShortLimits();
  limits.read_timeout_ms = 10000;  // the failure must come from the head's bound
  HttpClient client(limits);
  if (GetParam().fails) {
    ExpectFailure(client, server.Url16("/x"), ClientFailure::kHeadTooLarge,
                  "Max header size exceeded.");
  } else {
    EXPECT_EQ(client.Get(server.Url16("/x")), u"A015");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Floods, LineFlood,
    ::testing::Values(LineFloodCase{"EndlessHeaderLines", false, 2 * kMaxHeadBytes, true},
                      LineFloodCase{"EndlessTrailerLines", true, 2 * kMaxHeadBytes, true},
                      LineFloodCase{"TrailerLinesPastTheKeptNumber", true, 100 * 1024, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Chunk sizes that a signed 64-bit reading turns negative (8000000000000000) or that fill all
// 64 bits (FFFFFFFFFFFFFFFF): either is a size like any other huge one, so the body grows to
// the bound and fails there; a close before that is an incomplete body. Neither may wrap a
// count, read outside the buffer or allocate the declared size.
struct HugeChunkCase {
  const char* name;
  const char* size_line;
  bool close_early;  // the server closes after a few data bytes
};
QUEUE_PRINT_ROWS_BY(HugeChunkCase, name)

class HugeChunk : public ::testing::TestWithParam<HugeChunkCase> {};

TEST_P(HugeChunk, FailsWithinTheBound) {
  const std::string head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  ConnectionScript script{ReadRequest(), Send(head + GetParam().size_line + "\r\n")};
  if (GetParam().close_early) {
    script.push_back(Send("A015"));
    script.push_back(Close());
  } else {
    script.push_back(Send(std::string(kSmallBody + 1, 'a')));
    script.push_back(Hold());
  }
  ScriptedServer server({script});
  HttpClient client(ShortLimits());
  if (GetParam().close_early) {
    ExpectFailure(client, server.Url16("/x"), ClientFailure::kConnectionClosed,
                  "Connection Closed Gracefully.");
  } else {
    ExpectFailure(client, server.Url16("/x"), ClientFailure::kBodyTooLarge,
                  "Max body size exceeded.");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, HugeChunk,
    ::testing::Values(HugeChunkCase{"SignBitPastBound", "8000000000000000", false},
                      HugeChunkCase{"SignBitThenClose", "8000000000000000", true},
                      HugeChunkCase{"AllBitsPastBound", "FFFFFFFFFFFFFFFF", false},
                      HugeChunkCase{"AllBitsThenClose", "ffffffffffffffff", true}),
    [](const auto& info) { return std::string(info.param.name); });

// TLS peers that break the handshake, through the whole call: a reset right after the client's
// hello is the socket failure; a ServerHello and then silence ends at the bound. Either way the
// next press over a good connection succeeds.
struct BrokenHandshakeCase {
  const char* name;
  TlsPeerBehaviour behaviour;
  FailureKind kind;
  const char* message;
};
QUEUE_PRINT_ROWS_BY(BrokenHandshakeCase, name)

class BrokenHandshake : public ::testing::TestWithParam<BrokenHandshakeCase> {};

TEST_P(BrokenHandshake, FailsAndTheNextCallWorks) {
  TlsPeerOptions options;
  options.behaviour = GetParam().behaviour;
  TlsPeer peer(options);
  HttpClient client(ShortLimits());
  ExpectFailure(client, WithPort16(u"https://127.0.0.1:{port}/getQueue?operator=1", peer.port()),
                GetParam().kind, GetParam().message);
  ScriptedServer server({Answer(OkResponse("A015"))});
  EXPECT_EQ(client.Get(server.Url16("/getQueue?operator=1")), u"A015");
}

INSTANTIATE_TEST_SUITE_P(
    Peers, BrokenHandshake,
    ::testing::Values(BrokenHandshakeCase{"ResetDuringHandshake",
                                          TlsPeerBehaviour::kResetDuringHandshake,
                                          ClientFailure::kSocket,
                                          "Socket Error # 10054\r\nConnection reset by peer."},
                      BrokenHandshakeCase{
                          "SilenceAfterServerHello", TlsPeerBehaviour::kStopAfterServerHello,
                          ClientFailure::kSocket, "Socket Error # 10060\r\nConnection timed out."}),
    [](const auto& info) { return std::string(info.param.name); });

// A TLS peer that dribbles its handshake one byte at a time, each byte well inside the read
// bound: the handshake as a whole ends at the connect bound, as a connect that takes too long
// does, not after the minute the peer's flight would take.
TEST(FaultNetwork, DribbledHandshakeEndsAtTheConnectBound) {
  TlsPeerOptions options;
  options.behaviour = TlsPeerBehaviour::kDribbleHandshake;
  options.dribble_pause_ms = kShortBoundMs / 6;
  TlsPeer peer(options);
  ClientLimits limits = ShortLimits();
  limits.connect_timeout_ms = 2 * kShortBoundMs;
  HttpClient client(limits);
  ExpectFailure(client, WithPort16(u"https://127.0.0.1:{port}/getQueue?operator=1", peer.port()),
                ClientFailure::kSocket, "Socket Error # 10060\r\nConnection timed out.");
}

}  // namespace
}  // namespace queue::testing
