// The window procedure shared by the program's windows.
#include "win32/windows/window.h"

#include <exception>

#include "core/failure.h"
#include "win32/controls/wide_text.h"
#include "win32/shell/error_box_win.h"
#include "win32/theme/high_contrast.h"

namespace win32 {
namespace {

HICON ProgramIcon() {
  return LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
}

void RegisterOnce(const wchar_t* class_name, HBRUSH background, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), class_name, &existing)) return;
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = background;
  // No window has an icon of its own: they all show the program's.
  window_class.hIcon = ProgramIcon();
  window_class.hIconSm = ProgramIcon();
  window_class.lpszClassName = class_name;
  if (RegisterClassExW(&window_class) == 0) {
    throw queue::Failure(queue::CoreFailure::kGeneric, "A window class cannot be registered");
  }
}

}  // namespace

Window::~Window() {
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void Window::CreateNative(const Frame& frame, const wchar_t* caption) {
  RegisterOnce(frame.class_name, frame.background, &Window::Procedure);
  HWND made = CreateWindowExW(frame.ex_style, frame.class_name, caption, frame.style, 0, 0, 0, 0,
                              frame.owner, nullptr, GetModuleHandleW(nullptr), this);
  if (made == nullptr) {
    throw queue::Failure(queue::CoreFailure::kGeneric, "A window cannot be created");
  }
}

LRESULT Window::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  // High contrast turned on or off: drawn anew in the colours now in force, with or without a
  // theme attached.
  if (win32theme::ChangesSystemLook(message, wparam)) win32theme::FollowSystemLook(hwnd_);
  if (message == WM_ACTIVATE) {
    if (LOWORD(wparam) == WA_INACTIVE) {
      HWND focus = GetFocus();
      if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
      return 0;
    }
    const bool minimised = HIWORD(wparam) != 0;
    HWND target =
        focus_ != nullptr && IsWindow(focus_) ? focus_ : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (!minimised && target != nullptr) {
      SetFocus(target);
      return 0;
    }
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* created = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* self = static_cast<Window*>(created->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    ShowFailure(std::current_exception());
    return 0;
  }
}

}  // namespace win32
