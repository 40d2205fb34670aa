// The authorization attempt of a 401 and the Basic value it produces.
#include "queueclient/http/http_auth.h"

#include <gtest/gtest.h>

#include "queueclient/http/base64.h"
#include "tests/support/row_names.h"

namespace queue {
namespace {

struct Base64Case {
  const char* bytes;
  const char* encoded;
};
QUEUE_PRINT_ROWS_BY(Base64Case, encoded)

const Base64Case kBase64Cases[] = {{"", ""},
                                   {"f", "Zg=="},
                                   {"fo", "Zm8="},
                                   {"foo", "Zm9v"},
                                   {"foob", "Zm9vYg=="},
                                   {"fooba", "Zm9vYmE="},
                                   {"foobar", "Zm9vYmFy"},
                                   {"\xff\xfe", "//4="}};

class Base64Test : public ::testing::TestWithParam<Base64Case> {};

TEST_P(Base64Test, KnownVectors) {
  EXPECT_EQ(Base64Encode(GetParam().bytes), GetParam().encoded) << GetParam().bytes;
}

// Named by the encoding: the input bytes may be no letters at all.
INSTANTIATE_TEST_SUITE_P(Vectors, Base64Test, ::testing::ValuesIn(kBase64Cases),
                         [](const auto& info) {
                           return ::test_rows::RowNameFromText(info.param.encoded, info.index);
                         });

struct AttemptCase {
  const char* name;
  std::vector<std::u16string> challenges;
  std::u16string username;
  std::u16string password;
  bool accepted;
  bool state_attached;
};
QUEUE_PRINT_ROWS_BY(AttemptCase, name)

const AttemptCase kAttemptCases[] = {
    {"BasicWithCredentials", {u"Basic realm=\"q\""}, u"u", u"p", true, true},
    {"BasicWithoutPassword", {u"Basic"}, u"u", u"", false, true},
    {"BasicBlankPassword", {u"Basic"}, u"u", u"  ", false, true},
    {"BasicWithoutUser", {u"Basic"}, u"", u"p", false, true},
    {"DigestDeclines", {u"Digest realm=\"q\""}, u"u", u"p", false, true},
    {"NtlmDeclines", {u"NTLM"}, u"u", u"p", false, true},
    {"UnknownSchemeOnly", {u"Bearer"}, u"u", u"p", false, false},
    // The first challenge of a known scheme decides.
    {"FirstKnownSchemeWins", {u"Bearer", u"basic", u"Digest"}, u"u", u"p", true, true},
    {"NoChallenge", {}, u"u", u"p", false, false},
};

class AttemptTruthTable : public ::testing::TestWithParam<AttemptCase> {};

TEST_P(AttemptTruthTable, AcceptsAndAttaches) {
  const AttemptCase& c = GetParam();
  std::unique_ptr<AuthState> state;
  int attempts = 0;
  EXPECT_EQ(AttemptAuthorization(state, attempts, c.username, c.password, c.challenges), c.accepted)
      << c.name;
  EXPECT_EQ(state != nullptr, c.state_attached) << c.name;
  EXPECT_EQ(attempts, 1) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Challenges, AttemptTruthTable, ::testing::ValuesIn(kAttemptCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AttemptAuthorizationTest, AttemptsAreBounded) {
  std::unique_ptr<AuthState> state;
  int attempts = kMaxAuthRetries;
  EXPECT_FALSE(AttemptAuthorization(state, attempts, u"u", u"p", {u"Basic"}));
}

TEST(BasicValueTest, CharsetOfTheChallenge) {
  std::unique_ptr<AuthState> state;
  int attempts = 0;
  ASSERT_TRUE(AttemptAuthorization(state, attempts, u"\u00e9", u"p", {u"Basic charset=UTF-8"}));
  EXPECT_EQ(state->AuthorizationValue(u"\u00e9", u"p"), u"Basic w6k6cA==");  // UTF-8 bytes
  // Without a charset parameter: ISO-8859-1, one byte per character.
  ASSERT_TRUE(AttemptAuthorization(state, attempts, u"\u00e9", u"p", {u"Basic realm=\"a,b\""}));
  EXPECT_EQ(state->AuthorizationValue(u"\u00e9", u"p"), u"Basic 6Tpw");
  // Characters beyond one byte become "?".
  EXPECT_EQ(state->AuthorizationValue(u"\u0416", u"p"), u"Basic Pzpw");  // "?:p"
}

}  // namespace
}  // namespace queue
