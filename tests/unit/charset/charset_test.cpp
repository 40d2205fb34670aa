// The body's character set from start to end: the character-set table, the header's charset
// with the media-type defaults, the meta scan and the XML declaration, and the decoding that
// follows, as the client runs them for one response.
#include "queueclient/charset/charset.h"
#include "queueclient/charset/charset_table.h"
#include "tests/support/row_names.h"

#include <gtest/gtest.h>

#include <string>

#include "core/text.h"
#include "tests/unit/exact_buffer.h"

namespace queue {
namespace {

using queue::testing::ExactBuffer;

struct CodePageCase {
  const char* name;
  int code_page;
};
QUEUE_PRINT_ROWS_BY(CodePageCase, name)

class CodePageOfTest : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageOfTest, LooksUpIgnoringCase) {
  EXPECT_EQ(CodePageOf(Widen(GetParam().name)), GetParam().code_page) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, CodePageOfTest,
    ::testing::Values(CodePageCase{"windows-1251", 1251}, CodePageCase{"Windows-1251", 1251},
                      CodePageCase{"cp1251", 0}, CodePageCase{"KOI8-R", 20866},
                      CodePageCase{"cskoi8r", 20866}, CodePageCase{"utf-8", 65001},
                      CodePageCase{"UTF-8", 65001}, CodePageCase{"utf8", 0},
                      CodePageCase{"UTF-16", 1200}, CodePageCase{"unicodeFFFE", 1201},
                      CodePageCase{"us", 20127}, CodePageCase{"437", 437},
                      CodePageCase{"ISO_8859-6", 708}, CodePageCase{"ISO-8859-6", 28596},
                      CodePageCase{"csISO2022JP", 50221},
                      CodePageCase{"ebcdic-Latin9--euro", 20924}, CodePageCase{"x-iscii-pa", 57011},
                      CodePageCase{"IBM037", 37}, CodePageCase{"UCS-4BE", 0}, CodePageCase{"", 0},
                      CodePageCase{" utf-8", 0}, CodePageCase{"utf-8;", 0}),
    [](const auto& info) { return ::test_rows::RowNameFromText(info.param.name, info.index); });

// One response as the client handles it: the header block, then the body's own say.
struct Response {
  const char* name;
  const char* content_type;  // nullptr: no Content-Type line
  std::string body;
  const char* charset;  // the character set the body is decoded with
  std::u16string text;  // the decoded body
};
QUEUE_PRINT_ROWS_BY(Response, name)

class ResponseCharsetTest : public ::testing::TestWithParam<Response> {};

TEST_P(ResponseCharsetTest, DecidesAndDecodes) {
  ResponseRecord record;
  record.ClearForHeaderBlock();
  if (GetParam().content_type) {
    record.headers.Append(u"Content-Type: " + Widen(GetParam().content_type));
  }
  InterpretHeaderBlock(record);
  const ExactBuffer body(GetParam().body);
  CharsetFromBody(record, body.view());
  EXPECT_EQ(record.charset, Widen(GetParam().charset));
  EXPECT_EQ(DecodeBody(body.view(), record.charset), GetParam().text);
}

const std::string kCyrillicUtf8 = "Привет";
const std::u16string kCyrillicAsLatin1 =
    u"\u00D0\u009F\u00D1\u0080\u00D0\u00B8\u00D0\u00B2\u00D0\u00B5\u00D1\u0082";
const std::string kHead1251 =
    "<html><head><meta charset=\"windows-1251\"></head><body>\xCF\xF0\xE8\xE2\xE5\xF2</body>";

INSTANTIATE_TEST_SUITE_P(
    Responses, ResponseCharsetTest,
    ::testing::Values(
        Response{"PlainUtf8", "text/plain; charset=utf-8", kCyrillicUtf8, "utf-8", u"Привет"},
        Response{"PlainWithoutCharset", "text/plain", kCyrillicUtf8, "ISO-8859-1",
                 kCyrillicAsLatin1},
        Response{"NoContentType", nullptr, kCyrillicUtf8, "", kCyrillicAsLatin1},
        Response{"Json", "application/json", kCyrillicUtf8, "", kCyrillicAsLatin1},
        Response{"HtmlMetaCharsetWins", "text/html; charset=utf-8", kHead1251, "windows-1251",
                 u"<html><head><meta charset=\"windows-1251\"></head><body>Привет</body>"},
        Response{"HtmlWithoutHtmlTag", "text/html; charset=utf-8",
                 "<head><meta charset=\"windows-1251\"></head>" + kCyrillicUtf8, "utf-8",
                 u"<head><meta charset=\"windows-1251\"></head>Привет"},
        Response{"XhtmlIsScanned", "application/xhtml+xml", kHead1251, "windows-1251",
                 u"<html><head><meta charset=\"windows-1251\"></head><body>Привет</body>"},
        Response{"SandboxedHtmlIsScanned", "text/html-sandboxed",
                 "<html><head><meta charset=koi8-r>\xF0", "koi8-r",
                 u"<html><head><meta charset=koi8-r>П"},
        // A meta Content-Type without charset gives the text default, whatever the header said.
        Response{"MetaContentTypeWithoutCharset", "text/html; charset=utf-8",
                 "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html\">\xE9",
                 "ISO-8859-1",
                 u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html\">\u00E9"},
        Response{"TitleBeforeHeadKeepsHeaderCharset", "text/html; charset=utf-8",
                 "<html><title>Т</title><head><meta charset=\"windows-1251\">", "utf-8",
                 u"<html><title>Т</title><head><meta charset=\"windows-1251\">"},
        Response{"ContentBeforeHttpEquivChangesNothing", "text/html; charset=koi8-r",
                 "<html><head><meta content=\"text/html; charset=utf-8\" "
                 "http-equiv=\"Content-Type\">\xF0",
                 "koi8-r",
                 u"<html><head><meta content=\"text/html; charset=utf-8\" "
                 u"http-equiv=\"Content-Type\">П"},
        Response{"XmlWithoutDeclarationIsUtf8", "application/xml; charset=windows-1251",
                 "<r>" + kCyrillicUtf8 + "</r>", "UTF-8", u"<r>Привет</r>"},
        Response{"XmlDeclarationWins", "application/xml; charset=windows-1251",
                 "<?xml version=\"1.0\" encoding=\"KOI8-R\"?>\xF0", "KOI8-R",
                 u"<?xml version=\"1.0\" encoding=\"KOI8-R\"?>П"},
        Response{"PlusXmlOutsideTextIsXml", "application/rss+xml",
                 "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\xCF", "windows-1251",
                 u"<?xml version=\"1.0\" encoding=\"windows-1251\"?>П"},
        // text/xml takes no detection: US-ASCII from its media type, high bytes unreadable.
        Response{"TextXmlIsAscii", "text/xml", "<?xml version=\"1.0\" encoding=\"KOI8-R\"?>\xF0",
                 "us-ascii", u"<?xml version=\"1.0\" encoding=\"KOI8-R\"?>\uFFFD"},
        Response{"TextPlusXmlIsAscii", "text/svg+xml", "<?xml encoding=\"KOI8-R\"?>", "us-ascii",
                 u"<?xml encoding=\"KOI8-R\"?>"},
        // A UCS-4 mark names no known charset: the 8-bit decoding.
        Response{"XmlUcs4Mark", "application/xml", std::string("\0\0\xFE\xFF", 4), "UCS-4BE",
                 std::u16string(u"\0\0\u00FE\u00FF", 4)},
        Response{"XmlUtf16Mark", "application/xml", std::string("\xFF\xFE<\0r\0", 6), "UTF-16LE",
                 u"\uFEFF<r"},
        // Compressed bytes are decoded like any other.
        Response{"GzipAsText", "text/plain; charset=utf-8", "\x1F\x8B\x08", "utf-8",
                 u"\u001F\uFFFD\u0008"},
        Response{"EmptyBody", "text/html; charset=utf-8", "", "utf-8", u""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CharsetFromBodyTest, MetaLinesReplaceHeaderLinesOfTheirName) {
  ResponseRecord record;
  for (const char16_t* line :
       {u"Content-Type: text/html; charset=utf-8", u"Refresh: 10", u"Content-Length: 120"}) {
    record.headers.Append(line);
  }
  InterpretHeaderBlock(record);
  CharsetFromBody(record, ExactBuffer("<html><head><meta http-equiv=\"refresh\" content=\"5\">"
                                      "<meta http-equiv=\"Content-Type\" "
                                      "content=\"text/html; charset=koi8-r\">"
                                      "<meta http-equiv=\"X-New\" content=\"n\">")
                              .view());
  EXPECT_EQ(record.headers.lines(),
            (std::vector<std::u16string>{u"Content-Type: text/html; charset=koi8-r", u"refresh: 5",
                                         u"Content-Length: 120", u"X-New: n"}));
  EXPECT_EQ(record.content_type, u"text/html");
  EXPECT_EQ(record.charset, u"koi8-r");
  EXPECT_EQ(record.meta.charset, u"koi8-r");
  EXPECT_EQ(record.content_length, 120);
}

}  // namespace
}  // namespace queue
