// The header list: lookup by name ignoring case, unfolding of continuation lines, set by name.
#include "queueclient/http/header_list.h"
#include "tests/support/row_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text.h"

namespace queue {
namespace {

HeaderList ListOf(const std::vector<const char*>& lines) {
  HeaderList list;
  for (const char* line : lines) list.Append(Widen(line));
  return list;
}

TEST(HeaderListTest, FirstLineOfANameCountsAndNamesIgnoreCase) {
  const HeaderList list = ListOf({"Content-Type: text/plain", "content-type: text/html"});
  EXPECT_EQ(list.Value(u"CONTENT-TYPE"), u"text/plain");
  EXPECT_TRUE(list.Has(u"content-TYPE"));
  EXPECT_EQ(list.Values(u"Content-Type"),
            (std::vector<std::u16string>{u"text/plain", u"text/html"}));
}

TEST(HeaderListTest, NamesAreNotTrimmed) {
  const HeaderList list = ListOf({"Content-Length : 5", "X-Empty:", "no colon here"});
  EXPECT_FALSE(list.Has(u"Content-Length"));
  EXPECT_EQ(list.Value(u"Content-Length "), u"5");
  EXPECT_TRUE(list.Has(u"X-Empty"));
  EXPECT_EQ(list.Value(u"X-Empty"), u"");
  EXPECT_FALSE(list.Has(u"no colon here"));
  EXPECT_FALSE(list.Has(u""));
  EXPECT_EQ(HeaderList::NameOf(u"no colon here"), u"");
  EXPECT_EQ(HeaderList::NameOf(u" A :b:c"), u" A ");
}

struct UnfoldCase {
  std::vector<const char*> lines;
  const char* value;
};
QUEUE_PRINT_ROWS_BY(UnfoldCase, lines)

class UnfoldTest : public ::testing::TestWithParam<UnfoldCase> {};

TEST_P(UnfoldTest, ContinuationsAreJoinedWithOneSpace) {
  const HeaderList list = ListOf(GetParam().lines);
  EXPECT_EQ(list.Value(u"X-Folded"), Widen(GetParam().value));
  EXPECT_EQ(list.Values(u"x-folded").front(), Widen(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(
    Folding, UnfoldTest,
    ::testing::Values(UnfoldCase{{"X-Folded:   a b  "}, "a b"},
                      UnfoldCase{{"X-Folded: a", " b"}, "a b"},
                      UnfoldCase{{"X-Folded: a  ", "\t\t b  ", "    c"}, "a b c"},
                      // A blank continuation adds no second space.
                      UnfoldCase{{"X-Folded: a", "   ", " b"}, "a b"},
                      UnfoldCase{{"X-Folded:", " b"}, "b"},
                      // The value is after the first colon only.
                      UnfoldCase{{"X-Folded: a:b", " c:d", "Next: e"}, "a:b c:d"}),
    [](const auto& info) {
      return ::test_rows::RowNameFromText(info.param.lines.empty() ? "" : info.param.lines.front(),
                                          info.index);
    });

TEST(HeaderListTest, SetReplacesTheFirstLineWithItsContinuations) {
  HeaderList list = ListOf({"A: 1", "content-type: text/plain", " ; charset=x", "\tmore",
                            "Content-Type: second", "B: 2"});
  list.Set(u"Content-Type", u"text/html");
  EXPECT_EQ(list.lines(), (std::vector<std::u16string>{u"A: 1", u"Content-Type: text/html",
                                                       u"Content-Type: second", u"B: 2"}));
  list.Set(u"X-New", u"v");
  EXPECT_EQ(list.lines().back(), u"X-New: v");
  EXPECT_EQ(list.Value(u"x-new"), u"v");
}

TEST(HeaderListTest, ClearEmptiesTheList) {
  HeaderList list = ListOf({"A: 1"});
  EXPECT_FALSE(list.empty());
  list.Clear();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.Value(u"A"), u"");
  EXPECT_TRUE(list.Values(u"A").empty());
}

}  // namespace
}  // namespace queue
