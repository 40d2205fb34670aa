// The encoding an XML body declares: byte-order marks, the declaration in each unit layout,
// and declarations that are cut off or malformed.
#include "queueclient/charset/xml_encoding.h"
#include "tests/support/row_names.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "core/text.h"
#include "tests/unit/exact_buffer.h"

namespace queue {
namespace {

using queue::testing::ExactBuffer;

std::u16string EncodingOf(std::string_view body) {
  return XmlEncodingOf(ExactBuffer(body).view());
}

// The declaration re-encoded by the system's converter, independent of the code under test.
std::string Encoded(const std::string& ascii, const char* charset) {
  iconv_t converter = iconv_open(charset, "ASCII");
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1)) << charset;
  std::string out(ascii.size() * 4, '\0');
  char* in = const_cast<char*>(ascii.data());
  std::size_t in_left = ascii.size();
  char* at = out.data();
  std::size_t out_left = out.size();
  iconv(converter, &in, &in_left, &at, &out_left);
  iconv_close(converter);
  out.resize(out.size() - out_left);
  return out;
}

struct XmlCase {
  const char* name;
  std::string body;
  const char* encoding;
};
QUEUE_PRINT_ROWS_BY(XmlCase, name)

class XmlEncodingTest : public ::testing::TestWithParam<XmlCase> {};

TEST_P(XmlEncodingTest, DetectsTheEncoding) {
  EXPECT_EQ(EncodingOf(GetParam().body), Widen(GetParam().encoding));
}

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"KOI8-R\"?><r>";

INSTANTIATE_TEST_SUITE_P(
    Bodies, XmlEncodingTest,
    ::testing::Values(
        XmlCase{"Empty", "", "UTF-8"}, XmlCase{"TwoBytes", "<?", "UTF-8"},
        XmlCase{"ThreeBytesNoMark", "<?x", "UTF-8"},
        XmlCase{"Ucs4BeMark", std::string("\0\0\xFE\xFF<", 5), "UCS-4BE"},
        XmlCase{"Ucs4UnusualMark", std::string("\0\0\xFF\xFE", 4), ""},
        XmlCase{"Ucs4LeMark", std::string("\xFF\xFE\0\0", 4), "UCS-4LE"},
        XmlCase{"Ucs4UnusualMark2", std::string("\xFE\xFF\0\0", 4), ""},
        XmlCase{"Utf16BeMark", std::string("\xFE\xFF\0<", 4), "UTF-16BE"},
        XmlCase{"Utf16LeMark", std::string("\xFF\xFE<\0", 4), "UTF-16LE"},
        // Three bytes: the missing fourth counts as 0, which makes this the UCS-4 mark.
        XmlCase{"ThreeByteLeMarkReadsAsUcs4", std::string("\xFF\xFE\0", 3), "UCS-4LE"},
        XmlCase{"ThreeByteUtf16LeMark", "\xFF\xFE\x41", "UTF-16LE"},
        // The mark wins over what the declaration says.
        XmlCase{"Utf8MarkBeforeDeclaration", "\xEF\xBB\xBF" + kDeclaration, "UTF-8"},
        XmlCase{"Utf8Declaration", kDeclaration, "KOI8-R"},
        XmlCase{"SingleQuotesAndBlanks", "<?xml version='1.0' encoding \t=\r\n ' cp866 '?>",
                "cp866"},
        XmlCase{"NoEncoding", "<?xml version=\"1.0\"?><a encoding=\"x\"/>", "UTF-8"},
        XmlCase{"UnquotedValue", "<?xml version=\"1.0\" encoding=KOI8-R?>", "UTF-8"},
        XmlCase{"EmptyValue", "<?xml version=\"1.0\" encoding=\"  \"?>", "UTF-8"},
        XmlCase{"NameIsCaseSensitive", "<?xml version=\"1.0\" Encoding=\"KOI8-R\"?>", "UTF-8"},
        XmlCase{"NoEqualsSign", "<?xml encoding \"KOI8-R\"?>", "UTF-8"},
        // The value runs to the end of the declaration, its ">" included, when its quote is
        // not closed; no such name is known, so the body decodes with the 8-bit decoding.
        XmlCase{"UnclosedQuote", "<?xml encoding=\"KOI8-R>", "KOI8-R>"},
        XmlCase{"DeclarationNeverEnds", "<?xml version=\"1.0\" encoding=\"KOI8-R\"", "UTF-8"},
        XmlCase{"UpperCaseXmlIsNoDeclaration", "<?XML encoding=\"KOI8-R\"?>", "UTF-8"},
        XmlCase{"NoDeclaration", "<root/>", "UTF-8"},
        XmlCase{"Utf16LeDeclaration", Encoded(kDeclaration, "UTF-16LE"), "KOI8-R"},
        XmlCase{"Utf16BeDeclaration", Encoded(kDeclaration, "UTF-16BE"), "KOI8-R"},
        XmlCase{"Ucs4BeDeclaration", Encoded(kDeclaration, "UCS-4BE"), "KOI8-R"},
        XmlCase{"Ucs4LeDeclaration", Encoded(kDeclaration, "UCS-4LE"), "KOI8-R"},
        XmlCase{"EbcdicDeclaration", Encoded(kDeclaration, "IBM037"), "KOI8-R"},
        // Only the listed characters are read from EBCDIC: the "8" of a code is, "$" is not.
        XmlCase{"EbcdicOtherCharacters",
                Encoded("<?xml version=\"1.0\" encoding=\"a$b\"?>", "IBM037"),
                "a\x01"
                "b"},
        // A body ending inside a four-byte unit has no end unit.
        XmlCase{"Ucs4CutInsideAUnit", Encoded("<?xml encoding=\"x\"?", "UCS-4LE") + "\x3E",
                "UTF-8"}),
    [](const auto& info) { return std::string(info.param.name); });

// The other two UCS-4 layouts, built by hand: the character in the 2nd or the 3rd byte.
struct Ucs4LayoutCase {
  const char* name;
  std::size_t position;  // of the character's byte in its unit
};
QUEUE_PRINT_ROWS_BY(Ucs4LayoutCase, name)

class UnusualUcs4Layout : public ::testing::TestWithParam<Ucs4LayoutCase> {};

TEST_P(UnusualUcs4Layout, GivesTheEncoding) {
  const std::size_t position = GetParam().position;
  std::string body;
  for (const char c : kDeclaration) {
    std::string unit(4, '\0');
    unit[position] = c;
    body += unit;
  }
  EXPECT_EQ(EncodingOf(body), u"KOI8-R") << position;
}

INSTANTIATE_TEST_SUITE_P(Layouts, UnusualUcs4Layout,
                         ::testing::Values(Ucs4LayoutCase{"CharacterInSecondByte", 1},
                                           Ucs4LayoutCase{"CharacterInThirdByte", 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// Cut after every byte: only a body that holds the whole declaration gives its encoding.
TEST(XmlEncodingTest, EveryPrefixOfADeclaration) {
  const std::string utf16 = Encoded(kDeclaration, "UTF-16LE");
  for (const std::string* body : {&kDeclaration, &utf16}) {
    const std::size_t end = body->find(body == &kDeclaration ? ">" : std::string(">\0", 2)) +
                            (body == &kDeclaration ? 1 : 2);
    for (std::size_t length = 0; length <= body->size(); ++length) {
      EXPECT_EQ(EncodingOf(std::string_view(*body).substr(0, length)),
                length >= end ? u"KOI8-R" : u"UTF-8")
          << length;
    }
  }
}

}  // namespace
}  // namespace queue
