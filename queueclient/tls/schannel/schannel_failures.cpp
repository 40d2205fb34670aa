// Composition of the Windows TLS failure messages from the security status codes.
#include "queueclient/tls/schannel/schannel_failures.h"

#include <windows.h>

#include <array>
#include <cstdio>

#include "core/text.h"

namespace queue {

std::u16string SecurityStatusText(long status) {
  std::array<wchar_t, 512> buffer{};
  const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, static_cast<DWORD>(status), 0, buffer.data(),
                                        static_cast<DWORD>(buffer.size()), nullptr);
  std::u16string text(buffer.data(), buffer.data() + length);
  while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) {
    text.pop_back();
  }
  if (!text.empty()) return text;
  std::array<char, 32> number{};
  std::snprintf(number.data(), number.size(), "Security status 0x%08lX",
                static_cast<unsigned long>(status));
  return AsciiToUtf16(number.data());
}

void ThrowSecurityFailure(FailureKind kind, std::string_view lead, long status) {
  std::u16string message;
  if (!lead.empty()) message = AsciiToUtf16(lead) + u"\r\n";
  message += SecurityStatusText(status);
  throw TlsFailure(kind, std::move(message), static_cast<unsigned long>(status), 0);
}

}  // namespace queue
