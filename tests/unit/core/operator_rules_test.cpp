// The rules both programs share: the application title, the start-up failure box's text, the
// caption after Save, the request URL, the log's lines, the list's type-ahead prefix and the
// start-up show state.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/application_title.h"
#include "core/failure.h"
#include "core/operator_rules.h"
#include "core/show_state.h"
#include "core/startup_failure_text.h"
#include "core/text.h"
#include "core/type_ahead.h"

namespace {

// A lower-case mapping that shows it was used: only A to Z, as the platforms' do for these.
std::u16string LowerAscii(std::u16string_view text) {
  return queue::AsciiLower(text);
}

struct TitleCase {
  const char* name;
  std::u16string path;
  std::u16string title;
};

class ApplicationTitleTest : public testing::TestWithParam<TitleCase> {};

TEST_P(ApplicationTitleTest, IsTheNameUpToItsFirstStopInLowerCaseAfterTheFirst) {
  EXPECT_EQ(queue::DeriveApplicationTitle(GetParam().path, &LowerAscii), GetParam().title);
}

const TitleCase kTitleCases[] = {
    {"WindowsPath", u"C:\\Program Files\\Queue\\Operator.exe", u"Operator"},
    {"CapitalsAfterTheFirst", u"C:\\q\\OPERATOR.EXE", u"Operator"},
    {"TwoStops", u"C:\\q\\Operator.x.exe", u"Operator"},
    {"LowerFirstStays", u"/opt/queue/operator", u"operator"},
    {"NoStop", u"/opt/queue/QueueOp", u"Queueop"},
    {"BothSeparators", u"C:\\a/b\\Desk.exe", u"Desk"},
    {"OneLetter", u"C:\\q\\X.exe", u"X"},
    {"StopFirst", u"C:\\q\\.exe", u""},
};
INSTANTIATE_TEST_SUITE_P(Paths, ApplicationTitleTest, testing::ValuesIn(kTitleCases),
                         [](const testing::TestParamInfo<TitleCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(StartupFailureText, HasTheFormatAndOnlyAFinalStopPreventsTheStop) {
  EXPECT_EQ(queue::StartupFailureText(u"Failure", u"Operator.exe", 0x1234ABCD, u"Bad theme"),
            u"Exception Failure in module Operator.exe at 1234ABCD.\r\nBad theme.\r\n");
  // The error box would not add a stop after "!"; this box does.
  EXPECT_EQ(queue::StartupFailureText(u"Failure", u"Operator.exe", 0, u"Stop!"),
            u"Exception Failure in module Operator.exe at 00000000.\r\nStop!.\r\n");
  EXPECT_EQ(queue::StartupFailureText(u"Failure", u"Operator.exe", 0, u"Done."),
            u"Exception Failure in module Operator.exe at 00000000.\r\nDone.\r\n");
  EXPECT_EQ(queue::StartupFailureText(u"Failure", u"Operator.exe", 0, u""),
            u"Exception Failure in module Operator.exe at 00000000.\r\n\r\n");
  // Only the low 32 bits of a 64-bit address.
  EXPECT_EQ(
      queue::StartupFailureText(u"F", u"M", static_cast<std::uintptr_t>(0xFFFFFFFFFull), u"x"),
      u"Exception F in module M at FFFFFFFF.\r\nx.\r\n");
}

TEST(StartupFailureText, NamesTheTypeAndTakesTheOuterMessage) {
  const auto inner = std::make_shared<queue::Failure>(queue::CoreFailure::kGeneric, "inner");
  const std::exception_ptr failure = std::make_exception_ptr(
      queue::Failure(queue::CoreFailure::kGeneric, u"Unable to load style 'X'", inner));
  EXPECT_EQ(queue::StartupFailureText(failure, u"Operator.exe"),
            u"Exception Failure in module Operator.exe at 00000000.\r\nUnable to load style "
            u"'X'.\r\n");
  EXPECT_EQ(queue::StartupFailureText(std::make_exception_ptr(std::runtime_error("boom")), u"M"),
            u"Exception std::runtime_error in module M at 00000000.\r\nboom.\r\n");
}

TEST(OperatorRules, CaptionIsTheRoleTheDashAndTheNumber) {
  EXPECT_EQ(queue::CaptionWithWindowNumber(u"Оператор", u"3"), u"Оператор - 3");
  // No number chosen: the caption ends in the blank; before the first showing, " - ".
  EXPECT_EQ(queue::CaptionWithWindowNumber(u"Оператор", u""), u"Оператор - ");
  EXPECT_EQ(queue::CaptionWithWindowNumber(u"", u""), u" - ");
}

TEST(OperatorRules, RequestUrlJoinsWithNothingAddedOrRemoved) {
  EXPECT_EQ(queue::RequestUrl(u"http://localhost", u"3"), u"http://localhost/getQueue?operator=3");
  EXPECT_EQ(queue::RequestUrl(u"http://localhost/", u"3"),
            u"http://localhost//getQueue?operator=3");
  EXPECT_EQ(queue::RequestUrl(u"", u"7"), u"/getQueue?operator=7");
  EXPECT_EQ(queue::RequestUrl(u" http://a b ", u""), u" http://a b /getQueue?operator=");
}

TEST(OperatorRules, EveryLineBreakOfAnAnswerStartsALogLine) {
  using Lines = std::vector<std::u16string>;
  EXPECT_EQ(queue::AnswerLogLines(u"A001"), Lines{u"A001"});
  EXPECT_EQ(queue::AnswerLogLines(u""), Lines{u""});
  EXPECT_EQ(queue::AnswerLogLines(u"a\r\nb\nc\rd"), (Lines{u"a", u"b", u"c", u"d"}));
  // A CR LF is one break; LF CR two.
  EXPECT_EQ(queue::AnswerLogLines(u"a\n\rb"), (Lines{u"a", u"", u"b"}));
  EXPECT_EQ(queue::AnswerLogLines(u"a\r\n"), (Lines{u"a", u""}));
  EXPECT_EQ(queue::AnswerLogLines(u"\xFEFFA001"), Lines{u"\xFEFFA001"});
}

TEST(TypeAheadPrefix, CharactersLessThanTheGapApartFormAPrefix) {
  queue::TypeAheadPrefix prefix;
  EXPECT_EQ(prefix.Add(u'a', 1000), u"a");
  EXPECT_EQ(prefix.Add(u'0', 1000 + queue::kTypeAheadGapMs - 1), u"a0");
  // At the gap the prefix starts again.
  EXPECT_EQ(prefix.Add(u'b', 1000 + 2 * queue::kTypeAheadGapMs - 1), u"b");
  // A clock that went back starts it again too.
  EXPECT_EQ(prefix.Add(u'c', 0), u"c");
}

TEST(ShowState, MaximisedForThreeMinimisedForSevenNormalOtherwise) {
  EXPECT_EQ(queue::ShowStateForCommand(3), queue::ShowState::kMaximized);
  EXPECT_EQ(queue::ShowStateForCommand(7), queue::ShowState::kMinimized);
  for (int command : {0, 1, 2, 4, 5, 6, 8, 9, 10, 11}) {
    EXPECT_EQ(queue::ShowStateForCommand(command), queue::ShowState::kNormal) << command;
  }
}

}  // namespace
