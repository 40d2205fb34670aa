// The meta scan of HTML bodies: which meta elements count, where the scan stops, and markup
// that is broken or cut off.
#include "queueclient/charset/meta_scan.h"
#include "tests/support/row_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text.h"
#include "queueclient/http/buffered_reader.h"
#include "tests/unit/exact_buffer.h"

namespace queue {
namespace {

using queue::testing::ExactBuffer;

MetaRecord Scanned(std::string_view html) {
  MetaRecord meta;
  ScanHtmlMeta(ExactBuffer(html).view(), meta);
  return meta;
}

std::u16string JoinedLines(const HeaderList& headers) {
  std::u16string joined;
  for (const auto& line : headers.lines()) {
    if (!joined.empty()) joined += u'|';
    joined += line;
  }
  return joined;
}

struct MetaCase {
  const char* name;
  const char* html;
  const char* lines;  // the meta header lines, joined with "|"
  const char* charset;
};
QUEUE_PRINT_ROWS_BY(MetaCase, name)

class MetaScanTest : public ::testing::TestWithParam<MetaCase> {};

TEST_P(MetaScanTest, FindsTheMetaElementsOfTheHead) {
  const MetaRecord meta = Scanned(GetParam().html);
  EXPECT_EQ(JoinedLines(meta.headers), Widen(GetParam().lines));
  EXPECT_EQ(meta.charset, Widen(GetParam().charset));
}

INSTANTIATE_TEST_SUITE_P(
    Documents, MetaScanTest,
    ::testing::Values(
        MetaCase{"CharsetElement", "<html><head><meta charset=\"windows-1251\"></head></html>", "",
                 "windows-1251"},
        MetaCase{"HttpEquivContentType",
                 "<html><head><meta http-equiv=\"Content-Type\" "
                 "content=\"text/html; charset=koi8-r\"></head>",
                 "Content-Type: text/html; charset=koi8-r", "koi8-r"},
        // Only an http-equiv first counts: content before it hides the element.
        MetaCase{"ContentBeforeHttpEquiv",
                 "<html><head><meta content=\"text/html; charset=koi8-r\" "
                 "http-equiv=\"Content-Type\"></head>",
                 "", ""},
        MetaCase{"NoHtmlElement", "<head><meta charset=\"windows-1251\"></head>", "", ""},
        // A title directly inside html ends all recognition.
        MetaCase{"TitleBeforeHead",
                 "<html><title>Q</title><head><meta charset=\"windows-1251\"></head>", "", ""},
        MetaCase{"BodyBeforeHead", "<html><body><head><meta charset=\"x\"></head>", "", ""},
        MetaCase{"MetaInsideAComment",
                 "<html><head><!-- <meta charset=\"a\"> --><meta charset=\"b\">", "", "b"},
        MetaCase{"DeclarationsAndUpperCase",
                 "<?xml version=\"1.0\"?><!DOCTYPE html><HTML><HEAD>"
                 "<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=cp866\">",
                 "Content-Type: text/html; charset=cp866", "cp866"},
        MetaCase{"MetaInsideScript",
                 "<html><head><script>var s = \"<meta charset=x>\";</SCRIPT >"
                 "<meta charset=y>",
                 "", "y"},
        MetaCase{"MetaInsideTitleOfHead",
                 "<html><head><title><meta charset=x>< /title><meta charset=y>", "", "y"},
        // Markup that closes the content value early: the rest up to the next quote joins it.
        MetaCase{"BrokenInnerQuotes",
                 "<html><head><meta http-equiv=\"Content-Type\" "
                 "content=\"text/html; charset=\"utf-8\"\"></head>",
                 "Content-Type: text/html; charset=utf-8", "utf-8"},
        // A line without a Content-Type leaves no character set.
        MetaCase{"UnquotedContent", "<html><head><meta http-equiv=refresh content=5>", "refresh: 5",
                 ""},
        MetaCase{"HttpEquivWithoutContent",
                 "<html><head><meta http-equiv='X-UA-Compatible' name=x></head>",
                 "X-UA-Compatible:", ""},
        MetaCase{"TwoContents", "<html><head><meta http-equiv=\"X-Two\" content=a content='b'>",
                 "X-Two: a b", ""},
        // The charset element has the last word, wherever it stands.
        MetaCase{"CharsetElementBeatsHttpEquiv",
                 "<html><head><meta charset=\"koi8-r\"><meta http-equiv=\"Content-Type\" "
                 "content=\"text/html; charset=utf-8\">",
                 "Content-Type: text/html; charset=utf-8", "koi8-r"},
        MetaCase{"HttpEquivWithoutEquals", "<html><head><meta http-equiv><meta charset=z>", "",
                 "z"},
        MetaCase{"CharsetWithoutEquals", "<html><head><meta charset utf-8><meta charset=z>", "",
                 "z"},
        // End tags and other elements leave the scan in the head.
        MetaCase{"MetaAfterEndOfHead",
                 "<html><head><link rel=\"a<meta charset=q>\"></head><p><meta charset=w>", "", "w"},
        MetaCase{"BlanksEverywhere", "< html >< head >\n<\tmeta  charset = 'a b' >", "", "a b"},
        MetaCase{"SelfClosing",
                 "<html><head><meta http-equiv=\"Content-Type\" "
                 "content=\"text/html; charset=utf-8\" /><meta name=x content=y>",
                 "Content-Type: text/html; charset=utf-8", "utf-8"},
        MetaCase{"MetaWithOtherFirstAttribute", "<html><head><meta name=\"charset\" content=x>", "",
                 ""},
        MetaCase{"LaterCharsetElementReplaces", "<html><head><meta charset=a><meta charset=b>", "",
                 "b"},
        // Cut off inside an element: what arrived counts.
        MetaCase{"CutInsideContent",
                 "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=ut",
                 "Content-Type: text/html; charset=ut", "ut"},
        MetaCase{"CutInsideCharset", "<html><head><meta charset=\"abc", "", "abc"},
        MetaCase{"UnclosedComment", "<html><head><!-- <meta charset=x>", "", ""},
        MetaCase{"LoneOpeningBrackets", "<html><head><<<!<?<", "", ""},
        MetaCase{"Empty", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A meta element whose line would be longer than a header line may be is dropped, whatever
// holds the bytes (a content value, the http-equiv name, a charset value): kept, a body of
// megabytes would be copied into the header list twice its size. One byte less is kept.
struct BoundCase {
  const char* name;
  std::string element;
  std::size_t lines;
  const char* charset;
};
QUEUE_PRINT_ROWS_BY(BoundCase, name)

std::vector<BoundCase> BoundCases() {
  const std::string fill(kMaxLineLength + 1, 'x');
  const std::string at_bound(kMaxLineLength - std::string("Refresh: ").size(), 'x');
  return {
      {"LongContentValue",
       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r " + fill + "\">", 0,
       ""},
      {"LongHttpEquivName", "<meta http-equiv=\"" + fill + "\" content=\"1\">", 0, ""},
      {"LongCharsetValue", "<meta charset=\"" + fill + "\">", 0, ""},
      {"LineOfTheBound", "<meta http-equiv=\"Refresh\" content=\"" + at_bound + "\">", 1, ""},
  };
}

class MetaScanBoundTest : public ::testing::TestWithParam<BoundCase> {};

TEST_P(MetaScanBoundTest, LinesPastTheHeaderLineBoundAreDropped) {
  const BoundCase& c = GetParam();
  const MetaRecord meta = Scanned("<html><head>" + c.element + "</head></html>");
  EXPECT_EQ(meta.headers.lines().size(), c.lines) << c.element.substr(0, 40);
  EXPECT_EQ(meta.charset, Widen(c.charset)) << c.element.substr(0, 40);
}

INSTANTIATE_TEST_SUITE_P(Elements, MetaScanBoundTest, ::testing::ValuesIn(BoundCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Cut after every byte: before the charset's value the scan finds nothing, inside it a part of
// the value, and once the element is whole exactly the value.
TEST(MetaScanPrefixTest, EveryPrefixGivesAPartOfTheValue) {
  const std::string html =
      "<!DOCTYPE html><html><head><title>Очередь</title>"
      "<meta charset=\"windows-1251\"></head><body>A015</body></html>";
  const std::u16string full = u"windows-1251";
  const std::size_t element_end = html.find("\">") + 1;
  for (std::size_t length = 0; length <= html.size(); ++length) {
    const std::u16string charset = Scanned(std::string_view(html).substr(0, length)).charset;
    if (length >= element_end) {
      EXPECT_EQ(charset, full) << length;
    } else {
      EXPECT_TRUE(full.starts_with(charset)) << length;
    }
  }
}

}  // namespace
}  // namespace queue
