// Each failure the client can raise while it connects, sends and receives, with its exact
// message, against real loopback sockets. The comment above each hostile server names the
// threat it stands for.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "core/text.h"
#include "queueclient/http_client.h"
#include "queueclient/socket/socket_platform.h"
#include "queueclient/socket/tcp_channel.h"
#include "tests/support/row_names.h"
#include "tests/support/scripted_server.h"
#include "tests/support/wire_helpers.h"

namespace queue::testing {
namespace {

constexpr int kShortBoundMs = 200;
constexpr std::size_t kSmallBody = 1000;

ClientLimits ShortLimits() {
  return queue::testing::ShortLimits(kShortBoundMs, kSmallBody);
}

struct ExpectedFailure {
  FailureKind kind;
  std::string message;
};

// Addresses that fail before any connection is attempted.
struct AddressCase {
  const char* name;
  std::u16string url;
  ExpectedFailure expected;
};
QUEUE_PRINT_ROWS_BY(AddressCase, name)

class AddressFailure : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressFailure, FailsWithoutConnecting) {
  ScriptedServer server({});
  HttpClient client(ShortLimits());
  const auto failure = CatchFailure([&] { client.Get(WithPort16(GetParam().url, server.port())); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, GetParam().expected.kind);
  EXPECT_EQ(failure->message, GetParam().expected.message);
  EXPECT_EQ(server.accepted(), 0u);
}

const AddressCase kAddressCases[] = {
    {"EmptyAddressFirstCall",
     u"/getQueue?operator=1",
     {ClientFailure::kUnknownProtocol, "Unknown Protocol"}},
    {"BareHostFirstCall",
     u"127.0.0.1/getQueue?operator=1",
     {ClientFailure::kUnknownProtocol, "Unknown Protocol"}},
    {"BlankBeforeSchemeFirstCall",
     u" http://127.0.0.1/getQueue?operator=1",
     {ClientFailure::kUnknownProtocol, "Unknown Protocol"}},
    {"OtherSchemeWithoutPort",
     u"ftp://127.0.0.1/x",
     {ClientFailure::kUnknownProtocol, "Unknown Protocol"}},
    {"NoHost",
     u"http:///getQueue?operator=1",
     {ClientFailure::kHostRequired, "A Host is required"}},
    {"PortZero", u"http://127.0.0.1:0/x", {ClientFailure::kPortRequired, "A Port is required"}},
    {"HttpsWithoutHost", u"https:///x", {ClientFailure::kUriEmptyHost, "Host field is empty"}},
};

INSTANTIATE_TEST_SUITE_P(Addresses, AddressFailure, ::testing::ValuesIn(kAddressCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Servers that break the exchange after the request has arrived.
struct ExchangeCase {
  const char* name;
  ConnectionScript script;
  ExpectedFailure expected;
};
QUEUE_PRINT_ROWS_BY(ExchangeCase, name)

class ExchangeFailure : public ::testing::TestWithParam<ExchangeCase> {};

TEST_P(ExchangeFailure, FailsWithMessage) {
  ScriptedServer server({GetParam().script});
  HttpClient client(ShortLimits());
  const auto failure = CatchFailure([&] { client.Get(server.Url16("/getQueue?operator=1")); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, GetParam().expected.kind);
  EXPECT_EQ(failure->message, GetParam().expected.message);
}

const ExpectedFailure kClosed{ClientFailure::kConnectionClosed, "Connection Closed Gracefully."};
const ExpectedFailure kTimedOut{ClientFailure::kReadTimeout, "Read timed out."};
const ExpectedFailure kTooLong{ClientFailure::kLineTooLong, "Max line length exceeded."};
const ExpectedFailure kTooLarge{ClientFailure::kBodyTooLarge, "Max body size exceeded."};
const std::string kChunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

const ExchangeCase kExchangeCases[] = {
    // A server that accepts and closes without answering.
    {"CloseWithoutAnswer", {ReadRequest(), Close()}, kClosed},
    {"CloseInsideStatusLine", Answer("HTTP/1.1 200"), kClosed},
    // The status line alone is not a head: the first header line must be complete too.
    {"CloseAfterStatusLine", Answer("A015\r\n"), kClosed},
    {"CloseInsideFirstHeaderLine", Answer("HTTP/1.1 200 OK\r\nContent-Le"), kClosed},
    // A reset with nothing received is the socket's own failure.
    {"ResetWithoutAnswer",
     {ReadRequest(), Reset()},
     {ClientFailure::kSocket, "Socket Error # 10054\r\nConnection reset by peer."}},
    // A reset after part of the head counts as a close.
    {"ResetInsideStatusLine", {ReadRequest(), Send("HTTP/1.1 2"), Delay(50), Reset()}, kClosed},
    // A server that accepts and never answers: bounded on plain connections too.
    {"SilentServer", {ReadRequest(), Hold()}, kTimedOut},
    {"StallInsideBody",
     {ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nA01"), Hold()},
     kTimedOut},
    // A server that keeps the connection open after headers without any framing.
    {"UnframedBodyKeptOpen",
     {ReadRequest(), Send("HTTP/1.1 200 OK\r\n\r\nA015"), Hold()},
     kTimedOut},
    {"StatusLineTooLong", Answer("HTTP/1.1 200 " + std::string(16384 - 13, 'x') + "\r\n"),
     kTooLong},
    {"HeaderLineTooLong",
     {ReadRequest(), Send("HTTP/1.1 200 OK\r\nX-Long: " + std::string(16384 - 8, 'a') + "\r\n"),
      Hold()},
     kTooLong},
    // An endless line without LF is refused before it is complete.
    {"EndlessLineWithoutLf", {ReadRequest(), Send(std::string(20000, 'x')), Hold()}, kTooLong},
    {"ChunkSizeLineTooLong",
     Answer(kChunkedHead + std::string(16385, '0') + "4\r\nA015\r\n0\r\n\r\n"), kTooLong},
    {"TrailerLineTooLong",
     Answer(kChunkedHead + "1\r\nA\r\n0\r\nX: " + std::string(16384, 'a') + "\r\n\r\n"), kTooLong},
    // A server that never stops saying "continue" gets the status failure in the end.
    {"EndlessInterimHeads",
     Answer([] {
       std::string heads;
       for (int i = 0; i < 200; ++i) heads += "HTTP/1.1 100 Continue\r\n\r\n";
       return heads;
     }()),
     {ClientFailure::kHttpStatus, "HTTP/1.1 100 Continue"}},
    // A success's chunked body cut anywhere is an incomplete answer.
    {"ChunkedCutInsideSizeLine", Answer(kChunkedHead + "4"), kClosed},
    {"ChunkedCutInsideData", Answer(kChunkedHead + "4\r\nA0"), kClosed},
    {"ChunkedCutAfterData", Answer(kChunkedHead + "4\r\nA015"), kClosed},
    {"ChunkedCutInsideTrailer", Answer(kChunkedHead + "4\r\nA015\r\n0\r\nX-T: 1\r\n"), kClosed},
    // Runaway servers: one byte over the memory bound fails, in every framing.
    {"LengthBodyTooLarge",
     Answer("HTTP/1.1 200 OK\r\nContent-Length: 1001\r\n\r\n" + std::string(1001, 'a')), kTooLarge},
    {"ChunkedBodyTooLarge",
     {ReadRequest(), Send(kChunkedHead + "3e8\r\n" + std::string(1000, 'a') + "\r\n1\r\nb\r\n"),
      Hold()},
     kTooLarge},
    {"ToCloseBodyTooLarge",
     {ReadRequest(), Send("HTTP/1.1 200 OK\r\n\r\n" + std::string(1001, 'a')), Hold()},
     kTooLarge},
    {"MultipartBodyTooLarge",
     {ReadRequest(),
      Send("HTTP/1.1 200 OK\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n" +
           std::string(1001, 'a')),
      Hold()},
     kTooLarge},
    // The bound holds for the body of a failure too.
    {"FailureBodyTooLarge",
     Answer("HTTP/1.1 404 Not Found\r\nContent-Length: 1001\r\n\r\n" + std::string(1001, 'a')),
     kTooLarge},
    // A declared size far past the bound fails once the bound is reached.
    {"HugeChunkSize",
     {ReadRequest(), Send(kChunkedHead + "ffffffffffffffffff\r\n" + std::string(1001, 'a')),
      Hold()},
     kTooLarge},
};

INSTANTIATE_TEST_SUITE_P(Exchanges, ExchangeFailure, ::testing::ValuesIn(kExchangeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A body exactly at the bound is still an answer.
TEST(BodyBound, BodyAtTheBoundIsAccepted) {
  ScriptedServer server({Answer(OkResponse(std::string(kSmallBody, 'a')))});
  HttpClient client(ShortLimits());
  EXPECT_EQ(client.Get(server.Url16("/x")).size(), kSmallBody);
}

// A port nothing listens on: bind one, note its number, close it again.
int UnusedPort() {
  StartSockets();
  const SocketHandle s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(s, reinterpret_cast<sockaddr*>(&address), length);
  ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  CloseSocket(s);
  return ntohs(address.sin_port);
}

struct RefusedCase {
  const char* name;
  const char* host;
};
QUEUE_PRINT_ROWS_BY(RefusedCase, name)

class RefusedConnection : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedConnection, FailsWithTheSocketError) {
  const char* const host = GetParam().host;
  HttpClient client(ShortLimits());
  const int port = UnusedPort();
  const auto failure = CatchFailure([&] {
    client.Get(Utf8ToUtf16("http://" + std::string(host) + ":" + std::to_string(port) + "/x"));
  });
  ASSERT_TRUE(failure) << host;
  EXPECT_EQ(failure->message, "Socket Error # 10061\r\nConnection refused.") << host;
  EXPECT_EQ(failure->socket_error, 10061);
}

INSTANTIATE_TEST_SUITE_P(Hosts, RefusedConnection,
                         ::testing::Values(RefusedCase{"IPv4Address", "127.0.0.1"},
                                           RefusedCase{"HostName", "localhost"},
                                           RefusedCase{"IPv6Address", "[::1]"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A listener whose accept queue is full drops further connection attempts, so the connect
// hangs as it does towards a host that is down: the bound ends it.
TEST(ConnectFailure, ConnectTimesOut) {
  StartSockets();
  const SocketHandle listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
  ASSERT_EQ(::listen(listener, 0), 0);
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/x";
  // Fill the queue with connections nobody accepts, until a connect no longer completes.
  std::vector<SocketHandle> fillers;
  std::optional<CaughtFailure> failure;
  for (int i = 0; i < 8 && !failure; ++i) {
    const SocketHandle filler = ::socket(AF_INET, SOCK_STREAM, 0);
    SetNonBlocking(filler, true);
    ::connect(filler, reinterpret_cast<sockaddr*>(&address), length);
    fillers.push_back(filler);
    HttpClient client(ShortLimits());
    failure = CatchFailure([&] { client.Get(Utf8ToUtf16(url)); });
    if (failure && failure->kind == ClientFailure::kReadTimeout) failure.reset();  // got in
  }
  for (const SocketHandle filler : fillers) CloseSocket(filler);
  CloseSocket(listener);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->message, "Socket Error # 10060\r\nConnection timed out.");
}

// A loopback listener of the test's own, and the address that connects to it.
struct Listener {
  Listener() {
    StartSockets();
    handle = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(handle, reinterpret_cast<sockaddr*>(&address), length);
    ::listen(handle, 1);
    ::getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length);
    std::memcpy(&target.storage, &address, sizeof address);
    target.length = sizeof address;
    target.family = AF_INET;
  }
  ~Listener() { CloseSocket(handle); }
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;

  TcpChannel Connect() const {
    return TcpChannel(ConnectSocket(target, WaitClock::now() + std::chrono::seconds(5)),
                      kShortBoundMs);
  }

  SocketHandle handle;
  SocketAddress target;
};

// Far more than any system's socket buffers hold, so that sends meet full buffers.
constexpr int kChunks = 64;
const std::string kChunk(1 << 20, 'x');

// A peer that takes every byte, however fast: each send that finds the buffers full waits for
// room instead of failing.
TEST(Sending, WaitsForRoomWhileThePeerReads) {
  const Listener listener;
  std::size_t taken = 0;
  std::thread peer([&] {
    const SocketHandle connection = ::accept(listener.handle, nullptr, nullptr);
    char buffer[65536];
    for (;;) {
      const auto count = ::recv(connection, buffer, sizeof buffer, 0);
      if (count <= 0) break;
      taken += static_cast<std::size_t>(count);
    }
    CloseSocket(connection);
  });
  std::optional<CaughtFailure> failure;
  {
    TcpChannel channel = listener.Connect();
    failure = CatchFailure([&] {
      for (int i = 0; i < kChunks; ++i) channel.SendAll(kChunk);
    });
  }  // closed: the peer reads to the end
  peer.join();
  EXPECT_FALSE(failure) << failure->message;
  EXPECT_EQ(taken, kChunks * kChunk.size());
}

// A peer that takes nothing (its connection is never even accepted): once the buffers between
// the two are full, the send waits no longer than its bound and fails as a timed-out
// connection instead of hanging the press.
TEST(Sending, PeerThatReadsNothingTimesOut) {
  const Listener listener;
  TcpChannel channel = listener.Connect();
  const auto failure = CatchFailure([&] {
    for (int i = 0; i < kChunks; ++i) channel.SendAll(kChunk);
  });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->message, "Socket Error # 10060\r\nConnection timed out.");
}

// After a failure the next call starts afresh with a new connection.
TEST(AfterFailure, NextCallRepeatsTheExchange) {
  ScriptedServer server({{ReadRequest(), Close()}, Answer(OkResponse("A015"))});
  HttpClient client(ShortLimits());
  EXPECT_TRUE(CatchFailure([&] { client.Get(server.Url16("/getQueue?operator=1")); }));
  client.Disconnect();
  EXPECT_EQ(client.Get(server.Url16("/getQueue?operator=1")), u"A015");
  ASSERT_TRUE(server.AwaitRequests(2));
  EXPECT_EQ(server.requests()[0], server.requests()[1]);
}

}  // namespace
}  // namespace queue::testing
