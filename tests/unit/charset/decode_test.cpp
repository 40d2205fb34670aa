// Decoding body bytes into text: UTF-8 with its malformed sequences, UTF-16, UTF-7, and the
// named code pages through the platform converter with the 8-bit fallback.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <string>

#include "core/text.h"
#include "queueclient/charset/charset.h"
#include "queueclient/charset/charset_table.h"
#include "queueclient/charset/codepage_converter.h"
#include "queueclient/charset/decode_utf.h"
#include "tests/support/row_names.h"
#include "tests/unit/exact_buffer.h"

namespace queue {
namespace {

using queue::testing::ExactBuffer;

// Whether the system's converter lacks a code page that the system may have (Wine lacks some
// that Windows has); the cases that need it are skipped there, not failed.
bool SystemLacks(int code_page) {
#ifdef _WIN32
  // UTF-7, -8, -16, -32 and US-ASCII are decoded by the program itself.
  for (const int own : {1200, 1201, 12000, 12001, 20127, 65000, 65001}) {
    if (code_page == own) return false;
  }
  return !IsValidCodePage(code_page);
#else
  (void)code_page;
  return false;
#endif
}

struct Utf8Case {
  const char* name;
  std::string bytes;
  std::u16string text;
};
QUEUE_PRINT_ROWS_BY(Utf8Case, name)

class Utf8Test : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Test, OneReplacementPerMalformedPart) {
  EXPECT_EQ(DecodeUtf8(ExactBuffer(GetParam().bytes).view()), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Utf8Test,
    ::testing::Values(Utf8Case{"Ascii", "A015", u"A015"}, Utf8Case{"Empty", "", u""},
                      Utf8Case{"Nul", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
                      Utf8Case{"Cyrillic", "Окно 3, талон A015", u"Окно 3, талон A015"},
                      Utf8Case{"ByteOrderMarkStays",
                               "\xEF\xBB\xBF"
                               "A",
                               u"\uFEFFA"},
                      Utf8Case{"ThreeByte", "\xE2\x82\xAC", u"\u20AC"},
                      Utf8Case{"FourByteIsAPair", "\xF0\x9F\x98\x80", u"\U0001F600"},
                      Utf8Case{"Largest", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
                      Utf8Case{"LoneContinuation", "\x80z", u"\uFFFDz"},
                      Utf8Case{"NeverALead", "\xC0\x80\xFF", u"\uFFFD\uFFFD\uFFFD"},
                      // Overlong, surrogate and too large: the second byte is out of range, so each
                      // byte is a part of its own.
                      Utf8Case{"Overlong", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
                      Utf8Case{"Surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                      Utf8Case{"AboveUnicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                      // A valid start cut short is one part.
                      Utf8Case{"TruncatedAtEnd", "a\xE2\x82", u"a\uFFFD"},
                      Utf8Case{"TruncatedBeforeAscii",
                               "\xF0\x9F\x98"
                               "A",
                               u"\uFFFDA"},
                      Utf8Case{"TruncatedBeforeLead", "\xD0\xD0\x9E", u"\uFFFDО"},
                      // Non-ASCII just after and inside an eight-byte ASCII run.
                      Utf8Case{"RunBoundaries",
                               "12345678\xD0\x96"
                               "1234567\xD0\x96",
                               u"12345678Ж1234567Ж"}),
    [](const auto& info) { return std::string(info.param.name); });

// Cut after every byte: at a character boundary the two halves decode to the whole; inside a
// character the first half ends in exactly one U+FFFD.
TEST(Utf8Test, EveryCutOfMixedText) {
  const std::string text = "Талон A015 → окно 3 \xF0\x9F\x98\x80 end";
  const std::u16string whole = DecodeUtf8(text);
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    const std::u16string left = DecodeUtf8(ExactBuffer(text.substr(0, cut)).view());
    const std::u16string right = DecodeUtf8(ExactBuffer(text.substr(cut)).view());
    const bool at_boundary =
        cut == text.size() || (static_cast<unsigned char>(text[cut]) & 0xC0) != 0x80;
    if (at_boundary) {
      EXPECT_EQ(left + right, whole) << cut;
    } else {
      ASSERT_FALSE(left.empty()) << cut;
      EXPECT_EQ(left.back(), u'\uFFFD') << cut;
      EXPECT_TRUE(whole.starts_with(left.substr(0, left.size() - 1))) << cut;
    }
  }
}

TEST(Utf16Test, ByteOrdersAndAnOddLastByte) {
  EXPECT_EQ(DecodeUtf16(ExactBuffer(std::string("A\0\x16\x04", 4)).view(), false), u"AЖ");
  EXPECT_EQ(DecodeUtf16(ExactBuffer(std::string("\0A\x04\x16", 4)).view(), true), u"AЖ");
  EXPECT_EQ(DecodeUtf16(ExactBuffer(std::string("A\0B", 3)).view(), false), u"A");
  EXPECT_EQ(DecodeUtf16(ExactBuffer("B").view(), true), u"");
  // Unpaired surrogates pass through unchanged.
  EXPECT_EQ(DecodeUtf16(ExactBuffer(std::string("\x00\xD8", 2)).view(), false),
            std::u16string(1, char16_t{0xD800}));
}

struct Utf7Case {
  const char* name;
  const char* bytes;
  std::u16string text;
};
QUEUE_PRINT_ROWS_BY(Utf7Case, name)

class Utf7Test : public ::testing::TestWithParam<Utf7Case> {};

TEST_P(Utf7Test, Decodes) {
  EXPECT_EQ(DecodeUtf7(ExactBuffer(GetParam().bytes).view()), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf7Test,
    ::testing::Values(Utf7Case{"Direct", "Hi Mom!", u"Hi Mom!"},
                      Utf7Case{"Smiley", "Hi Mom -+Jjo--!", u"Hi Mom -\u263A-!"},
                      Utf7Case{"EndsAtNonBase64", "A+ImIDkQ.", u"A\u2262\u0391."},
                      Utf7Case{"Japanese", "+ZeVnLIqe-", u"\u65E5\u672C\u8A9E"},
                      Utf7Case{"Plus", "1 +- 1", u"1 + 1"},
                      Utf7Case{"RunToTheEnd", "+AGEAYgBj", u"abc"},
                      Utf7Case{"Cyrillic", "+BBQEMA-", u"Да"},
                      Utf7Case{"SurrogatePair", "+2D3eAA-", u"\U0001F600"},
                      // Leftover bits of a short run are dropped.
                      Utf7Case{"ShortRun", "+AG-x", u"x"}, Utf7Case{"LonePlus", "+", u""},
                      Utf7Case{"EightBitByte", "a\xC3z", u"a\uFFFDz"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BodyCase {
  const char* name;
  const char* charset;
  std::string bytes;
  std::u16string text;
};
QUEUE_PRINT_ROWS_BY(BodyCase, name)

class DecodeBodyTest : public ::testing::TestWithParam<BodyCase> {};

TEST_P(DecodeBodyTest, DecodesWithTheNamedCharset) {
  const int code_page = CodePageOf(Widen(GetParam().charset));
  const bool needs_converter = GetParam().text != DecodeBody(GetParam().bytes, u"");
  if (needs_converter && code_page > 0 && SystemLacks(code_page)) {
    GTEST_SKIP() << "this system has no converter for code page " << code_page;
  }
  EXPECT_EQ(DecodeBody(ExactBuffer(GetParam().bytes).view(), Widen(GetParam().charset)),
            GetParam().text);
}

const std::string kPrivet1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
const std::u16string kPrivetLatin1 = u"\u00CF\u00F0\u00E8\u00E2\u00E5\u00F2";

// The rows of the table; one row differs by platform, so it is not written inside the macro.
const BodyCase kBodyCases[] = {
    BodyCase{"NoCharsetIs8Bit", "", kPrivet1251, kPrivetLatin1},
    BodyCase{"Windows1251", "windows-1251", kPrivet1251, u"Привет"},
    BodyCase{"Windows1251AnyCase", "WINDOWS-1251", kPrivet1251, u"Привет"},
    // Not a name the table knows.
    BodyCase{"Cp1251IsUnknown", "cp1251", kPrivet1251, kPrivetLatin1},
    BodyCase{"UnknownName", "x-unknown", kPrivet1251, kPrivetLatin1},
    BodyCase{"NameWithBlankIsUnknown", "windows-1251 ", kPrivet1251, kPrivetLatin1},
    BodyCase{"Windows1251Euro", "windows-1251", "\x88", u"\u20AC"},
    // A byte the code page leaves undefined.
    BodyCase{"Windows1251Undefined", "windows-1251", "a\x98z", u"a\uFFFDz"},
    BodyCase{"Koi8R", "KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4", u"Привет"},
    BodyCase{"Cp866", "cp866", "\x8F\xE0\xA8\xA2\xA5\xE2", u"Привет"},
    BodyCase{"Iso88595", "ISO-8859-5", "\xBF\xE0\xD8\xD2\xD5\xE2", u"Привет"},
    BodyCase{"Latin1", "ISO-8859-1", "\xE9", u"\u00E9"},
    BodyCase{"Windows1252", "windows-1252", "\x80", u"\u20AC"},
    BodyCase{"Ebcdic", "IBM037", "\xC1\xF0\xF1\xF5", u"A015"},
    BodyCase{"ShiftJis", "Shift_JIS",
             "\x82\xA0"
             "A",
             u"\u3042A"},
    BodyCase{"ShiftJisCutLeadByte", "Shift_JIS", "A\x82", u"A\uFFFD"},
    BodyCase{"EucKr", "EUC-KR", "\xB0\xA1", u"\uAC00"},
    BodyCase{"Utf32Be", "UTF-32BE", std::string("\0\x01\xF6\0", 4), u"\U0001F600"},
    BodyCase{"Utf8", "utf-8", "Привет", u"Привет"},
    BodyCase{"Utf8Bom", "UTF-8",
             "\xEF\xBB\xBF"
             "A",
             u"\uFEFFA"},
    // "UTF-16" is little-endian: FF FE is U+FEFF and FE FF is U+FFFE.
    BodyCase{"Utf16LeBom", "UTF-16",
             "\xFF\xFE"
             "A",
             u"\uFEFF"},
    BodyCase{"Utf16BeBomUnderLe", "UTF-16",
             std::string("\xFE\xFF"
                         "A\0",
                         4),
             u"\uFFFEA"},
    BodyCase{"Utf16Be", "unicodeFFFE", std::string("\0A\0B", 4), u"AB"},
    BodyCase{"Ascii", "US-ASCII",
             "A\xC0"
             "015",
             u"A\uFFFD015"},
    BodyCase{"AsciiAlias", "us", "\x7F\x80", u"\u007F\uFFFD"},
    BodyCase{"Utf7", "UTF-7", "+BBQEMA-", u"Да"},
#ifdef _WIN32
    // A code page that only Windows converts.
    BodyCase{"MacJapanese", "x-mac-japanese", "\x82\xA0", u"\u3042"},
#else
    // A known name whose code page this platform cannot convert.
    BodyCase{"NoConverter", "x-mac-japanese", "\x82\xA0", u"\u0082\u00A0"},
#endif
    BodyCase{"ControlCharactersStay", "windows-1251", "\r\n\t\x01", u"\r\n\t\x01"},
};

INSTANTIATE_TEST_SUITE_P(Charsets, DecodeBodyTest, ::testing::ValuesIn(kBodyCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct EmptyBodyCase {
  const char* charset;
};
QUEUE_PRINT_ROWS_BY(EmptyBodyCase, charset)

const EmptyBodyCase kEmptyBodyCases[] = {
    {""},         {"utf-8"},        {"UTF-16"},    {"UTF-16BE"},    {"UTF-7"},
    {"us-ascii"}, {"windows-1251"}, {"Shift_JIS"}, {"ISO-2022-JP"}, {"x-unknown"}};

class EmptyBodyTest : public ::testing::TestWithParam<EmptyBodyCase> {};

TEST_P(EmptyBodyTest, GivesEmptyText) {
  const char* const charset = GetParam().charset;
  EXPECT_EQ(DecodeBody(ExactBuffer("").view(), Widen(charset)), u"") << charset;
}

INSTANTIATE_TEST_SUITE_P(EveryCharset, EmptyBodyTest, ::testing::ValuesIn(kEmptyBodyCases),
                         [](const auto& info) {
                           return ::test_rows::RowNameFromText(info.param.charset, info.index);
                         });

struct SingleByteCase {
  const char* name;
  int code_page;
};
QUEUE_PRINT_ROWS_BY(SingleByteCase, name)

// The single-byte table and the converter run byte by byte give the same text, so the table
// is a faithful cache; every byte decodes to one unit.
class SingleByteTableTest : public ::testing::TestWithParam<SingleByteCase> {};

TEST_P(SingleByteTableTest, MatchesTheConverter) {
  const int code_page = GetParam().code_page;
  std::string all_bytes;
  for (int b = 0; b < 256; ++b) all_bytes.push_back(static_cast<char>(b));
  const auto table_text = DecodeWithCodePage(ExactBuffer(all_bytes).view(), code_page);
  ASSERT_TRUE(table_text) << code_page;
  ASSERT_EQ(table_text->size(), 256u) << code_page;
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    const auto alone = DecodeWithCodePage(std::string_view(&byte, 1), code_page);
    ASSERT_TRUE(alone);
    EXPECT_EQ(*alone, table_text->substr(static_cast<std::size_t>(b), 1))
        << code_page << " byte " << b;
  }
}

INSTANTIATE_TEST_SUITE_P(CodePages, SingleByteTableTest,
                         ::testing::Values(SingleByteCase{"Windows1251", 1251},
                                           SingleByteCase{"Koi8R", 20866},
                                           SingleByteCase{"Dos866", 866},
                                           SingleByteCase{"Iso8859_5", 28595},
                                           SingleByteCase{"Ebcdic037", 37}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CodePageConverterTest, StatefulCodePageKeepsItsState) {
  if (SystemLacks(50220)) GTEST_SKIP() << "this system has no converter for code page 50220";
  // ISO-2022-JP switches to JIS X 0208 with ESC $ B and back with ESC ( B.
  const std::string bytes = "A\x1B$B$\"\x1B(BZ";
  EXPECT_EQ(DecodeBody(ExactBuffer(bytes).view(), u"ISO-2022-JP"), u"A\u3042Z");
}

TEST(CodePageConverterTest, UnknownCodePageIsNotConvertible) {
#ifndef _WIN32
  EXPECT_FALSE(DecodeWithCodePage("abc", 10001));  // Mac Japanese, which Windows has
#endif
  EXPECT_FALSE(DecodeWithCodePage("abc", 4242));
}

}  // namespace
}  // namespace queue
