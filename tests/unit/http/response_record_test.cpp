// Status code and integer parsing, and what the interpretation of a header block takes from it.
#include "queueclient/http/response_record.h"
#include "queueclient/http/protocol_integer.h"
#include "tests/support/row_names.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/text.h"

namespace queue {
namespace {

struct StatusCase {
  const char* line;
  std::int32_t code;
};
QUEUE_PRINT_ROWS_BY(StatusCase, line)

class StatusCodeTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusCodeTest, ParsesTheSecondWord) {
  EXPECT_EQ(StatusCodeOf(Widen(GetParam().line)), GetParam().code) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    StatusLines, StatusCodeTest,
    ::testing::Values(StatusCase{"HTTP/1.1 200 OK", 200},
                      // A sub-status after "." is dropped.
                      StatusCase{"HTTP/1.1 404.3 Not Found", 404},
                      // No space: nothing remains to parse.
                      StatusCase{"A015", -1}, StatusCase{"HTTP/1.1", -1},
                      StatusCase{"HTTP/1.1 ", -1},
                      // The first word is never examined.
                      StatusCase{"OK 200 fine", 200},
                      // Blanks after the version are trimmed before the code is cut.
                      StatusCase{"HTTP/1.1    302   Found", 302}, StatusCase{"HTTP/1.1 abc OK", -1},
                      StatusCase{"HTTP/1.1 20x OK", -1},
                      // Hexadecimal forms are numbers too.
                      StatusCase{"HTTP/1.1 $C8 OK", 200}, StatusCase{"HTTP/1.1 0xc8 OK", 200},
                      StatusCase{"HTTP/1.1 x1F4 Error", 500}, StatusCase{"HTTP/1.1 -1 Odd", -1},
                      StatusCase{"HTTP/1.1 +204 Odd", 204},
                      StatusCase{"HTTP/1.1 2147483647 Big", 2147483647},
                      // Beyond 32 bits: not a number.
                      StatusCase{"HTTP/1.1 2147483648 Big", -1},
                      StatusCase{"HTTP/1.1 -2147483648 Small", INT32_MIN},
                      StatusCase{"HTTP/1.1 -2147483649 Small", -1},
                      StatusCase{"HTTP/1.1 $7FFFFFFF Big", INT32_MAX},
                      StatusCase{"HTTP/1.1 $80000000 Big", -1}, StatusCase{"HTTP/1.1 .5 OK", -1}),
    [](const auto& info) { return ::test_rows::RowNameFromText(info.param.line, info.index); });

struct IntCase {
  const char* text;
  std::int64_t value;
};
QUEUE_PRINT_ROWS_BY(IntCase, text)

class Int64Test : public ::testing::TestWithParam<IntCase> {};

TEST_P(Int64Test, ParsesOrGivesMinusOne) {
  EXPECT_EQ(ParseInt64OrMinus1(Widen(GetParam().text)), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    ContentLengths, Int64Test,
    ::testing::Values(IntCase{"4", 4}, IntCase{" 4 ", 4}, IntCase{"0", 0}, IntCase{"-5", -5},
                      IntCase{"", -1}, IntCase{"-", -1}, IntCase{"+", -1}, IntCase{"$", -1},
                      IntCase{"0x", -1}, IntCase{"4 5", -1}, IntCase{"ten", -1},
                      IntCase{"4294967296", 4294967296}, IntCase{"$FFFFFFFF", 4294967295},
                      IntCase{"9223372036854775807", INT64_MAX}, IntCase{"9223372036854775808", -1},
                      IntCase{"-9223372036854775808", INT64_MIN},
                      IntCase{"$7FFFFFFFFFFFFFFF", INT64_MAX}, IntCase{"$8000000000000000", -1},
                      // Hexadecimal takes no sign.
                      IntCase{"-$10", -1}, IntCase{"0xAbC", 0xABC}),
    [](const auto& info) { return ::test_rows::RowNameFromText(info.param.text, info.index); });

TEST(Int32Test, RangeIsThirtyTwoBits) {
  EXPECT_EQ(ParseInt32OrMinus1(u"4294967296"), -1);
  EXPECT_EQ(ParseInt32OrMinus1(u"$FFFFFFFF"), -1);
  EXPECT_EQ(ParseInt32OrMinus1(u"  -17\t"), -17);
}

ResponseRecord Interpreted(std::initializer_list<const char*> lines) {
  ResponseRecord record;
  for (const char* line : lines) record.headers.Append(Widen(line));
  InterpretHeaderBlock(record);
  return record;
}

TEST(InterpretHeaderBlockTest, TakesEachFieldFromItsFirstLine) {
  const ResponseRecord record = Interpreted({
      "Content-Type: text/html; charset=windows-1251",
      "content-type: text/plain; charset=utf-8",
      "Content-Length: 10",
      "Content-Length: 20",
      "Transfer-Encoding: chunked",
      "Content-Encoding: gzip",
      "Connection:  close ",
      "Proxy-Connection: keep-alive",
      "Location: /next",
      "WWW-Authenticate: Basic realm=\"q\"",
      "Proxy-Authenticate: Basic realm=\"p\"",
      "www-authenticate: Digest nonce=1",
      "WWW-Authenticate : Ignored, its name has a blank",
  });
  EXPECT_EQ(record.content_type, u"text/html");
  EXPECT_EQ(record.charset, u"windows-1251");
  EXPECT_EQ(record.content_length, 10);
  EXPECT_TRUE(record.has_length);
  EXPECT_EQ(record.transfer_encoding, u"chunked");
  EXPECT_EQ(record.content_encoding, u"gzip");
  EXPECT_EQ(record.connection, u"close");
  EXPECT_EQ(record.proxy_connection, u"keep-alive");
  EXPECT_EQ(record.location, u"/next");
  EXPECT_EQ(record.challenges,
            (std::vector<std::u16string>{u"Basic realm=\"q\"", u"Digest nonce=1"}));
  EXPECT_EQ(record.proxy_challenges, (std::vector<std::u16string>{u"Basic realm=\"p\""}));
}

struct LengthCase {
  const char* line;
  std::int64_t length;
  bool has_length;
};
QUEUE_PRINT_ROWS_BY(LengthCase, line)

class ContentLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(ContentLengthTest, NegativeOrNonNumericCountsAsAbsent) {
  const ResponseRecord record = Interpreted({GetParam().line});
  EXPECT_EQ(record.content_length, GetParam().length) << GetParam().line;
  EXPECT_EQ(record.has_length, GetParam().has_length) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Lengths, ContentLengthTest,
                         ::testing::Values(LengthCase{"Content-Length: 0", 0, true},
                                           LengthCase{"Content-Length: 4", 4, true},
                                           LengthCase{"Content-Length: -5", -5, false},
                                           LengthCase{"Content-Length: four", -1, false},
                                           LengthCase{"Content-Length:", -1, false},
                                           LengthCase{"X-Other: 4", -1, false}),
                         [](const auto& info) {
                           return ::test_rows::RowNameFromText(info.param.line, info.index);
                         });

struct CharsetCase {
  const char* content_type_line;  // nullptr: no Content-Type line
  const char* content_type;
  const char* charset;
};
QUEUE_PRINT_ROWS_BY(CharsetCase, content_type_line)

class ContentTypeCharsetTest : public ::testing::TestWithParam<CharsetCase> {};

TEST_P(ContentTypeCharsetTest, MediaTypeDefaults) {
  ResponseRecord record;
  // A value left from an earlier interpretation must not survive a block without a charset.
  record.charset = u"stale";
  if (GetParam().content_type_line) record.headers.Append(Widen(GetParam().content_type_line));
  InterpretHeaderBlock(record);
  EXPECT_EQ(record.content_type, Widen(GetParam().content_type));
  EXPECT_EQ(record.charset, Widen(GetParam().charset));
}

INSTANTIATE_TEST_SUITE_P(
    ContentTypes, ContentTypeCharsetTest,
    ::testing::Values(
        CharsetCase{nullptr, "", ""}, CharsetCase{"Content-Type:", "", ""},
        CharsetCase{"Content-Type: text/plain; charset=utf-8", "text/plain", "utf-8"},
        CharsetCase{"Content-Type: text/plain", "text/plain", "ISO-8859-1"},
        CharsetCase{"Content-Type: TEXT/Plain;charset=\"KOI8-R\"", "TEXT/Plain", "KOI8-R"},
        // An empty charset value falls back to the media type's default.
        CharsetCase{"Content-Type: text/plain; charset=", "text/plain", "ISO-8859-1"},
        CharsetCase{"Content-Type: text/xml", "text/xml", "us-ascii"},
        CharsetCase{"Content-Type: text/xml-external-parsed-entity",
                    "text/xml-external-parsed-entity", "us-ascii"},
        CharsetCase{"Content-Type: text/svg+xml", "text/svg+xml", "us-ascii"},
        CharsetCase{"Content-Type: text/xmlish", "text/xmlish", "ISO-8859-1"},
        // Other media types imply nothing, so the emptied charset stays empty.
        CharsetCase{"Content-Type: application/json", "application/json", "stale"},
        CharsetCase{"Content-Type: textual/plain", "textual/plain", "stale"},
        // Only the charset parameter is removed; the others stay in place.
        CharsetCase{"Content-Type: multipart/mixed; charset=x; boundary=\"a;b\"",
                    "multipart/mixed; boundary=\"a;b\"", "x"},
        CharsetCase{"Content-Type: text/html; boundary=b; Charset = \"win\\\"1251\" ; q=1",
                    "text/html; boundary=b; q=1", "win\"1251"},
        // The token ends at a separator; what follows it up to ";" is dropped.
        CharsetCase{"Content-Type: text/plain; charset=utf-8/x", "text/plain", "utf-8"}),
    [](const auto& info) {
      return ::test_rows::RowNameFromText(
          info.param.content_type_line ? info.param.content_type_line : "none", info.index);
    });

TEST(ClearForHeaderBlockTest, KeepsOnlyTheStatusLine) {
  ResponseRecord record = Interpreted({"Content-Type: text/plain", "Content-Length: 3",
                                       "Connection: close", "WWW-Authenticate: Basic"});
  record.status_line = u"HTTP/1.1 200 OK";
  record.keep_alive = true;
  record.meta.headers.Append(u"Content-Type: text/html");
  record.meta.charset = u"utf-8";
  record.ClearForHeaderBlock();
  EXPECT_EQ(record.status_line, u"HTTP/1.1 200 OK");
  EXPECT_TRUE(record.headers.empty());
  EXPECT_TRUE(record.content_type.empty());
  EXPECT_TRUE(record.charset.empty());
  EXPECT_EQ(record.content_length, -1);
  EXPECT_FALSE(record.has_length);
  EXPECT_TRUE(record.connection.empty());
  EXPECT_TRUE(record.challenges.empty());
  EXPECT_FALSE(record.keep_alive);
  EXPECT_TRUE(record.meta.headers.empty());
  EXPECT_TRUE(record.meta.charset.empty());
}

struct MediaTypeCase {
  const char* content_type;
  const char* pattern;
  bool matches;
};
QUEUE_PRINT_ROWS_BY(MediaTypeCase, content_type)

class MediaTypeIsTest : public ::testing::TestWithParam<MediaTypeCase> {};

TEST_P(MediaTypeIsTest, ComparesThePartBeforeTheSemicolon) {
  EXPECT_EQ(MediaTypeIs(Widen(GetParam().content_type), Widen(GetParam().pattern)),
            GetParam().matches)
      << GetParam().content_type << " vs " << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    MediaTypes, MediaTypeIsTest,
    ::testing::Values(MediaTypeCase{"text/html", "text/html", true},
                      MediaTypeCase{" Text/HTML ; x=1", "text/html", true},
                      MediaTypeCase{"text/html-sandboxed", "text/html", false},
                      MediaTypeCase{"text/htm", "text/html", false},
                      MediaTypeCase{"text/plain", "text", true},
                      MediaTypeCase{"TEXT/plain", "text", true},
                      // A type pattern needs the "/" after it.
                      MediaTypeCase{"textual/plain", "text", false},
                      MediaTypeCase{"text", "text", false},
                      MediaTypeCase{"multipart/mixed; boundary=b", "multipart", true},
                      MediaTypeCase{"", "text", false}, MediaTypeCase{"", "text/html", false}),
    [](const auto& info) {
      return ::test_rows::RowNameFromText(info.param.content_type, info.index);
    });

}  // namespace
}  // namespace queue
