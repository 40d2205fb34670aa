// URL parsing, the merge into the current URI, and the values the request takes from it.
#include "queueclient/http/uri.h"

#include <gtest/gtest.h>

#include "core/text.h"
#include "queueclient/failure.h"
#include "tests/support/row_names.h"

namespace queue {
namespace {

// Rows named by their URL.
template <typename Row>
std::string UrlRowName(const ::testing::TestParamInfo<Row>& info) {
  return ::test_rows::RowNameFromText(std::u16string_view(info.param.url), info.index);
}

struct ParseCase {
  const char16_t* url;
  Uri expected;
};
QUEUE_PRINT_ROWS_BY(ParseCase, url)

std::string Describe(const Uri& u) {
  return Utf16ToUtf8(u"Protocol=" + u.Protocol + u" Host=" + u.Host + u" Port=" + u.Port +
                     u" Path=" + u.Path + u" Document=" + u.Document + u" Params=" + u.Params +
                     u" Bookmark=" + u.Bookmark + u" Username=" + u.Username + u" Password=" +
                     u.Password) +
         (u.IPVersion == IpVersion::kIPv6 ? " IPv6" : " IPv4");
}

const ParseCase kParseCases[] = {
    {u"http://localhost/getQueue?operator=3",
     {u"http", u"localhost", u"", u"/", u"getQueue", u"operator=3"}},
    {u"http://host:8080", {u"http", u"host", u"8080", u"/", u""}},
    {u"http://host/", {u"http", u"host", u"", u"/", u""}},
    {u"http://host//getQueue", {u"http", u"host", u"", u"//", u"getQueue"}},
    {u"http://host/a/b/c?x#frag", {u"http", u"host", u"", u"/a/b/", u"c", u"x", u"frag"}},
    // The query is split off first: a "#" before the "?" stays in the document.
    {u"http://host/a#f?g", {u"http", u"host", u"", u"/", u"a#f", u"g"}},
    {u"http://host/a#f", {u"http", u"host", u"", u"/", u"a", u"", u"f"}},
    // The last "@" ends the user information; the first ":" splits it.
    {u"http://us@er:p:w@host:1/", {u"http", u"host", u"1", u"/", u"", u"", u"", u"us@er", u"p:w"}},
    // An empty user name takes the password with it.
    {u"http://:pw@host/", {u"http", u"host", u"", u"/", u""}},
    {u"http://[::1]:8080/x",
     {u"http", u"::1", u"8080", u"/", u"x", u"", u"", u"", u"", IpVersion::kIPv6}},
    {u"http://[::1]/x", {u"http", u"::1", u"", u"/", u"x", u"", u"", u"", u"", IpVersion::kIPv6}},
    {u"HTTPS://Host", {u"HTTPS", u"Host", u"", u"/", u""}},
    {u" http://h/x", {u" http", u"h", u"", u"/", u"x"}},
    // Backslashes count as slashes after the scheme and before the query only.
    {u"http://h\\a\\b?q=\\", {u"http", u"h", u"", u"/a/", u"b", u"q=\\"}},
    // Without "://" the text is relative: only path, document and query.
    {u"localhost/getQueue?operator=2", {u"", u"", u"", u"localhost/", u"getQueue", u"operator=2"}},
    {u"/getQueue?operator=", {u"", u"", u"", u"/", u"getQueue", u"operator="}},
    {u"", {}},
    {u"a\\b", {u"", u"", u"", u"a/", u"b"}},
};

class ParseUrlTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseUrlTest, SplitsEveryPart) {
  EXPECT_EQ(Describe(ParseUrl(GetParam().url)), Describe(GetParam().expected))
      << Utf16ToUtf8(GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(Urls, ParseUrlTest, ::testing::ValuesIn(kParseCases),
                         UrlRowName<ParseCase>);

struct MergePathCase {
  const char* name;
  const char16_t* current;
  const char16_t* url_path;
  const char16_t* merged;
};
QUEUE_PRINT_ROWS_BY(MergePathCase, name)

const MergePathCase kMergePathCases[] = {
    {"DirectoryUnderRoot", u"/", u"localhost/", u"/localhost/"},
    {"DirectoryUnderDirectory", u"/queue/", u"a/", u"/queue/a/"},
    {"CurrentWithoutSlash", u"/queue", u"a/", u"/queue/a/"},  // a "/" goes between
    {"EmptyCurrent", u"", u"a/", u"/a/"},
    {"EmptyOnRoot", u"/", u"", u"/"},
    {"EmptyOnDirectory", u"/q/", u"", u"/q/"},
    {"UpOneLevel", u"/a/b/", u"../", u"/a/"},
    {"UpPastTheRoot", u"/a/", u"../../", u"/"},  // ".." cannot climb above the root
    {"DoubleSlash", u"/a/", u"x//y/", u"/a/x/y/"},
    // Without a trailing "/" on the URL path the result loses its own.
    {"UpWithoutSlash", u"/a/b/", u"..", u"/a"},
};

class MergePathTest : public ::testing::TestWithParam<MergePathCase> {};

TEST_P(MergePathTest, JoinsRelativePaths) {
  const MergePathCase& c = GetParam();
  EXPECT_EQ(Utf16ToUtf8(MergePath(c.current, c.url_path)), Utf16ToUtf8(c.merged))
      << Utf16ToUtf8(c.current) << " + " << Utf16ToUtf8(c.url_path);
}

INSTANTIATE_TEST_SUITE_P(Paths, MergePathTest, ::testing::ValuesIn(kMergePathCases),
                         [](const auto& info) { return std::string(info.param.name); });

Uri MergedSequence(std::initializer_list<std::u16string_view> urls) {
  Uri current;
  for (const auto url : urls) MergeIntoCurrent(current, ParseUrl(url));
  return current;
}

TEST(MergeIntoCurrentTest, KeepsWhatLaterUrlsLeaveOut) {
  const Uri merged = MergedSequence({u"http://user:pw@a:81/q/x?1", u"b/y"});
  EXPECT_EQ(merged.Host, u"a");
  EXPECT_EQ(merged.Port, u"81");
  EXPECT_EQ(merged.Protocol, u"http");
  EXPECT_EQ(RequestTarget(merged), u"/q/b/y");  // the query is cleared
  EXPECT_EQ(merged.Username, u"user");
  EXPECT_EQ(merged.Password, u"pw");
}

TEST(MergeIntoCurrentTest, SchemeAndPortRules) {
  EXPECT_EQ(MergedSequence({u"https://a/x", u"/y"}).Protocol, u"https");
  EXPECT_EQ(MergedSequence({u"HTTPS://a/x", u"/y"}).Protocol, u"https");
  EXPECT_EQ(MergedSequence({u"ftp://a:21/x", u"/y"}).Protocol, u"http");
  EXPECT_EQ(MergedSequence({u"https://a/x"}).Port, u"443");
  EXPECT_EQ(MergedSequence({u"HTTP://a/x"}).Port, u"80");
  EXPECT_EQ(MergedSequence({u"http://a:8080/x", u"ftp://b/y"}).Port, u"8080");
  EXPECT_EQ(MergedSequence({u"http://[::1]/x", u"http://a/y"}).IPVersion, IpVersion::kIPv4);
}

struct PortlessCase {
  const char16_t* url;
};
QUEUE_PRINT_ROWS_BY(PortlessCase, url)

const PortlessCase kPortlessCases[] = {
    {u""}, {u"/getQueue?operator=1"}, {u"host"}, {u"ftp://host/x"}, {u" http://h"}};

class NoPortAnywhereTest : public ::testing::TestWithParam<PortlessCase> {};

TEST_P(NoPortAnywhereTest, IsUnknownProtocol) {
  const char16_t* const url = GetParam().url;
  Uri current;
  try {
    MergeIntoCurrent(current, ParseUrl(url));
    ADD_FAILURE() << Utf16ToUtf8(url);
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind(), ClientFailure::kUnknownProtocol);
    EXPECT_EQ(failure.message(), u"Unknown Protocol");
  }
}

INSTANTIATE_TEST_SUITE_P(Urls, NoPortAnywhereTest, ::testing::ValuesIn(kPortlessCases),
                         UrlRowName<PortlessCase>);

struct HostValueCase {
  const char16_t* url;
  const char16_t* host_value;
};
QUEUE_PRINT_ROWS_BY(HostValueCase, url)

const HostValueCase kHostValueCases[] = {
    {u"http://host", u"host"},
    {u"http://host:80", u"host"},
    {u"http://host:080", u"host:080"},  // ports compare as text
    {u"http://host:8080", u"host:8080"},
    {u"https://host", u"host"},
    {u"HTTPS://host:443", u"host"},
    {u"https://host:80", u"host:80"},
    {u"http://host:abc", u"host:abc"},
    {u"http://[::1]:8080", u"[::1]:8080"},
    {u"http://[::1]", u"[::1]"},
    // A bracketed host that is no IPv6 address goes out without brackets.
    {u"http://[nohost]", u"nohost"},
    {u"ftp://host:21/x", u"host:21"},
};

class HostValueTest : public ::testing::TestWithParam<HostValueCase> {};

TEST_P(HostValueTest, PortAndBrackets) {
  EXPECT_EQ(Utf16ToUtf8(HostValue(MergedSequence({GetParam().url}))),
            Utf16ToUtf8(GetParam().host_value))
      << Utf16ToUtf8(GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(Urls, HostValueTest, ::testing::ValuesIn(kHostValueCases),
                         UrlRowName<HostValueCase>);

struct RoutePortCase {
  const char16_t* port;
  int route;
};
QUEUE_PRINT_ROWS_BY(RoutePortCase, port)

const RoutePortCase kRoutePortCases[] = {{u"8080", 8080}, {u"080", 80}, {u" 81 ", 81},
                                         {u"abc", 80},    {u"", 80},    {u"0", 0},
                                         {u"70000", 80},  {u"-1", 80}};

class RoutePortTest : public ::testing::TestWithParam<RoutePortCase> {};

TEST_P(RoutePortTest, NumberOrEighty) {
  Uri uri;
  uri.Port = GetParam().port;
  EXPECT_EQ(RoutePort(uri), GetParam().route) << Utf16ToUtf8(GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(Ports, RoutePortTest, ::testing::ValuesIn(kRoutePortCases),
                         [](const auto& info) {
                           return ::test_rows::RowNameFromText(std::u16string_view(info.param.port),
                                                               info.index);
                         });

}  // namespace
}  // namespace queue
