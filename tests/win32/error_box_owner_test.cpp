// The error box and the windows it stands over, in this process: the box is owned by the
// active window and leaves disabling and enabling that owner to the system's message box, which
// enables an owner it found enabled before the box goes, so that the activation returns to
// it; the program's other windows take no input while the box is open and take it again after.
// A box whose owner was already disabled leaves it disabled as it goes, and Windows then
// activates another program's window.
#include <windows.h>

#include <gtest/gtest.h>

#include <exception>
#include <string>

#include "core/failure.h"
#include "win32/shell/application.h"
#include "win32/shell/error_box_win.h"

namespace {

constexpr wchar_t kClass[] = L"ErrorBoxOwnerTestWindow";

// What the windows showed while the box was open and as it went.
struct Seen {
  HWND owner = nullptr;
  HWND other = nullptr;
  HWND box = nullptr;
  bool owner_enabled_while_open = true;
  bool other_enabled_while_open = true;
  bool owner_enabled_as_box_went = false;
};

Seen* seen = nullptr;

bool IsBox(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 15);
  return std::wstring(name) == L"#32770";
}

void CALLBACK ReadAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  seen->owner_enabled_while_open = IsWindowEnabled(seen->owner) != FALSE;
  seen->other_enabled_while_open = IsWindowEnabled(seen->other) != FALSE;
  PostMessageW(seen->box, WM_COMMAND, IDOK, 0);
}

LRESULT CALLBACK WatchBox(int code, WPARAM wparam, LPARAM lparam) {
  HWND window = reinterpret_cast<HWND>(wparam);
  if (seen != nullptr && code == HCBT_ACTIVATE && IsBox(window) && seen->box == nullptr) {
    seen->box = window;
    // Read once the box's loop runs, then the box is closed as its OK button would.
    SetTimer(nullptr, 0, 10, &ReadAndClose);
  }
  if (seen != nullptr && code == HCBT_DESTROYWND && window == seen->box) {
    seen->owner_enabled_as_box_went = IsWindowEnabled(seen->owner) != FALSE;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

HWND MakeWindow(int left) {
  HWND window = CreateWindowExW(0, kClass, L"window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, left, 40,
                                300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  EXPECT_NE(window, nullptr);
  return window;
}

TEST(ErrorBoxOwnerTest, TheBoxEnablesItsOwnerAsItGoesAndDisablesTheOtherWindows) {
  win32::Application application;
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = &DefWindowProcW;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = kClass;
  ASSERT_NE(RegisterClassW(&window_class), 0);
  Seen watched;
  watched.other = MakeWindow(400);
  watched.owner = MakeWindow(40);
  SetForegroundWindow(watched.owner);
  SetActiveWindow(watched.owner);
  ASSERT_EQ(GetActiveWindow(), watched.owner);
  seen = &watched;
  HHOOK hook = SetWindowsHookExW(WH_CBT, &WatchBox, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  win32::ShowFailure(
      std::make_exception_ptr(queue::Failure(queue::CoreFailure::kGeneric, "Connection refused.")));
  UnhookWindowsHookEx(hook);
  seen = nullptr;

  ASSERT_NE(watched.box, nullptr) << "no box was shown";
  EXPECT_FALSE(IsWindow(watched.box)) << "the box outlived its closing";
  EXPECT_FALSE(watched.owner_enabled_while_open);
  EXPECT_FALSE(watched.other_enabled_while_open);
  EXPECT_TRUE(watched.owner_enabled_as_box_went);
  EXPECT_TRUE(IsWindowEnabled(watched.owner));
  EXPECT_TRUE(IsWindowEnabled(watched.other));
  EXPECT_EQ(GetActiveWindow(), watched.owner);
  DestroyWindow(watched.owner);
  DestroyWindow(watched.other);
}

}  // namespace
