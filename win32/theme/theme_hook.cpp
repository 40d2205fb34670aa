// The window thread's creation hook that themes windows as they are made.
#include "win32/theme/theme_hook.h"

#include <string>

#include "core/failure.h"
#include "win32/theme/callback_guard.h"
#include "win32/theme/themed_windows.h"
#include "win32/theme/win_theme.h"

namespace win32theme {
namespace {

HHOOK hook = nullptr;
SystemWindowSwitches switches;

// Whether `window` is the program's own, made from the program's module, or lies in a window
// that is; a control the system makes inside a dialog of its own is the system's.
bool MadeByTheProgram(const CREATESTRUCTW& create) {
  return create.hInstance == GetModuleHandleW(nullptr);
}

// A dialog the system makes: the program has no dialog classes of its own.
bool InSystemDialog(HWND parent) {
  wchar_t name[16] = {};
  return parent && GetClassNameW(parent, name, 16) && lstrcmpW(name, L"#32770") == 0;
}

std::wstring ClassName(HWND window) {
  // The class may have been given as an atom; the window knows its name either way.
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// Attaches the theme to the window being made, when it is one the theme draws.
void AttachAsMade(WPARAM wparam, LPARAM lparam) {
  const auto window = reinterpret_cast<HWND>(wparam);
  const CREATESTRUCTW& create = *reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs;
  const std::wstring name = ClassName(window);
  const ThemedKind kind = KindOf(name.c_str(), static_cast<DWORD>(create.style));
  bool wanted = MadeByTheProgram(create) && !InSystemDialog(create.hwndParent);
  if (!wanted) {
    if (kind == ThemedKind::kToolTip)
      wanted = switches.tooltips;
    else if (kind == ThemedKind::kMenu)
      wanted = switches.menus;
    else if (name == L"#32770" || InSystemDialog(create.hwndParent) ||
             kind == ThemedKind::kComboList)
      wanted = switches.dialogs;
  }
  if (wanted && kind != ThemedKind::kNone) AttachTheme(window, kind);
}

LRESULT CALLBACK OnWindowEvent(int code, WPARAM wparam, LPARAM lparam) {
  // A window the theme could not be attached to is still made, in the system's look.
  if (code == HCBT_CREATEWND && ActiveTheme())
    WithoutEscape(
        L"The theme could not be attached to a new window",
        [&] {
          AttachAsMade(wparam, lparam);
          return LRESULT{0};
        },
        [] { return LRESULT{0}; });
  return CallNextHookEx(hook, code, wparam, lparam);
}

}  // namespace

void InstallThemeHook(SystemWindowSwitches chosen) {
  if (hook) return;
  switches = chosen;
  hook = SetWindowsHookExW(WH_CBT, OnWindowEvent, nullptr, GetCurrentThreadId());
  if (!hook)
    throw queue::Failure(queue::CoreFailure::kGeneric, "The window creation hook was refused");
}

void RemoveThemeHook() {
  if (hook) UnhookWindowsHookEx(hook);
  hook = nullptr;
}

}  // namespace win32theme
