// The failures of TLS library calls: how a failed handshake, set-up, receive or send call is
// turned into the failure the operator reads (lead text, CR LF, the library's own text).
#pragma once

#include <string>
#include <string_view>

#include "queueclient/failure.h"

namespace queue {

// The lead texts that start a composed TLS failure message.
inline constexpr std::string_view kHandshakeLead = "Error connecting with SSL.";
inline constexpr std::string_view kBindLead = "Error binding data to SSL socket.";
inline constexpr std::string_view kFileDescriptorLead = "Error setting File Descriptor for SSL";
inline constexpr std::string_view kContextLead = "Error creating SSL context.";
// What a peer that closes in the middle of a TLS exchange gets, whatever the library version
// calls it.
inline constexpr std::string_view kUnexpectedEofText =
    "EOF was observed that violates the protocol";

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
