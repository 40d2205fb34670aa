// The window procedure shared by the program's windows.
#include "win32/windows/window.h"

#include <exception>

#include "core/failure.h"
#include "win32/controls/wide_text.h"
#include "win32/shell/error_box_win.h"
#include "win32/theme/high_contrast.h"

namespace win32 {
namespace {

// The program's icon at the size the system asks for: the large one, and the small one for the
// caption and the task bar as the icon's own 16-pixel image (LoadIconW gives the large image,
// which the system would shrink). Kept for the run, as the window classes are.
HICON ProgramIcon(int size_x, int size_y) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON,
                                       GetSystemMetrics(size_x), GetSystemMetrics(size_y),
                                       LR_DEFAULTCOLOR));
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
  static const HICON large_icon = ProgramIcon(SM_CXICON, SM_CYICON);
  static const HICON small_icon = ProgramIcon(SM_CXSMICON, SM_CYSMICON);
  window_class.hIcon = large_icon;
  window_class.hIconSm = small_icon;
  window_class.lpszClassName = class_name;
  if (RegisterClassExW(&window_class) == 0) {
    throw queue::Failure(queue::CoreFailure::kGeneric, "A window class cannot be registered");
  }
}

}  // namespace

Window::~Window() {
  DestroyNative();
}

void Window::DestroyNative() {
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
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
