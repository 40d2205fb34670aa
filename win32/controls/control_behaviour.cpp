// The subclasses of the standard controls. A subclass procedure is called by the system, which
// knows nothing of C++ exceptions: each catches every failure (out of memory included) and
// hands it to the error box.
#include "win32/controls/control_behaviour.h"

#include <commctrl.h>

#include <exception>
#include <memory>

#include "core/type_ahead.h"
#include "win32/shell/error_box_win.h"

namespace win32 {
namespace {

constexpr UINT_PTR kNeverTakeFocusId = 1;
constexpr UINT_PTR kWindowKeysLeaveEditId = 2;
constexpr UINT_PTR kOpenListWhenTypingId = 3;

// Runs a subclass's handling; a failure goes to the error box and the message counts as handled.
template <typename Handling>
LRESULT Guarded(Handling&& handling) noexcept {
  try {
    return handling();
  } catch (...) {
    ShowFailure(std::current_exception());
    return 0;
  }
}

// The press of a button that handles its own mouse: the standard push button takes the focus
// on the press, and on Windows it drops a press whose capture it holds when the focus leaves
// it, so a button that hands the focus back would lose every click.
struct Press {
  bool held = false;
};

bool CursorInside(HWND button, LPARAM lparam) {
  RECT client{};
  GetClientRect(button, &client);
  const POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  return PtInRect(&client, at) != FALSE;
}

// Ends a press without a click: the pressed look goes, and the capture if it is still held.
void DropPress(HWND button, Press& press) {
  if (!press.held) return;
  press.held = false;
  SendMessageW(button, BM_SETSTATE, FALSE, 0);
  if (GetCapture() == button) ReleaseCapture();
}

LRESULT NeverTakeFocusMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                              Press& press) {
  switch (message) {
    case WM_SETFOCUS: {
      // Hand the focus straight back to the control that had it.
      HWND previous = reinterpret_cast<HWND>(wparam);
      if (previous != nullptr && IsWindow(previous)) SetFocus(previous);
      return 0;
    }
    case WM_KILLFOCUS:
      // The focus was never the button's to lose: a press it holds goes on.
      if (press.held) return 0;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // The standard handling would move the focus here; the press is the button's own.
      press.held = true;
      SetCapture(window);
      SendMessageW(window, BM_SETSTATE, TRUE, 0);
      return 0;
    case WM_MOUSEMOVE:
      if (press.held) SendMessageW(window, BM_SETSTATE, CursorInside(window, lparam), 0);
      break;  // the theme's hot look follows the mouse too
    case WM_LBUTTONUP: {
      if (!press.held) return 0;
      const bool inside = CursorInside(window, lparam);
      DropPress(window, press);
      if (inside) {
        SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_CLICKED),
                     reinterpret_cast<LPARAM>(window));
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      // Another window took the mouse: the press is dropped, not clicked.
      if (reinterpret_cast<HWND>(lparam) != window) DropPress(window, press);
      return 0;
    case WM_CANCELMODE:
      DropPress(window, press);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

LRESULT CALLBACK NeverTakeFocusProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR, DWORD_PTR data) {
  auto* press = reinterpret_cast<Press*>(data);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &NeverTakeFocusProc, kNeverTakeFocusId);
    delete press;
    return DefSubclassProc(window, message, wparam, lparam);
  }
  return Guarded([&] { return NeverTakeFocusMessage(window, message, wparam, lparam, *press); });
}

LRESULT CALLBACK WindowKeysLeaveEditProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                         UINT_PTR, DWORD_PTR) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &WindowKeysLeaveEditProc, kWindowKeysLeaveEditId);
    return DefSubclassProc(window, message, wparam, lparam);
  }
  return Guarded([&]() -> LRESULT {
    if (message == WM_GETDLGCODE) {
      // Reaching the log by Tab keeps its caret where it was: a log wholly selected would be
      // replaced by the next key typed.
      LRESULT code = DefSubclassProc(window, message, wparam, lparam) & ~DLGC_HASSETSEL;
      const auto* pending = reinterpret_cast<const MSG*>(lparam);
      if (pending != nullptr && pending->message == WM_KEYDOWN &&
          (pending->wParam == VK_TAB || pending->wParam == VK_ESCAPE)) {
        // Tab goes to the next control. Esc goes to the window, which gives it no meaning: a
        // multi-line edit asked for every key posts a close to its parent on Esc.
        code &= ~(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
      }
      return code;
    }
    // Esc reaching the field some other way ends nothing either.
    if ((message == WM_KEYDOWN || message == WM_KEYUP) && wparam == VK_ESCAPE) return 0;
    if (message == WM_CHAR && wparam == 0x1B) return 0;
    return DefSubclassProc(window, message, wparam, lparam);
  });
}

LRESULT CALLBACK OpenListWhenTypingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR, DWORD_PTR data) {
  auto* prefix = reinterpret_cast<queue::TypeAheadPrefix*>(data);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &OpenListWhenTypingProc, kOpenListWhenTypingId);
    delete prefix;
    return DefSubclassProc(window, message, wparam, lparam);
  }
  return Guarded([&]() -> LRESULT {
    if (message == WM_CHAR && wparam >= 0x20 && wparam != 0x7F) {
      if (!SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0))
        SendMessageW(window, CB_SHOWDROPDOWN, TRUE, 0);
      const std::u16string& typed =
          prefix->Add(static_cast<char16_t>(wparam), static_cast<std::int64_t>(GetTickCount64()));
      const std::wstring wide(typed.begin(), typed.end());
      const LRESULT found = SendMessageW(window, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(wide.c_str()));
      if (found != CB_ERR) SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
      return 0;
    }
    return DefSubclassProc(window, message, wparam, lparam);
  });
}

// Installs a subclass whose data it owns; the subclass frees the data with the control.
template <typename Data>
void SubclassOwning(HWND control, SUBCLASSPROC procedure, UINT_PTR id) {
  auto data = std::make_unique<Data>();
  if (SetWindowSubclass(control, procedure, id, reinterpret_cast<DWORD_PTR>(data.get()))) {
    data.release();
  }
}

}  // namespace

void NeverTakeFocus(HWND button) {
  SubclassOwning<Press>(button, &NeverTakeFocusProc, kNeverTakeFocusId);
}

void WindowKeysLeaveEdit(HWND edit) {
  SetWindowSubclass(edit, &WindowKeysLeaveEditProc, kWindowKeysLeaveEditId, 0);
}

void OpenListWhenTyping(HWND list) {
  SubclassOwning<queue::TypeAheadPrefix>(list, &OpenListWhenTypingProc, kOpenListWhenTypingId);
}

}  // namespace win32
