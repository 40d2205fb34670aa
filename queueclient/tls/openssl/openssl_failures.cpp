// Composition of the TLS failure messages from what the library reports.
#include "queueclient/tls/openssl/openssl_failures.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <array>
#include <string>

#include "core/text.h"

namespace queue {
namespace {

// Current library versions report a peer that closes without a close notification as a
// protocol error of their own; older ones reported it as a system call that returned 0. Both
// mean the same to the operator.
bool IsUnexpectedEof(unsigned long code) {
  return ERR_GET_LIB(code) == ERR_LIB_SSL &&
         ERR_GET_REASON(code) == SSL_R_UNEXPECTED_EOF_WHILE_READING;
}

std::string QueuedErrorText(unsigned long code) {
  return IsUnexpectedEof(code) ? std::string(kUnexpectedEofText) : LibraryErrorText(code);
}

std::u16string Compose(std::string_view lead, const std::string& text) {
  std::string message;
  if (!lead.empty()) {
    message.append(lead);
    message.append("\r\n");
  }
  message.append(text);
  return AsciiToUtf16(message);
}

}  // namespace

bool IsSocketError(const TlsCallError& error) {
  const unsigned long queued = ERR_peek_error();
  return error.result_kind == SSL_ERROR_SYSCALL && error.return_code < 0 &&
         (queued == 0 || ERR_GET_LIB(queued) == ERR_LIB_SYS);
}

std::string LibraryErrorText(unsigned long code) {
  if (const char* reason = ERR_reason_error_string(code)) return reason;
  std::array<char, 256> buffer{};
  ERR_error_string_n(code, buffer.data(), buffer.size());
  return buffer.data();
}

void ThrowTlsCallFailure(FailureKind kind, std::string_view lead, const TlsCallError& error) {
  const unsigned long queued = ERR_peek_error();
  ERR_clear_error();
  switch (error.result_kind) {
    case SSL_ERROR_SSL:
      throw TlsFailure(kind, Compose(lead, QueuedErrorText(queued)), queued, error.return_code);
    case SSL_ERROR_SYSCALL:
      // The library may also record a failed system call's errno in its queue, under the
      // system library: that is a socket error like any other, not a library error.
      if (queued != 0 && ERR_GET_LIB(queued) != ERR_LIB_SYS) {
        throw TlsFailure(kind, Compose(lead, QueuedErrorText(queued)), queued, error.return_code);
      }
      if (error.return_code < 0) throw SocketFailure(error.socket_error);
      // Returned 0: the peer closed the connection in the middle of the exchange.
      throw TlsFailure(kind, Compose(lead, std::string(kUnexpectedEofText)), 0, error.return_code);
    default:
      throw TlsFailure(
          kind, Compose(lead, LibraryErrorText(static_cast<unsigned long>(error.result_kind))),
          static_cast<unsigned long>(error.result_kind), error.return_code);
  }
}

void ThrowTlsSetupFailure(std::string_view text, bool with_library_text) {
  const unsigned long queued = ERR_peek_error();
  ERR_clear_error();
  std::u16string message =
      with_library_text ? Compose(text, LibraryErrorText(queued)) : AsciiToUtf16(text);
  throw TlsFailure(ClientFailure::kSslSetup, std::move(message), queued, 0);
}

}  // namespace queue
