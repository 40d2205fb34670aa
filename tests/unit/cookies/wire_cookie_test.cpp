// Cookies through the real client against loopback servers: what one answer sets comes back on
// the next request, from interim and failure heads too; Secure cookies stay on https; cookies
// named in an HTML body are not taken.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text.h"
#include "queueclient/http_client.h"
#include "tests/support/row_names.h"
#include "tests/support/scripted_server.h"
#include "tests/support/tls_peer.h"
#include "tests/support/wire_helpers.h"

namespace queue::testing {
namespace {

constexpr char kTarget[] = "/getQueue?operator=1";

// A 200 answer with the given header lines (each ending in CR LF) and the body "ok".
std::string OkWith(std::string_view header_lines) {
  return "HTTP/1.1 200 OK\r\n" + std::string(header_lines) + "Content-Length: 2\r\n\r\nok";
}

struct CookieRunCase {
  const char* name;
  // The answers of the run's presses, one connection each.
  std::vector<std::string> answers;
  // The Cookie line (with its CR LF) that each press after the first must carry; empty: none.
  std::vector<std::string> cookie_lines;
};
QUEUE_PRINT_ROWS_BY(CookieRunCase, name)

const std::string kHtml =
    "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nSet-Cookie: h=1\r\n\r\n"
    "<html><head><meta http-equiv=\"Set-Cookie\" content=\"m=1\"></head><body>ok</body></html>";

const CookieRunCase kRunCases[] = {
    {"OneAnswerSetsTheNextRequestSends",
     {OkWith("Set-Cookie: a=1\r\n"), OkWith(""), OkWith("")},
     {"Cookie: a=1\r\n", "Cookie: a=1\r\n"}},
    {"SeveralLinesInArrivalOrderAnyNameCase",
     {OkWith("Set-Cookie: a=1\r\nset-COOKIE: b=2\r\nSet-Cookie: c=3\r\n"), OkWith("")},
     {"Cookie: a=1; b=2; c=3\r\n"}},
    // A folded value is one value.
    {"FoldedValue",
     {OkWith("Set-Cookie: a=1;\r\n Max-Age=60\r\n"), OkWith("")},
     {"Cookie: a=1\r\n"}},
    // Both heads give their cookies: the interim 100 one and the final one.
    {"InterimHead",
     {"HTTP/1.1 100 Continue\r\nSet-Cookie: interim=1\r\n\r\n" + OkWith("Set-Cookie: final=1\r\n"),
      OkWith("")},
     {"Cookie: interim=1; final=1\r\n"}},
    // The failure's cookies are taken before its status fails the call.
    {"FailureResponse",
     {"HTTP/1.1 404 Not Found\r\nSet-Cookie: e=1\r\nContent-Length: 0\r\n\r\n", OkWith("")},
     {"Cookie: e=1\r\n"}},
    {"ReplacedThenDeleted",
     {OkWith("Set-Cookie: a=1\r\nSet-Cookie: b=1\r\n"), OkWith("Set-Cookie: a=2\r\n"),
      OkWith("Set-Cookie: a=x; Max-Age=-1\r\n"), OkWith("")},
     {"Cookie: a=1; b=1\r\n", "Cookie: b=1; a=2\r\n", "Cookie: b=1\r\n"}},
    // The request's directory is "/", which does not lie below /getQueue.
    {"PathBelowTheDirectoryNeverSent",
     {OkWith("Set-Cookie: a=1; Path=/getQueue\r\n"), OkWith("")},
     {""}},
    // Only the header's cookie is taken, never the one the meta element names.
    {"HtmlMetaCookieNotTaken", {kHtml, kHtml, OkWith("")}, {"Cookie: h=1\r\n", "Cookie: h=1\r\n"}},
    // A lifetime of zero or less has ended at receipt, also when the next request follows
    // within the same millisecond, and it deletes the kept cookie of the same name.
    {"ZeroOrNegativeLifetimeNeverSent",
     {OkWith("Set-Cookie: a=1; Max-Age=0\r\nSet-Cookie: b=1; Expires=0\r\n"
             "Set-Cookie: c=1; Max-Age=-1\r\n"),
      OkWith("")},
     {""}},
    {"ZeroLifetimeDeletes",
     {OkWith("Set-Cookie: a=1\r\nSet-Cookie: b=1\r\n"),
      OkWith("Set-Cookie: a=1; Max-Age=0\r\nSet-Cookie: b=1; Expires=0\r\n"), OkWith("")},
     {"Cookie: a=1; b=1\r\n", ""}},
    // A tab is a legal byte of a header value: it goes back as it came.
    {"TabInValueGoesBackAsItCame",
     {OkWith("Set-Cookie: a=x\ty\r\n"), OkWith("")},
     {"Cookie: a=x\ty\r\n"}},
    // A DEL at either end of a name or value is trimmed, as other control characters are.
    {"DelAtTheEndsIsTrimmed",
     {OkWith("Set-Cookie: \x7f"
             "a=\x7f"
             "1\x7f\r\n"),
      OkWith("")},
     {"Cookie: a=1\r\n"}},
};

class CookieRunOnWire : public ::testing::TestWithParam<CookieRunCase> {};

TEST_P(CookieRunOnWire, SendsWhatEarlierAnswersSet) {
  const CookieRunCase& c = GetParam();
  std::vector<ConnectionScript> scripts;
  for (const auto& answer : c.answers) scripts.push_back(Answer(answer));
  ScriptedServer server(scripts);
  HttpClient client;
  for (std::size_t i = 0; i < c.answers.size(); ++i) {
    // A failure status is part of some runs; only the requests matter here.
    CatchFailure([&] { client.Get(server.Url16(kTarget)); });
    client.Disconnect();
  }
  ASSERT_TRUE(server.AwaitRequests(c.answers.size()));
  const auto requests = server.requests();
  const std::string host = WithPort("127.0.0.1:{port}", server.port());
  // The first request of a run never carries a Cookie line: there is no store yet.
  EXPECT_EQ(requests[0], ExpectedHead(kTarget, host));
  for (std::size_t i = 1; i < requests.size(); ++i) {
    EXPECT_EQ(requests[i], ExpectedHead(kTarget, host, c.cookie_lines.at(i - 1))) << "press " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, CookieRunOnWire, ::testing::ValuesIn(kRunCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A Secure cookie set over https goes back on https only, never on http to the same host.
TEST(WireCookieTest, SecureCookiesStayOffHttpRequests) {
  TlsPeerOptions options;
  options.answer = OkWith("Set-Cookie: s=1; Secure\r\nSet-Cookie: p=1\r\n");
  TlsPeer tls(options);
  ScriptedServer plain({Answer(OkWith(""))});
  const std::u16string https_url =
      WithPort16(u"https://127.0.0.1:{port}/getQueue?operator=1", tls.port());
  HttpClient client;

  EXPECT_EQ(client.Get(https_url), u"ok");
  client.Disconnect();
  EXPECT_EQ(client.Get(plain.Url16(kTarget)), u"ok");
  client.Disconnect();
  EXPECT_EQ(client.Get(https_url), u"ok");
  client.Disconnect();

  ASSERT_TRUE(plain.AwaitRequests(1));
  EXPECT_EQ(plain.requests()[0],
            ExpectedHead(kTarget, WithPort("127.0.0.1:{port}", plain.port()), "Cookie: p=1\r\n"));
  const auto sessions = tls.WaitForSessions(2);
  ASSERT_EQ(sessions.size(), 2u);
  EXPECT_EQ(sessions[1].request, ExpectedHead(kTarget, WithPort("127.0.0.1:{port}", tls.port()),
                                              "Cookie: s=1; p=1\r\n"));
}

}  // namespace
}  // namespace queue::testing
