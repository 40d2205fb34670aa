// The cookie store: domain and path matching, storing and replacing, deletion, the order of the
// Cookie value, expiry and the bounds. A manual clock decides "now".
#include "queueclient/cookies/cookie_store.h"

#include <gtest/gtest.h>

#include <string>

#include "core/text.h"
#include "queueclient/cookies/cookie_match.h"
#include "queueclient/cookies/cookie_time.h"
#include "tests/support/row_names.h"
#include "tests/unit/cookies/cookie_test_support.h"

namespace queue {
namespace {

class CookieStoreTest : public testing::Test {
 protected:
  void Set(std::vector<std::u16string> values, const Uri& uri = RequestUri()) {
    store_.AddServerCookies(values, uri);
  }
  std::string Header(const Uri& uri = RequestUri(), bool secure = false) {
    return Utf16ToUtf8(store_.GenerateClientCookies(uri, secure));
  }

  std::shared_ptr<ManualClock> clock_ = std::make_shared<ManualClock>();
  CookieStore store_{clock_};
};

// The usual press sends and receives no cookie: it must not read the clock, which on Windows
// costs several system calls each time.
TEST_F(CookieStoreTest, ExchangesWithoutCookiesLeaveTheClockUnread) {
  Set({});
  EXPECT_EQ(Header(), "");
  EXPECT_EQ(clock_->readings(), 0);
  Set({u"a=1"});
  EXPECT_GT(clock_->readings(), 0);
  EXPECT_EQ(Header(), "a=1");
}

struct DomainCase {
  const char16_t* host;
  const char16_t* domain;
  bool matches;
};
QUEUE_PRINT_ROWS_BY(DomainCase, host)

const DomainCase kDomainCases[] = {
    {u"localhost", u"localhost", true},
    {u"LocalHost", u"localhost", true},
    {u"www.example.test", u"example.test", true},
    {u"www.example.test", u"EXAMPLE.test", true},
    {u"wwwexample.test", u"example.test", false},   // no "." before the ending
    {u"example.test", u"www.example.test", false},  // a longer domain than the host
    {u"a.example.test", u"b.example.test", false},  // a sibling
    {u".example.test", u"example.test", false},     // not a host name
    {u"127.0.0.1", u"127.0.0.1", true},             // an address matches only itself
    {u"127.0.0.1", u"0.0.1", false},                // IPv4: never a longer domain
    {u"::ffff:10.0.0.1", u"0.0.1", false},          // IPv6: never a longer domain
    {u"1.2.3.4.example", u"4.example", true},       // five numbers: a host name
    {u"www.example.test", u"test", true},           // no public-suffix list
    {u"", u"localhost", false},
    {u"localhost", u"", false},
};

class DomainMatchTest : public testing::TestWithParam<DomainCase> {};

TEST_P(DomainMatchTest, DomainMatch) {
  const DomainCase& c = GetParam();
  EXPECT_EQ(DomainMatches(c.host, c.domain), c.matches)
      << Utf16ToUtf8(c.host) << " in " << Utf16ToUtf8(c.domain);
}

INSTANTIATE_TEST_SUITE_P(HostsAndDomains, DomainMatchTest, testing::ValuesIn(kDomainCases),
                         [](const auto& info) {
                           return ::test_rows::RowNameFromText(
                               Utf16ToUtf8(info.param.host) + " " + Utf16ToUtf8(info.param.domain),
                               info.index);
                         });

struct PathCase {
  const char* name;
  const char16_t* uri_path;
  const char16_t* cookie_path;
  bool matches;
};
QUEUE_PRINT_ROWS_BY(PathCase, name)

const PathCase kPathCases[] = {
    {"RootOnRoot", u"/", u"/", true},
    {"RootInDirectory", u"/q/", u"/", true},
    {"DirectoryWithoutSlash", u"/q/", u"/q", true},
    {"DirectoryWithSlash", u"/q/", u"/q/", true},
    {"DirectoryOfOtherCase", u"/Q/", u"/q/", true},
    {"ParentDirectory", u"/q/r/", u"/q/", true},
    {"PrefixOfADirectoryName", u"/qx/", u"/q", false},
    {"DirectoryOnRoot", u"/", u"/q", false},
    {"DocumentOnRoot", u"/", u"/getQueue", false},
    {"Subdirectory", u"/q/", u"/q/r", false},
    {"EmptyRequestPath", u"", u"/", false},
};

class PathMatchTest : public testing::TestWithParam<PathCase> {};

TEST_P(PathMatchTest, PathMatchOnTheRequestDirectory) {
  const PathCase& c = GetParam();
  EXPECT_EQ(PathMatches(c.uri_path, c.cookie_path), c.matches)
      << Utf16ToUtf8(c.cookie_path) << " for " << Utf16ToUtf8(c.uri_path);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathMatchTest, testing::ValuesIn(kPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct DefaultPathCase {
  const char* name;
  const char16_t* uri_path;
  const char16_t* expected;
};
QUEUE_PRINT_ROWS_BY(DefaultPathCase, name)

const DefaultPathCase kDefaultPathCases[] = {{"Root", u"/", u"/"},
                                             {"OneDirectory", u"/q/", u"/q"},
                                             {"TwoDirectories", u"/a/b/", u"/a/b"},
                                             {"EmptyPath", u"", u"/"},
                                             {"RelativePath", u"q/", u"/"}};

class DefaultPathTest : public testing::TestWithParam<DefaultPathCase> {};

TEST_P(DefaultPathTest, DefaultPathFromTheRequestDirectory) {
  EXPECT_EQ(DefaultPath(GetParam().uri_path), GetParam().expected)
      << Utf16ToUtf8(GetParam().uri_path);
}

INSTANTIATE_TEST_SUITE_P(Paths, DefaultPathTest, testing::ValuesIn(kDefaultPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CookieStoreTest, EmptyStoreYieldsNothing) {
  EXPECT_EQ(Header(), "");
}

TEST_F(CookieStoreTest, HostOnlyCookieComesBackOnEveryLaterRequest) {
  Set({u"a=1"});
  const auto kept = store_.Cookies();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_TRUE(kept[0].HostOnly);
  EXPECT_EQ(kept[0].Domain, u"localhost");
  EXPECT_EQ(kept[0].Path, u"/");
  EXPECT_EQ(Header(), "a=1");
  EXPECT_EQ(Header(RequestUri(u"LOCALHOST")), "a=1");
  EXPECT_EQ(Header(RequestUri(u"www.localhost")), "");  // host-only: not for other hosts
}

TEST_F(CookieStoreTest, DomainCookieGoesToHostsInTheDomain) {
  Set({u"d=1; Domain=example.test", u"h=1"}, RequestUri(u"www.example.test"));
  EXPECT_EQ(Header(RequestUri(u"www.example.test")), "d=1; h=1");
  EXPECT_EQ(Header(RequestUri(u"api.example.test")), "d=1");
  EXPECT_EQ(Header(RequestUri(u"example.test")), "d=1");
  EXPECT_EQ(Header(RequestUri(u"other.test")), "");
}

TEST_F(CookieStoreTest, DroppedValuesLeaveTheStoreUnchanged) {
  Set({u"noequals", u"=1", u"a=1; Domain=other.test"});
  EXPECT_TRUE(store_.Cookies().empty());
}

TEST_F(CookieStoreTest, CookieWithLongerPathThanTheDirectoryIsKeptButNeverSent) {
  Set({u"a=1; Path=/getQueue"});
  EXPECT_EQ(store_.Cookies().size(), 1u);
  EXPECT_EQ(Header(), "");
  EXPECT_EQ(Header(RequestUri(u"localhost", u"/getQueue/")), "a=1");
}

TEST_F(CookieStoreTest, ReplacementKeepsCreationTimeAndTakesTheNewValue) {
  Set({u"a=1", u"b=1"});
  const DateTime created = store_.Cookies()[0].CreatedAt;
  clock_->Advance(10);
  // Name and domain are compared ignoring case; host-only or not plays no part.
  Set({u"A=2; Domain=LOCALHOST"});
  const auto kept = store_.Cookies();
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[1].CookieName, u"A");  // the replacement goes to the end of the list
  EXPECT_EQ(kept[1].Value, u"2");
  EXPECT_FALSE(kept[1].HostOnly);
  EXPECT_EQ(kept[1].CreatedAt, created);
  EXPECT_EQ(kept[1].LastAccessed, clock_->Now());
  EXPECT_EQ(Header(), "b=1; A=2");  // created together: store order
}

TEST_F(CookieStoreTest, PathsAreComparedIgnoringCaseWhenReplacing) {
  Set({u"a=1; Path=/q"});
  Set({u"a=2; Path=/Q"});
  const auto kept = store_.Cookies();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].Value, u"2");
  EXPECT_EQ(kept[0].Path, u"/Q");
}

// A Set-Cookie value or one of its attributes: a row of the store's tables.
struct CookieTextCase {
  const char16_t* text;
};
QUEUE_PRINT_ROWS_BY(CookieTextCase, text)

std::string CookieTextRowName(const testing::TestParamInfo<CookieTextCase>& info) {
  return ::test_rows::RowNameFromText(std::u16string_view(info.param.text), info.index);
}

class PastExpiryTest : public CookieStoreTest,
                       public testing::WithParamInterface<CookieTextCase> {};

TEST_P(PastExpiryTest, DeletesTheCookie) {
  const std::u16string deletion = GetParam().text;
  Set({u"a=1", u"b=1"});
  Set({deletion});
  EXPECT_EQ(Header(), "b=1") << Utf16ToUtf8(deletion);
}

INSTANTIATE_TEST_SUITE_P(Deletions, PastExpiryTest,
                         testing::Values(CookieTextCase{u"a=x; Max-Age=-1"},
                                         CookieTextCase{
                                             u"a=x; Expires=Wed, 09-Jun-21 10:18:14 GMT"}),
                         CookieTextRowName);

// A lifetime of zero or less ends at receipt: with the clock standing still (the next request
// within the same millisecond) the cookie is neither kept nor sent, and it deletes the kept one
// of its name, domain and path.
class ZeroOrNegativeLifetimeTest : public CookieStoreTest,
                                   public testing::WithParamInterface<CookieTextCase> {};

TEST_P(ZeroOrNegativeLifetimeTest, IsNeverSent) {
  const std::u16string lifetime = GetParam().text;
  Set({u"a=1; " + lifetime});
  EXPECT_EQ(Header(), "") << Utf16ToUtf8(lifetime);
  EXPECT_TRUE(store_.Cookies().empty()) << Utf16ToUtf8(lifetime);
  Set({u"a=1", u"b=1"});
  Set({u"a=2; " + lifetime});
  EXPECT_EQ(Header(), "b=1") << Utf16ToUtf8(lifetime);
}

INSTANTIATE_TEST_SUITE_P(Lifetimes, ZeroOrNegativeLifetimeTest,
                         testing::Values(CookieTextCase{u"Max-Age=0"}, CookieTextCase{u"Expires=0"},
                                         CookieTextCase{u"Max-Age=-1"},
                                         CookieTextCase{u"Expires=-1"}),
                         CookieTextRowName);

TEST_F(CookieStoreTest, ExpiredCookiesAreRemovedWhenAValueIsProduced) {
  Set({u"a=1; Max-Age=60", u"b=1; Path=/elsewhere; Max-Age=60", u"c=1"});
  clock_->Advance(60);
  EXPECT_EQ(Header(), "a=1; c=1");  // expiry is strictly later than Expires
  clock_->Advance(1);
  EXPECT_EQ(store_.Cookies().size(), 3u);  // nothing is removed until a value is produced
  EXPECT_EQ(Header(), "c=1");
  // Also the one that did not match the request has gone.
  ASSERT_EQ(store_.Cookies().size(), 1u);
  EXPECT_EQ(store_.Cookies()[0].CookieName, u"c");
}

TEST_F(CookieStoreTest, SecureCookiesOnlyOnSecureRequests) {
  Set({u"s=1; Secure", u"p=1"}, RequestUri(u"localhost", u"/", u"https"));
  EXPECT_EQ(Header(RequestUri(u"localhost", u"/", u"https"), true), "s=1; p=1");
  EXPECT_EQ(Header(RequestUri(), false), "p=1");
}

TEST_F(CookieStoreTest, HttpOnlyCookiesStayWithHttpSchemes) {
  Set({u"h=1; HttpOnly", u"p=1"});
  const Uri other_scheme = RequestUri(u"localhost", u"/", u"ftp");
  EXPECT_EQ(Header(other_scheme), "p=1");
  // Another scheme may neither replace nor delete it.
  Set({u"h=2", u"h=3; Max-Age=-1"}, other_scheme);
  EXPECT_EQ(Header(), "h=1; p=1");
}

TEST_F(CookieStoreTest, LongerPathFirstThenEarlierCreation) {
  Set({u"root=1"});
  clock_->Advance(1);
  Set({u"late=1; Path=/q/"});
  clock_->Advance(1);
  Set({u"deep=1; Path=/q/r/", u"early=1; Path=/q/"});
  // "early" was created last but replaced nothing; "late" was created before it.
  EXPECT_EQ(Header(RequestUri(u"localhost", u"/q/r/")), "deep=1; late=1; early=1; root=1");

  // A replaced cookie keeps its place in the order by its first creation time.
  clock_->Advance(1);
  Set({u"late=2; Path=/q/"});
  EXPECT_EQ(Header(RequestUri(u"localhost", u"/q/")), "late=2; early=1; root=1");
}

TEST_F(CookieStoreTest, QuotedValueIsSentWithoutQuotes) {
  Set({u"a=\"x y\""});
  EXPECT_EQ(Header(), "a=x y");
}

TEST_F(CookieStoreTest, SendingMarksTheCookiesAccessed) {
  Set({u"a=1", u"b=1; Path=/elsewhere"});
  clock_->Advance(5);
  Header();
  const auto kept = store_.Cookies();
  EXPECT_EQ(kept[0].LastAccessed, clock_->Now());
  EXPECT_LT(kept[1].LastAccessed, clock_->Now());
}

std::u16string Numbered(std::u16string_view prefix, std::size_t i, std::u16string_view rest = u"") {
  return std::u16string(prefix) + Widen(std::to_string(i)) + u"=v" + std::u16string(rest);
}

// A server that sets a new cookie on every answer: the store keeps the bound per domain and
// lets the least recently sent one go.
TEST_F(CookieStoreTest, PerDomainBoundDropsTheLeastRecentlyAccessed) {
  Set({Numbered(u"c", 0)});
  for (std::size_t i = 1; i < kMaxCookiesPerDomain; ++i) Set({Numbered(u"c", i, u"; Path=/x")});
  Set({u"other=1"}, RequestUri(u"other.test"));
  clock_->Advance(1);
  EXPECT_EQ(Header(), "c0=v");  // c0 is now the most recently sent
  Set({Numbered(u"c", kMaxCookiesPerDomain, u"; Path=/x")});

  const auto kept = store_.Cookies();
  ASSERT_EQ(kept.size(), kMaxCookiesPerDomain + 1);
  EXPECT_EQ(kept[0].CookieName, u"c0");
  EXPECT_EQ(kept[1].CookieName, u"c2");  // c1 was the least recently accessed
  EXPECT_EQ(kept.back().CookieName, Numbered(u"c", kMaxCookiesPerDomain).substr(0, 3));
  EXPECT_EQ(Header(RequestUri(u"other.test")), "other=1");  // other domains untouched
}

TEST_F(CookieStoreTest, TotalBoundDropsTheLeastRecentlyAccessedOfAnyDomain) {
  const std::size_t domains = kMaxCookiesInAll / kMaxCookiesPerDomain;
  for (std::size_t d = 0; d < domains; ++d) {
    // Appended, not joined with "+": GCC 12 warns falsely (-Wrestrict) on "h" + std::string.
    const Uri uri = RequestUri(Widen(std::string("h").append(std::to_string(d)).append(".test")));
    std::vector<std::u16string> values;
    for (std::size_t i = 0; i < kMaxCookiesPerDomain; ++i) values.push_back(Numbered(u"c", i));
    store_.AddServerCookies(values, uri);
  }
  ASSERT_EQ(store_.Cookies().size(), kMaxCookiesInAll);
  clock_->Advance(1);
  EXPECT_FALSE(Header(RequestUri(u"h0.test")).empty());  // h0's cookies are the freshest now
  Set({u"new=1"}, RequestUri(u"fresh.test"));

  const auto kept = store_.Cookies();
  ASSERT_EQ(kept.size(), kMaxCookiesInAll);
  EXPECT_EQ(kept[0].Domain, u"h0.test");
  EXPECT_EQ(kept[kMaxCookiesPerDomain].Domain, u"h1.test");
  EXPECT_EQ(kept[kMaxCookiesPerDomain].CookieName, u"c1");  // h1's c0 went
  EXPECT_EQ(kept.back().CookieName, u"new");
}

}  // namespace
}  // namespace queue
