// The barrier between the system's frames and the program's code in a hook or subclass
// procedure of the theme: no failure (out of memory included) unwinds through a frame of the
// system, which has no unwinding information for it; the message gets the system's answer
// instead, and the failure is written to the debugger's log.
#pragma once

#include <windows.h>

namespace win32theme {

// Runs `body`; when it throws, writes what failed to the debugger's log and returns
// `fallback()`, the answer the message would have had without the theme (which does not
// throw: it is the system's).
template <typename Body, typename Fallback>
LRESULT WithoutEscape(const wchar_t* what, const Body& body, const Fallback& fallback) noexcept {
  try {
    return body();
  } catch (...) {
    OutputDebugStringW(what);
  }
  return fallback();
}

}  // namespace win32theme
