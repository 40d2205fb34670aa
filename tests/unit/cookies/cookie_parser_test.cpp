// Set-Cookie parsing: the name-value pair, each attribute, expiry, domain and the values that
// are dropped.
#include "queueclient/cookies/cookie_parser.h"
#include "tests/support/row_names.h"

#include <gtest/gtest.h>

#include <string>

#include "core/text.h"
#include "tests/unit/cookies/cookie_test_support.h"

namespace queue {
namespace {

// Receipt time of every case, and the machine three hours east of UTC.
const DateTime kNow = MakeDateTime(2024, 5, 1, 12, 0, 0);
constexpr int kUtcOffsetMinutes = 180;

// What a parsed cookie should hold; fields left at their defaults are the usual ones.
struct Expected {
  std::u16string name = u"a";
  std::u16string value = u"1";
  std::u16string domain = u"localhost";
  std::u16string path = u"/";
  bool host_only = true;
  bool persistent = false;
  DateTime expires = kEndOfTime;
  bool secure = false;
  bool http_only = false;
};

struct ParseCase {
  const char* name;
  std::u16string set_cookie;
  std::optional<Expected> expected;  // nothing: the value is dropped
  Uri uri = RequestUri();
};
QUEUE_PRINT_ROWS_BY(ParseCase, name)

Expected With(void (*change)(Expected&)) {
  Expected e;
  change(e);
  return e;
}

// A cookie that lasts until `expires`, set by Max-Age or Expires.
Expected PersistentUntil(DateTime expires) {
  Expected e;
  e.persistent = true;
  e.expires = expires;
  return e;
}

const std::u16string kLongName(100, u'n');

std::vector<ParseCase> ParseCases() {
  return {
      {"Plain", u"a=1", Expected{}},
      {"TrimsNameAndValue", u" \ta = 1 ", Expected{}},
      {"EmptyValue", u"a=", With([](Expected& e) { e.value = u""; })},
      {"ValueKeepsEquals", u"a=b=c", With([](Expected& e) { e.value = u"b=c"; })},
      {"QuotedValue", u"a=\"x y\"", With([](Expected& e) { e.value = u"x y"; })},
      {"UnclosedQuote", u"a=\"x y", With([](Expected& e) { e.value = u"x y"; })},
      {"TabInValue", u"a=x\ty", With([](Expected& e) { e.value = u"x\ty"; })},
      {"NoEquals", u"a", std::nullopt},
      {"EqualsOnlyInAttributes", u"a; b=1", std::nullopt},
      {"EmptyName", u" =1", std::nullopt},
      {"Empty", u"", std::nullopt},
      // A lone CR or other control character would go back out inside the Cookie line.
      {"CarriageReturnInValue", u"a=x\ry", std::nullopt},
      {"NulInName", std::u16string(u"a\0b=1", 5), std::nullopt},
      {"DelInValue", u"a=x\x7Fy", std::nullopt},
      // A DEL at either end is trimmed like the other control characters.
      {"DelAtTheEnds",
       u"\x7F"
       u"a\x7F=\x7F"
       u"1\x7F; \x7FPath\x7F=/q/",
       With([](Expected& e) { e.path = u"/q/"; })},
      {"NameAndValueAtBound", kLongName + u"=" + std::u16string(3996, u'v'), With([](Expected& e) {
         e.name = std::u16string(100, u'n');
         e.value = std::u16string(3996, u'v');
       })},
      {"NameAndValuePastBound", kLongName + u"=" + std::u16string(3997, u'v'), std::nullopt},
      {"Path", u"a=1; Path=/getQueue", With([](Expected& e) { e.path = u"/getQueue"; })},
      {"PathAnyCaseName", u"a=1; pAtH=/q/", With([](Expected& e) { e.path = u"/q/"; })},
      {"RelativePathTakesDefault", u"a=1; Path=q", With([](Expected& e) { e.path = u"/q"; }),
       RequestUri(u"localhost", u"/q/")},
      {"EmptyPathTakesDefault", u"a=1; Path=", With([](Expected& e) { e.path = u"/q"; }),
       RequestUri(u"localhost", u"/q/")},
      {"NoPathTakesDefault", u"a=1", With([](Expected& e) { e.path = u"/a/b"; }),
       RequestUri(u"localhost", u"/a/b/")},
      {"OverlongPathIgnored", u"a=1; Path=/" + std::u16string(1024, u'p'), Expected{}},
      {"LastPathCounts", u"a=1; Path=/x; Path=/y", With([](Expected& e) { e.path = u"/y"; })},
      {"DomainWithDot", u"a=1; Domain=.localhost", With([](Expected& e) { e.host_only = false; })},
      {"DomainWithPort", u"a=1; Domain=localhost:8080",
       With([](Expected& e) { e.host_only = false; })},
      {"DomainLowerCased", u"a=1; Domain=LocalHost",
       With([](Expected& e) { e.host_only = false; })},
      {"HostAsWrittenForHostOnly", u"a=1", With([](Expected& e) { e.domain = u"LocalHost"; }),
       RequestUri(u"LocalHost")},
      {"ParentDomain", u"a=1; Domain=example.test", With([](Expected& e) {
         e.domain = u"example.test";
         e.host_only = false;
       }),
       RequestUri(u"www.example.test")},
      {"EmptyDomainIgnored", u"a=1; Domain=", Expected{}},
      {"DomainOfOnlyADot", u"a=1; Domain=.", Expected{}},
      {"SiblingDomain", u"a=1; Domain=b.example.test", std::nullopt, RequestUri(u"a.example.test")},
      {"LongerDomainThanHost", u"a=1; Domain=www.localhost", std::nullopt},
      {"OtherAddressForIpv4Host", u"a=1; Domain=0.0.1", std::nullopt, RequestUri(u"127.0.0.1")},
      {"SameAddressForIpv4Host", u"a=1; Domain=127.0.0.1", With([](Expected& e) {
         e.domain = u"127.0.0.1";
         e.host_only = false;
       }),
       RequestUri(u"127.0.0.1")},
      {"MaxAge", u"a=1; Max-Age=60", PersistentUntil(MakeDateTime(2024, 5, 1, 12, 1, 0))},
      {"MaxAgeBeatsLaterExpires", u"a=1; Max-Age=60; Expires=Sun, 06 Nov 2033 08:49:37 GMT",
       PersistentUntil(MakeDateTime(2024, 5, 1, 12, 1, 0))},
      {"MaxAgeBeatsEarlierExpires", u"a=1; Expires=Sun, 06 Nov 2033 08:49:37 GMT; Max-Age=60",
       PersistentUntil(MakeDateTime(2024, 5, 1, 12, 1, 0))},
      {"NegativeMaxAgeIsYearOne", u"a=1; Max-Age=-1", PersistentUntil(kFirstDayOfYearOne)},
      // A lifetime of zero has ended at receipt, whatever the clock's resolution.
      {"MaxAgeZeroIsYearOne", u"a=1; Max-Age=0", PersistentUntil(kFirstDayOfYearOne)},
      {"HugeMaxAgeIsEndOfTime", u"a=1; Max-Age=99999999999999999999999",
       PersistentUntil(kEndOfTime)},
      {"MaxAgeNotANumber", u"a=1; Max-Age=1h", Expected{}},
      // The date is UTC; the cookie keeps local time, here three hours later.
      {"ExpiresDateInLocalTime", u"a=1; Expires=Sun, 06 Nov 2033 08:49:37 GMT",
       PersistentUntil(MakeDateTime(2033, 11, 6, 11, 49, 37))},
      {"ExpiresZeroIsYearOne", u"a=1; Expires=0", PersistentUntil(kFirstDayOfYearOne)},
      {"NegativeExpiresIsYearOne", u"a=1; Expires=-30", PersistentUntil(kFirstDayOfYearOne)},
      {"ExpiresSeconds", u"a=1; Expires=30", PersistentUntil(MakeDateTime(2024, 5, 1, 12, 0, 30))},
      {"ExpiresQuoted", u"a=1; Expires=\"Sun, 06 Nov 2033 08:49:37 GMT\"",
       PersistentUntil(MakeDateTime(2033, 11, 6, 11, 49, 37))},
      {"ExpiresNoDate", u"a=1; Expires=soon", Expected{}},
      // An Expires that is no date records nothing, so the earlier one stays.
      {"InvalidExpiresKeepsEarlier", u"a=1; Expires=Sun, 06 Nov 2033 08:49:37 GMT; Expires=x",
       PersistentUntil(MakeDateTime(2033, 11, 6, 11, 49, 37))},
      {"SecureAndHttpOnly", u"a=1; Secure; HttpOnly", With([](Expected& e) {
         e.secure = true;
         e.http_only = true;
       })},
      {"FlagValuesDoNotMatter", u"a=1; secure=no", With([](Expected& e) { e.secure = true; })},
      {"UnknownAndEmptyPieces", u"a=1; ;; Comment=x; =y;", Expected{}},
      {"HttpOnlyOnOtherScheme", u"a=1; HttpOnly", std::nullopt,
       RequestUri(u"localhost", u"/", u"ftp")},
      {"OtherSchemeWithoutHttpOnly", u"a=1", Expected{}, RequestUri(u"localhost", u"/", u"ftp")},
      {"HttpOnlyOnHttpsAnyCase", u"a=1; HttpOnly", With([](Expected& e) { e.http_only = true; }),
       RequestUri(u"localhost", u"/", u"HTTPS")},
  };
}

class CookieParserTest : public testing::TestWithParam<ParseCase> {};

TEST_P(CookieParserTest, ParsesAsExpected) {
  const ParseCase& c = GetParam();
  const auto cookie = ParseSetCookie(c.set_cookie, c.uri, kNow, kUtcOffsetMinutes);
  if (!c.expected) {
    EXPECT_FALSE(cookie.has_value()) << Utf16ToUtf8(cookie->CookieName);
    return;
  }
  ASSERT_TRUE(cookie.has_value());
  const Expected& e = *c.expected;
  EXPECT_EQ(cookie->CookieName, e.name);
  EXPECT_EQ(cookie->Value, e.value);
  EXPECT_EQ(cookie->Domain, e.domain);
  EXPECT_EQ(cookie->Path, e.path);
  EXPECT_EQ(cookie->HostOnly, e.host_only);
  EXPECT_EQ(cookie->Persistent, e.persistent);
  EXPECT_EQ(cookie->Expires, e.expires);
  EXPECT_EQ(cookie->Secure, e.secure);
  EXPECT_EQ(cookie->HttpOnly, e.http_only);
  EXPECT_EQ(cookie->CreatedAt, kNow);
  EXPECT_EQ(cookie->LastAccessed, kNow);
}

INSTANTIATE_TEST_SUITE_P(SetCookie, CookieParserTest, testing::ValuesIn(ParseCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace queue
