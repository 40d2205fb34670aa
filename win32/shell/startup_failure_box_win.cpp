// Showing the start-up failure box.
#include "win32/shell/startup_failure_box_win.h"

#include <windows.h>

#include "core/startup_failure_text.h"
#include "win32/controls/wide_text.h"
#include "win32/shell/application.h"

namespace win32 {

void ShowStartupFailure(std::exception_ptr failure) noexcept {
  try {
    const std::u16string path = ExecutablePath();
    const std::size_t separator = path.find_last_of(u"\\/");
    const std::u16string module =
        separator == std::u16string::npos ? path : path.substr(separator + 1);
    const std::u16string text = queue::StartupFailureText(failure, module);
    MessageBoxW(nullptr, Wide(text), L"Application Error", MB_OK | MB_TASKMODAL | MB_ICONERROR);
  } catch (...) {
    OutputDebugStringW(L"Start-up failed, and the failure could not be shown");
  }
}

}  // namespace win32
