// The TLS channel against a real TLS peer on loopback: versions, certificates, the server
// name, and every way a handshake or an exchange can go wrong.
#include "queueclient/tls/tls_channel.h"
#include "tests/support/row_names.h"

#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <string>

#include "queueclient/failure.h"
#include "tests/support/tls_peer.h"
#include "tests/support/wire_helpers.h"

namespace queue::testing {
namespace {

constexpr std::string_view kRequest = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
// Short enough that a test of a silent peer ends quickly; the program uses 30 s.
constexpr int kShortTimeoutMs = 300;
constexpr int kTimeoutMs = 10000;

std::unique_ptr<Channel> Connect(const TlsPeer& peer, const std::string& name = "127.0.0.1",
                                 int timeout_ms = kTimeoutMs) {
  return ConnectTls(ConnectToLoopback(peer.port()), name, timeout_ms,
                    std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs));
}

// Everything the peer sends until its orderly close.
std::string ReceiveToClose(Channel& channel) {
  std::string received;
  char buffer[1024];
  while (const std::size_t count = channel.Receive(buffer, sizeof(buffer))) {
    received.append(buffer, count);
  }
  return received;
}

std::string ReceiveSome(Channel& channel) {
  char buffer[1024];
  return std::string(buffer, channel.Receive(buffer, sizeof(buffer)));
}

struct VersionCase {
  const char* name;
  TlsPeerVersion peer;
  int negotiated;
};
QUEUE_PRINT_ROWS_BY(VersionCase, name)

class TlsVersionTest : public ::testing::TestWithParam<VersionCase> {};

// Old servers speak TLS 1.0 only, current ones 1.2 or 1.3 only: all must answer.
TEST_P(TlsVersionTest, ExchangesRequestAndAnswer) {
  TlsPeerOptions options;
  options.version = GetParam().peer;
  TlsPeer peer(options);
  auto channel = Connect(peer);
  channel->SendAll(kRequest);
  EXPECT_EQ(ReceiveSome(*channel), "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
  channel->Close();
  const auto sessions = peer.WaitForSessions(1);
  ASSERT_EQ(sessions.size(), 1u);
  EXPECT_EQ(sessions[0].version, GetParam().negotiated);
  EXPECT_EQ(sessions[0].request, kRequest);
  EXPECT_TRUE(sessions[0].close_notify) << "the session ends with a close notification";
}

INSTANTIATE_TEST_SUITE_P(
    Versions, TlsVersionTest,
    ::testing::Values(VersionCase{"Tls10", TlsPeerVersion::kTls10Only, TLS1_VERSION},
                      VersionCase{"Tls12", TlsPeerVersion::kTls12Only, TLS1_2_VERSION},
                      VersionCase{"Tls13", TlsPeerVersion::kTls13Only, TLS1_3_VERSION},
                      VersionCase{"Newest", TlsPeerVersion::kAny, TLS1_3_VERSION}),
    [](const auto& info) { return std::string(info.param.name); });

// Certificates are not verified: an expired one goes through like a self-signed one.
struct CertificateCase {
  const char* name;
  TlsPeerCertificate certificate;
};
QUEUE_PRINT_ROWS_BY(CertificateCase, name)

class TlsCertificateTest : public ::testing::TestWithParam<CertificateCase> {};

TEST_P(TlsCertificateTest, IsAccepted) {
  TlsPeerOptions options;
  options.certificate = GetParam().certificate;
  TlsPeer peer(options);
  auto channel = Connect(peer);
  channel->SendAll(kRequest);
  EXPECT_EQ(ReceiveSome(*channel), options.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Certificates, TlsCertificateTest,
    ::testing::Values(CertificateCase{"SelfSigned", TlsPeerCertificate::kSelfSigned},
                      CertificateCase{"Expired", TlsPeerCertificate::kExpired}),
    [](const auto& info) { return std::string(info.param.name); });

// The host goes out as the server name, also when it is an address.
struct ServerNameCase {
  const char* name;
  const char* host;
};
QUEUE_PRINT_ROWS_BY(ServerNameCase, name)

class TlsServerNameTest : public ::testing::TestWithParam<ServerNameCase> {};

TEST_P(TlsServerNameTest, SendsTheHostAsServerName) {
  const std::string name = GetParam().host;
  TlsPeer peer;
  Connect(peer, name)->Close();
  const auto sessions = peer.WaitForSessions(1);
  ASSERT_EQ(sessions.size(), 1u);
  EXPECT_EQ(sessions[0].server_name, name);
}

INSTANTIATE_TEST_SUITE_P(Hosts, TlsServerNameTest,
                         ::testing::Values(ServerNameCase{"HostName", "queue.example"},
                                           ServerNameCase{"IPv4Address", "127.0.0.1"},
                                           ServerNameCase{"IPv6Address", "::1"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A server that ends the session after the answer: the answer, then the orderly close.
TEST(TlsChannelTest, OrderlyCloseAfterTheAnswerReadsAsZero) {
  TlsPeerOptions options;
  options.answer = "HTTP/1.1 200 OK\r\n\r\nread to the close";
  options.answer_end = TlsPeerOptions::AnswerEnd::kCloseNotify;
  TlsPeer peer(options);
  auto channel = Connect(peer);
  channel->SendAll(kRequest);
  EXPECT_TRUE(channel->WaitReadable(kTimeoutMs));
  EXPECT_EQ(ReceiveToClose(*channel), options.answer);
  EXPECT_TRUE(channel->WaitReadable(0)) << "the close stays readable";
  char byte;
  EXPECT_EQ(channel->Receive(&byte, 1), 0u) << "a closed session stays closed";
}

struct HandshakeFailureCase {
  const char* name;
  TlsPeerBehaviour behaviour;
  FailureKind kind;
  int socket_error;  // 0 for a TLS failure
  const char* message;
};
QUEUE_PRINT_ROWS_BY(HandshakeFailureCase, name)

class TlsHandshakeFailureTest : public ::testing::TestWithParam<HandshakeFailureCase> {};

TEST_P(TlsHandshakeFailureTest, GivesTheComposedFailure) {
  const HandshakeFailureCase& c = GetParam();
  TlsPeerOptions options;
  options.behaviour = c.behaviour;
  TlsPeer peer(options);
  const auto failure = CatchFailure([&] { Connect(peer, "127.0.0.1", kShortTimeoutMs); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, c.kind);
  EXPECT_EQ(failure->socket_error, c.socket_error);
  EXPECT_EQ(failure->message, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Peers, TlsHandshakeFailureTest,
    ::testing::Values(
        HandshakeFailureCase{
            "CloseDuringHandshake", TlsPeerBehaviour::kCloseDuringHandshake,
            ClientFailure::kSslHandshake, 0,
            "Error connecting with SSL.\r\nEOF was observed that violates the protocol"},
        // A reset is the socket failure, not a TLS text.
        HandshakeFailureCase{"ResetDuringHandshake", TlsPeerBehaviour::kResetDuringHandshake,
                             ClientFailure::kSocket, 10054,
                             "Socket Error # 10054\r\nConnection reset by peer."},
        // The hello and then nothing: the handshake's receive times out, a socket error.
        HandshakeFailureCase{"SilenceAfterServerHello", TlsPeerBehaviour::kStopAfterServerHello,
                             ClientFailure::kSocket, 10060,
                             "Socket Error # 10060\r\nConnection timed out."}),
    [](const auto& info) { return std::string(info.param.name); });

// Something that is not TLS at all answers the hello: the library's protocol error text.
TEST(TlsHandshakeTest, PlainAnswerIsTheProtocolFailure) {
  TlsPeerOptions options;
  options.behaviour = TlsPeerBehaviour::kNotTls;
  TlsPeer peer(options);
  const auto failure = CatchFailure([&] { Connect(peer); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, ClientFailure::kSslHandshake);
  const std::string& message = failure->message;
  const std::string lead = "Error connecting with SSL.\r\n";
  ASSERT_EQ(message.substr(0, lead.size()), lead);
  const std::string library_text = message.substr(lead.size());
  EXPECT_FALSE(library_text.empty());
  EXPECT_EQ(library_text.find('\n'), std::string::npos);
  EXPECT_NE(library_text, "EOF was observed that violates the protocol");
}

// A server that closes the connection without ending the session: the answer, then the
// library failure, since the close cannot be told from a cut-off connection.
TEST(TlsChannelTest, CloseWithoutNotificationIsTheEofFailure) {
  TlsPeerOptions options;
  options.answer = "HTTP/1.1 200 OK\r\n\r\ncut";
  options.answer_end = TlsPeerOptions::AnswerEnd::kCloseWithoutNotify;
  TlsPeer peer(options);
  auto channel = Connect(peer);
  channel->SendAll(kRequest);
  std::string received;
  const auto failure = CatchFailure([&] {
    // An orderly close would end the loop and leave no failure.
    for (std::string part; !(part = ReceiveSome(*channel)).empty();) received += part;
  });
  EXPECT_EQ(received, options.answer);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, ClientFailure::kSslLibrary);
  EXPECT_EQ(failure->message, "EOF was observed that violates the protocol");
}

// A peer that completes the handshake and then never answers: the receive gives up.
TEST(TlsChannelTest, SilentPeerGivesReadTimedOut) {
  TlsPeerOptions options;
  options.behaviour = TlsPeerBehaviour::kStopAfterHandshake;
  TlsPeer peer(options);
  auto channel = Connect(peer, "127.0.0.1", kShortTimeoutMs);
  channel->SendAll(kRequest);
  const auto failure = CatchFailure([&] { ReceiveSome(*channel); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, ClientFailure::kReadTimeout);
  EXPECT_EQ(failure->message, "Read timed out.");
}

// TLS 1.3 servers send session tickets unasked after the handshake: those are bytes on the
// socket but no data, so the channel is not readable until the answer comes.
TEST(TlsChannelTest, ReadableOnlyForDataOrClose) {
  TlsPeerOptions silent;
  silent.behaviour = TlsPeerBehaviour::kStopAfterHandshake;
  silent.version = TlsPeerVersion::kTls13Only;
  TlsPeer silent_peer(silent);
  auto quiet = Connect(silent_peer);
  EXPECT_FALSE(quiet->WaitReadable(200));

  TlsPeer answering_peer;
  auto channel = Connect(answering_peer);
  channel->SendAll(kRequest);
  EXPECT_TRUE(channel->WaitReadable(kTimeoutMs));
  EXPECT_EQ(ReceiveSome(*channel), TlsPeerOptions().answer);
  EXPECT_FALSE(channel->WaitReadable(0));
}

// A peer that has gone away: sending fails with the socket failure instead of raising the
// broken-pipe signal that would end the program.
TEST(TlsChannelTest, SendToVanishedPeerIsTheSocketFailure) {
  TlsPeerOptions options;
  options.behaviour = TlsPeerBehaviour::kStopAfterHandshake;
  auto peer = std::make_unique<TlsPeer>(options);
  auto channel = Connect(*peer);
  peer.reset();
  const std::string chunk(16384, 'x');
  const auto failure = CatchFailure([&] {
    for (int i = 0; i < 1000; ++i) channel->SendAll(chunk);
  });
  ASSERT_TRUE(failure);
  EXPECT_TRUE(failure->socket_error == 10053 || failure->socket_error == 10054) << failure->message;
}

}  // namespace
}  // namespace queue::testing
