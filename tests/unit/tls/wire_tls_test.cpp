// https through the real HTTP client against the in-process TLS peer: the exchange, the scheme
// changing between requests of one client, and what the operator reads when TLS goes wrong.
#include <gtest/gtest.h>

#include "core/text.h"
#include "queueclient/http_client.h"
#include "tests/support/scripted_server.h"
#include "tests/support/tls_peer.h"
#include "tests/support/wire_helpers.h"

namespace queue::testing {
namespace {

std::u16string HttpsUrl(const TlsPeer& peer, std::u16string_view scheme = u"https") {
  return std::u16string(scheme) +
         WithPort16(u"://127.0.0.1:{port}/getQueue?operator=3", peer.port());
}

TlsPeerOptions Answering(std::string_view body) {
  TlsPeerOptions options;
  options.answer = OkResponse(body);
  return options;
}

// One press of Next over https: the exact head goes through TLS, the body comes back, and the
// disconnect ends the session with a close notification.
TEST(WireTlsTest, GetOverHttpsReturnsTheBody) {
  TlsPeer peer(Answering("A-017"));
  HttpClient client;
  EXPECT_EQ(client.Get(HttpsUrl(peer)), u"A-017");
  client.Disconnect();
  const auto sessions = peer.WaitForSessions(1);
  ASSERT_EQ(sessions.size(), 1u);
  EXPECT_EQ(sessions[0].request,
            ExpectedHead("/getQueue?operator=3", WithPort("127.0.0.1:{port}", peer.port())));
  EXPECT_EQ(sessions[0].server_name, "127.0.0.1");
  EXPECT_TRUE(sessions[0].close_notify);
}

// The scheme is matched without regard to case.
TEST(WireTlsTest, UpperCaseSchemeIsHttps) {
  TlsPeer peer(Answering("B-002"));
  HttpClient client;
  EXPECT_EQ(client.Get(HttpsUrl(peer, u"HTTPS")), u"B-002");
  client.Disconnect();
  EXPECT_EQ(peer.WaitForSessions(1).size(), 1u);
}

// A clerk who corrects the scheme of the address is not refused: each request gets the
// transport its scheme needs, in either order, within one client.
TEST(WireTlsTest, HttpAndHttpsInEitherOrder) {
  ScriptedServer plain({Answer(OkResponse("plain 1")), Answer(OkResponse("plain 2"))});
  TlsPeer tls(Answering("secure"));
  HttpClient client;
  const std::u16string plain_url = plain.Url16("/getQueue?operator=1");
  EXPECT_EQ(client.Get(plain_url), u"plain 1");
  client.Disconnect();
  EXPECT_EQ(client.Get(HttpsUrl(tls)), u"secure");
  client.Disconnect();
  EXPECT_EQ(client.Get(plain_url), u"plain 2");
  client.Disconnect();
  EXPECT_EQ(client.Get(HttpsUrl(tls)), u"secure");
  client.Disconnect();
  EXPECT_EQ(tls.WaitForSessions(2).size(), 2u);
  EXPECT_TRUE(plain.AwaitRequests(2));
}

// A TLS server that never answers: the call ends after the read bound with "Read timed out.".
TEST(WireTlsTest, SilentServerTimesOut) {
  TlsPeerOptions options;
  options.behaviour = TlsPeerBehaviour::kStopAfterHandshake;
  TlsPeer peer(options);
  ClientLimits limits;
  limits.read_timeout_ms = 300;
  HttpClient client(limits);
  const auto failure = CatchFailure([&] { client.Get(HttpsUrl(peer)); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, ClientFailure::kReadTimeout);
  EXPECT_EQ(failure->message, "Read timed out.");
}

// A server that closes in the handshake; the next press starts afresh and succeeds.
TEST(WireTlsTest, HandshakeFailureThenSuccess) {
  TlsPeerOptions closing;
  closing.behaviour = TlsPeerBehaviour::kCloseDuringHandshake;
  TlsPeer broken(closing);
  TlsPeer working(Answering("C-100"));
  HttpClient client;
  const auto failure = CatchFailure([&] { client.Get(HttpsUrl(broken)); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, ClientFailure::kSslHandshake);
  EXPECT_EQ(failure->message,
            "Error connecting with SSL.\r\nEOF was observed that violates the protocol");
  client.Disconnect();
  EXPECT_EQ(client.Get(HttpsUrl(working)), u"C-100");
}

// A body read to the close of the session.
TEST(WireTlsTest, BodyReadToTheOrderlyClose) {
  TlsPeerOptions options;
  options.answer = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nD-555";
  options.answer_end = TlsPeerOptions::AnswerEnd::kCloseNotify;
  TlsPeer peer(options);
  HttpClient client;
  EXPECT_EQ(client.Get(HttpsUrl(peer)), u"D-555");
}

}  // namespace
}  // namespace queue::testing
