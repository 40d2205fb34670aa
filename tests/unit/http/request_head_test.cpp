// The request head: line order, which lines are left out, and the encoding of its text.
#include "queueclient/http/request_head.h"
#include "tests/support/row_names.h"

#include <gtest/gtest.h>

namespace queue {
namespace {

const std::string kFixedLines =
    "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
    "User-Agent: Mozilla/3.0 (compatible; Queue Operator)\r\n";

TEST(RequestHeadTest, DefaultAddressGivesTheReferenceHead) {
  EXPECT_EQ(BuildRequestHead({u"/getQueue?operator=3", u"localhost", u"", u""}),
            "GET /getQueue?operator=3 HTTP/1.1\r\nHost: localhost\r\n" + kFixedLines + "\r\n");
}

TEST(RequestHeadTest, AuthorizationThenCookieAfterUserAgent) {
  EXPECT_EQ(BuildRequestHead({u"/", u"h:81", u"Basic eDp5", u"a=1; b=2"}),
            "GET / HTTP/1.1\r\nHost: h:81\r\n" + kFixedLines +
                "Authorization: Basic eDp5\r\nCookie: a=1; b=2\r\n\r\n");
}

struct EncodeCase {
  const char* name;
  std::u16string text;
  std::string bytes;
};
QUEUE_PRINT_ROWS_BY(EncodeCase, name)

const EncodeCase kEncodeCases[] = {
    {"PlainAscii", u"plain text ~", "plain text ~"},
    {"Cyrillic", u"Привет", "??????"},
    {"Latin1Letters", u"\u00e9\u00ff\u0100", "???"},  // Latin-1 letters are not ASCII either
    {"SurrogatePair", u"\U0001F600", "??"},           // each half of a surrogate pair
    // No control character reaches the wire.
    {"ControlCharacters", u"a\r\nb\tc\x7f\x01", "a??b?c??"},
};

class EncodeHeadTextTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeHeadTextTest, EachUnitIsOneByte) {
  EXPECT_EQ(EncodeHeadText(GetParam().text), GetParam().bytes) << GetParam().bytes;
}

INSTANTIATE_TEST_SUITE_P(Texts, EncodeHeadTextTest, ::testing::ValuesIn(kEncodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A tab is a legal byte of a header value (a cookie value may hold one) and goes out as it
// came there; the other control characters still cannot break the line.
TEST(RequestHeadTest, HeaderValuesKeepTheirTabs) {
  const std::string head = BuildRequestHead({u"/a\tb", u"h", u"", u"a=x\ty\x7f\r\n"});
  EXPECT_NE(head.find("GET /a?b HTTP/1.1\r\n"), std::string::npos) << head;
  EXPECT_NE(head.find("\r\nCookie: a=x\ty???\r\n\r\n"), std::string::npos) << head;
}

// A value the server chose (a cookie) cannot smuggle a header line in either.
TEST(RequestHeadTest, ServerChosenValuesCannotBreakLines) {
  const std::string head = BuildRequestHead({u"/", u"h", u"", u"a=1\rInjected: x"});
  EXPECT_NE(head.find("Cookie: a=1?Injected: x\r\n"), std::string::npos);
  EXPECT_EQ(head.find('\r', head.find("a=1")), head.find("\r\n", head.find("a=1")));
}

}  // namespace
}  // namespace queue
