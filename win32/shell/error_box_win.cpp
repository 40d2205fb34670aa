// Showing the error box.
#include "win32/shell/error_box_win.h"

#include <windows.h>

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "core/error_text.h"
#include "win32/controls/wide_text.h"
#include "win32/shell/application.h"

namespace win32 {
namespace {

struct Collected {
  HWND owner;
  std::vector<HWND> windows;
  // A failure may not pass through the system's enumeration: it is kept and thrown after it.
  std::exception_ptr failure;
};

BOOL CALLBACK CollectEnabled(HWND window, LPARAM state) {
  auto* collected = reinterpret_cast<Collected*>(state);
  try {
    if (window != collected->owner && IsWindowVisible(window) && IsWindowEnabled(window)) {
      collected->windows.push_back(window);
    }
    return TRUE;
  } catch (...) {
    collected->failure = std::current_exception();
    return FALSE;
  }
}

// Every other visible window of the program takes no input while the box is open. The box's
// owner is left to the box: it disables its owner and enables it again as it closes, but an
// owner it found disabled stays disabled, and the system then activates another program's
// window, which hides the operator window behind the clerk's other windows.
class OtherWindowsDisabled {
 public:
  explicit OtherWindowsDisabled(HWND owner) : collected_{owner, {}, {}} {
    EnumThreadWindows(GetCurrentThreadId(), &CollectEnabled, reinterpret_cast<LPARAM>(&collected_));
    if (collected_.failure) std::rethrow_exception(collected_.failure);
    for (HWND window : collected_.windows) EnableWindow(window, FALSE);
  }
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;
  ~OtherWindowsDisabled() {
    for (HWND window : collected_.windows) EnableWindow(window, TRUE);
  }

 private:
  Collected collected_;
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
    const OtherWindowsDisabled disabled(owner);
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
