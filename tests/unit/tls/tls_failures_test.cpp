// How failed TLS library calls become the messages the operator reads.
#include "queueclient/tls/openssl/openssl_failures.h"
#include "tests/support/row_names.h"

#include <gtest/gtest.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include "core/text.h"

namespace queue {
namespace {

struct CallCase {
  const char* name;
  FailureKind kind;
  std::string_view lead;
  TlsCallError error;
  unsigned long queued;  // pushed onto the error queue before the call; 0 for none
  const char16_t* message;
};
QUEUE_PRINT_ROWS_BY(CallCase, name)

std::string CaseName(const testing::TestParamInfo<CallCase>& info) {
  return info.param.name;
}

// The channel initialises the library (and with it the error texts) before any call.
class LibraryTexts : public testing::Environment {
 public:
  void SetUp() override { OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS, nullptr); }
};
const auto* const kLibraryTexts = testing::AddGlobalTestEnvironment(new LibraryTexts);

class TlsCallFailureTest : public testing::TestWithParam<CallCase> {};

TEST_P(TlsCallFailureTest, ComposesLeadAndLibraryText) {
  const CallCase& c = GetParam();
  ERR_clear_error();
  if (c.queued != 0) ERR_raise(ERR_GET_LIB(c.queued), ERR_GET_REASON(c.queued));
  try {
    ThrowTlsCallFailure(c.kind, c.lead, c.error);
    FAIL() << "nothing thrown";
  } catch (const TlsFailure& failure) {
    EXPECT_EQ(failure.kind(), c.kind);
    EXPECT_EQ(Utf16ToUtf8(failure.message()), Utf16ToUtf8(c.message));
    EXPECT_EQ(failure.return_code(), c.error.return_code);
  }
  EXPECT_EQ(ERR_peek_error(), 0u) << "the error queue is left empty";
}

const unsigned long kWrongVersion = ERR_PACK(ERR_LIB_SSL, 0, SSL_R_WRONG_VERSION_NUMBER);
const unsigned long kUnexpectedEof = ERR_PACK(ERR_LIB_SSL, 0, SSL_R_UNEXPECTED_EOF_WHILE_READING);

INSTANTIATE_TEST_SUITE_P(
    Kinds, TlsCallFailureTest,
    testing::Values(
        CallCase{"ProtocolErrorInHandshake",
                 ClientFailure::kSslHandshake,
                 kHandshakeLead,
                 {-1, SSL_ERROR_SSL, 0},
                 kWrongVersion,
                 u"Error connecting with SSL.\r\nwrong version number"},
        // Reads and writes have no lead text and no line break.
        CallCase{"ProtocolErrorInReceive",
                 ClientFailure::kSslLibrary,
                 {},
                 {-1, SSL_ERROR_SSL, 0},
                 kWrongVersion,
                 u"wrong version number"},
        // Older libraries: a system call that returned 0 with nothing queued.
        CallCase{"SystemCallEofInHandshake",
                 ClientFailure::kSslHandshake,
                 kHandshakeLead,
                 {0, SSL_ERROR_SYSCALL, 0},
                 0,
                 u"Error connecting with SSL.\r\nEOF was observed that violates the protocol"},
        // Current libraries report the same close as a protocol error of their own.
        CallCase{"QueuedEofInHandshake",
                 ClientFailure::kSslHandshake,
                 kHandshakeLead,
                 {-1, SSL_ERROR_SSL, 0},
                 kUnexpectedEof,
                 u"Error connecting with SSL.\r\nEOF was observed that violates the protocol"},
        CallCase{"QueuedEofInReceive",
                 ClientFailure::kSslLibrary,
                 {},
                 {-1, SSL_ERROR_SSL, 0},
                 kUnexpectedEof,
                 u"EOF was observed that violates the protocol"},
        // A system call error with a library error queued reads the queue.
        CallCase{"SystemCallWithQueuedError",
                 ClientFailure::kSslHandshake,
                 kBindLead,
                 {-1, SSL_ERROR_SYSCALL, 10054},
                 kWrongVersion,
                 u"Error binding data to SSL socket.\r\nwrong version number"}),
    CaseName);

TEST(TlsCallFailureTest, SystemCallErrorIsTheSocketFailure) {
  ERR_clear_error();
  const TlsCallError reset{-1, SSL_ERROR_SYSCALL, 10054};
  EXPECT_TRUE(IsSocketError(reset));
  try {
    ThrowTlsCallFailure(ClientFailure::kSslHandshake, kHandshakeLead, reset);
    FAIL() << "nothing thrown";
  } catch (const SocketFailure& failure) {
    EXPECT_EQ(failure.error_number(), 10054);
    EXPECT_EQ(failure.message(), u"Socket Error # 10054\r\nConnection reset by peer.");
  }
}

TEST(TlsCallFailureTest, OtherKindsGiveTheLibraryTextOfTheirNumber) {
  ERR_clear_error();
  const TlsCallError error{-1, SSL_ERROR_WANT_X509_LOOKUP, 0};
  EXPECT_FALSE(IsSocketError(error));
  try {
    ThrowTlsCallFailure(ClientFailure::kSslLibrary, {}, error);
    FAIL() << "nothing thrown";
  } catch (const TlsFailure& failure) {
    EXPECT_EQ(Utf16ToUtf8(failure.message()),
              LibraryErrorText(static_cast<unsigned long>(SSL_ERROR_WANT_X509_LOOKUP)));
    EXPECT_FALSE(failure.message().empty());
  }
}

TEST(TlsSetupFailureTest, ContextFailureCarriesTheQueuedText) {
  ERR_clear_error();
  ERR_raise(ERR_LIB_SSL, SSL_R_WRONG_VERSION_NUMBER);
  try {
    ThrowTlsSetupFailure(kContextLead, true);
    FAIL() << "nothing thrown";
  } catch (const TlsFailure& failure) {
    EXPECT_EQ(failure.kind(), ClientFailure::kSslSetup);
    EXPECT_EQ(failure.message(), u"Error creating SSL context.\r\nwrong version number");
  }
  try {
    ThrowTlsSetupFailure("SetCipher failed.", false);
    FAIL() << "nothing thrown";
  } catch (const TlsFailure& failure) {
    EXPECT_EQ(failure.message(), u"SetCipher failed.");
  }
}

}  // namespace
}  // namespace queue
