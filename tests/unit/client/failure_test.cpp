// The failure messages composed from the socket error table.
#include "queueclient/failure.h"

#include <gtest/gtest.h>

#include "core/text.h"
#include "tests/support/row_names.h"

namespace queue {
namespace {

struct SocketMessageCase {
  const char* name;
  int number;
  const char16_t* message;
};
QUEUE_PRINT_ROWS_BY(SocketMessageCase, name)

const SocketMessageCase kSocketMessageCases[] = {
    {"ConnectionRefused", 10061, u"Socket Error # 10061\r\nConnection refused."},
    {"HostNotFound", 11001, u"Socket Error # 11001\r\nHost not found."},
    // The one text without a stop.
    {"DirectoryNotEmpty", 10066, u"Socket Error # 10066\r\nDirectory not empty"},
    // Not in the table: an empty line.
    {"NotInTheTable", 11002, u"Socket Error # 11002\r\n"},
    {"Zero", 0, u"Socket Error # 0\r\n"},
};

class SocketFailureTest : public ::testing::TestWithParam<SocketMessageCase> {};

TEST_P(SocketFailureTest, ComposesNumberAndTableText) {
  const SocketMessageCase& c = GetParam();
  SocketFailure failure(c.number);
  EXPECT_EQ(failure.message(), c.message) << c.number;
  EXPECT_EQ(failure.error_number(), c.number);
  EXPECT_EQ(failure.kind().name(), "socket");
}

INSTANTIATE_TEST_SUITE_P(Numbers, SocketFailureTest, ::testing::ValuesIn(kSocketMessageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FailureTest, KeepsInnerFailureAndUtf8What) {
  auto inner = std::make_shared<Failure>(CoreFailure::kGeneric, u"Доступ");
  Failure outer(CoreFailure::kGeneric, u"outer", inner);
  ASSERT_NE(outer.inner(), nullptr);
  EXPECT_EQ(outer.inner()->message(), u"Доступ");
  EXPECT_STREQ(inner->what(), "Доступ");
}

TEST(TextTest, Utf8RoundTripAndMalformedInput) {
  EXPECT_EQ(Utf8ToUtf16("A\xD0\x9F\xF0\x9F\x98\x80"), u"AП\U0001F600");
  EXPECT_EQ(Utf16ToUtf8(u"AП\U0001F600"), "A\xD0\x9F\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUtf16("\xC0\x80x"), u"\uFFFD\uFFFDx");  // overlong: each byte rejected
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), u"\uFFFD");          // cut short at the end
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
  EXPECT_EQ(AsciiToUtf16("a\x80"), u"a\uFFFD");
}

}  // namespace
}  // namespace queue
