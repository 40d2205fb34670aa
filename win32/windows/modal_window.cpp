// Showing a window modally.
#include "win32/windows/modal_window.h"

#include <algorithm>

#include "core/scope_exit.h"
#include "win32/shell/message_loop.h"

namespace win32 {
void ModalWindow::ShowModal() {
  if (hwnd() == nullptr) {
    try {
      Create();
    } catch (...) {
      DestroyNative();
      throw;
    }
  }
  HWND owner = GetWindow(hwnd(), GW_OWNER);
  PlaceForFirstShowing();
  {
    // The owner takes no input while the window is shown, and takes it again however the
    // showing ends.
    if (owner != nullptr) EnableWindow(owner, FALSE);
    const queue::ScopeExit enable_owner([owner] {
      if (owner != nullptr) EnableWindow(owner, TRUE);
    });
    ShowWindow(hwnd(), SW_SHOW);
    modal_ = true;
    const LoopEnd end = RunMessageLoop([this] { return !modal_; });
    modal_ = false;
    if (end.quit) PostQuitMessage(end.exit_code);
  }
  // Hidden once the owner takes input again, so the activation goes back to it.
  ShowWindow(hwnd(), SW_HIDE);
  if (owner != nullptr) SetActiveWindow(owner);
}

void ModalWindow::EndModal() {
  modal_ = false;
  // A close sent from another process is handled inside the loop's wait for a message, which
  // goes on waiting for a posted one: this one wakes it to see the showing ended.
  PostMessageW(hwnd(), WM_NULL, 0, 0);
}

void ModalWindow::PlaceForFirstShowing() {
  if (placed_) return;
  placed_ = true;
  HWND owner = GetWindow(hwnd(), GW_OWNER);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  RECT outer{};
  if (!GetMonitorInfoW(
          MonitorFromWindow(owner != nullptr ? owner : hwnd(), MONITOR_DEFAULTTONEAREST),
          &monitor) ||
      !GetWindowRect(hwnd(), &outer)) {
    return;
  }
  const RECT& work = monitor.rcWork;
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const int left = std::max<int>(GetSystemMetrics(SM_XVIRTUALSCREEN),
                                 work.left + (work.right - work.left - width) / 2);
  const int top = std::max<int>(GetSystemMetrics(SM_YVIRTUALSCREEN),
                                work.top + (work.bottom - work.top - height) / 2);
  SetWindowPos(hwnd(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT ModalWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      EndModal();
      return 0;
    case WM_COMMAND:
      // The dialog manager's Enter and Esc.
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) return 0;
      break;
    default:
      break;
  }
  return Window::HandleMessage(message, wparam, lparam);
}

}  // namespace win32
