// The failures of the Windows TLS (Schannel) calls: a security status turned into the failure
// the operator reads, with the same lead texts as the other TLS path ("Error connecting with
// SSL." CR LF the system's text).
#pragma once

#include <string>
#include <string_view>

#include "queueclient/failure.h"

namespace queue {

// The system's text for a security status (SEC_E_...), in the system's language, without the
// line break Windows ends it with; "Security status 0x8009030C" when the system has none.
std::u16string SecurityStatusText(long status);

// Throws the failure of `kind` for a failed call: `lead` CR LF the status's text, or the text
// alone when `lead` is empty (receives and sends).
[[noreturn]] void ThrowSecurityFailure(FailureKind kind, std::string_view lead, long status);

}  // namespace queue
