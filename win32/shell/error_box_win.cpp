// Showing the error box.
#include "win32/shell/error_box_win.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "core/error_text.h"
#include "win32/controls/wide_text.h"
#include "win32/shell/application.h"

namespace win32 {
namespace {

BOOL CALLBACK CollectEnabled(HWND window, LPARAM windows) {
  if (IsWindowVisible(window) && IsWindowEnabled(window)) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  }
  return TRUE;
}

// Every other visible window of the program takes no input while the box is open.
class OtherWindowsDisabled {
 public:
  OtherWindowsDisabled() {
    EnumThreadWindows(GetCurrentThreadId(), &CollectEnabled, reinterpret_cast<LPARAM>(&windows_));
    for (HWND window : windows_) EnableWindow(window, FALSE);
  }
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;
  ~OtherWindowsDisabled() {
    for (HWND window : windows_) EnableWindow(window, TRUE);
  }

 private:
  std::vector<HWND> windows_;
};

// The system centres a box on its owner's monitor: when the hidden window owns it and the
// user works on another monitor, the hidden window goes there while the box is open.
class HiddenWindowOnMonitorOf {
 public:
  explicit HiddenWindowOnMonitorOf(HWND active) : hidden_(HiddenApplicationWindow()) {
    if (hidden_ == nullptr || active == nullptr) return;
    HMONITOR target = MonitorFromWindow(active, MONITOR_DEFAULTTONEAREST);
    if (target == MonitorFromWindow(hidden_, MONITOR_DEFAULTTONEAREST)) return;
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(target, &info) || !GetWindowRect(hidden_, &old_)) return;
    moved_ = true;
    SetWindowPos(hidden_, nullptr, (info.rcMonitor.left + info.rcMonitor.right) / 2,
                 (info.rcMonitor.top + info.rcMonitor.bottom) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  HiddenWindowOnMonitorOf(const HiddenWindowOnMonitorOf&) = delete;
  HiddenWindowOnMonitorOf& operator=(const HiddenWindowOnMonitorOf&) = delete;
  ~HiddenWindowOnMonitorOf() {
    if (moved_) {
      SetWindowPos(hidden_, nullptr, old_.left, old_.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }

 private:
  HWND hidden_;
  RECT old_{};
  bool moved_ = false;
};

void ShowErrorMessage(const std::u16string& text) {
  HWND active = GetActiveWindow();
  HWND focus = GetFocus();
  HWND owner = active != nullptr ? active : HiddenApplicationWindow();
  {
    const HiddenWindowOnMonitorOf placed(active);
    const OtherWindowsDisabled disabled;
    MessageBoxW(owner, Wide(text), Wide(ApplicationTitle()), MB_OK | MB_ICONERROR);
  }
  if (active != nullptr && IsWindow(active)) SetActiveWindow(active);
  if (focus != nullptr && IsWindow(focus)) SetFocus(focus);
}

}  // namespace

void ShowFailure(std::exception_ptr failure) noexcept {
  try {
    // A button held down would stay pressed behind the box.
    if (HWND captured = GetCapture()) SendMessageW(captured, WM_CANCELMODE, 0, 0);
    const std::optional<std::u16string> text = queue::ErrorBoxText(failure);
    if (text) ShowErrorMessage(*text);
  } catch (...) {
    // The box itself failed (out of memory, most likely); the debugger's log is all that is left.
    OutputDebugStringW(L"The error box could not be shown");
  }
}

}  // namespace win32
