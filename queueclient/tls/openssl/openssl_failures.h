// The failures of TLS library calls: how a failed handshake, set-up, receive or send call is
// turned into the failure the operator reads (lead text, CR LF, the library's own text).
#pragma once

#include <string>
#include <string_view>

#include "queueclient/failure.h"
#include "queueclient/tls/tls_failure_texts.h"

namespace queue {

// What one failed library call reported.
struct TlsCallError {
  int return_code;   // what the call returned (0 or -1)
  int result_kind;   // SSL_get_error for that return code
  int socket_error;  // the socket error the transport saw, as a Windows Sockets number; 0 if none
};

// Whether the call failed in the socket under the session (a system call error without a
// library error queued, returned -1): then `socket_error` is what happened.
bool IsSocketError(const TlsCallError& error);

// The library's text for an error code of its queue: the reason text, or the whole error string
// when the library has no reason text for the code.
std::string LibraryErrorText(unsigned long code);

// Throws the failure for a failed call with `lead` (empty for receives and sends: no lead and no
// line break) and `kind` (a TLS failure kind). The error queue holds the call's errors; it is
// empty afterwards. A system call error without queued errors that returned -1 throws the socket
// failure for `error.socket_error` instead.
[[noreturn]] void ThrowTlsCallFailure(FailureKind kind, std::string_view lead,
                                      const TlsCallError& error);

// Throws a set-up failure: `text`, or, when `with_library_text`, `text` CR LF and the text of
// the first queued error. Empties the error queue.
[[noreturn]] void ThrowTlsSetupFailure(std::string_view text, bool with_library_text);

}  // namespace queue
