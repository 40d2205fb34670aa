// The subclasses of the standard controls.
#include "win32/controls/control_behaviour.h"

#include <commctrl.h>

#include <memory>

#include "core/type_ahead.h"

namespace win32 {
namespace {

constexpr UINT_PTR kNeverTakeFocusId = 1;
constexpr UINT_PTR kTabLeavesEditId = 2;
constexpr UINT_PTR kOpenListWhenTypingId = 3;

LRESULT CALLBACK NeverTakeFocusProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR, DWORD_PTR) {
  if (message == WM_SETFOCUS) {
    // Hand the focus straight back to the control that had it.
    HWND previous = reinterpret_cast<HWND>(wparam);
    if (previous != nullptr && IsWindow(previous)) SetFocus(previous);
    return 0;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &NeverTakeFocusProc, kNeverTakeFocusId);
  return DefSubclassProc(window, message, wparam, lparam);
}

LRESULT CALLBACK TabLeavesEditProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR, DWORD_PTR) {
  if (message == WM_GETDLGCODE) {
    LRESULT code = DefSubclassProc(window, message, wparam, lparam);
    const auto* pending = reinterpret_cast<const MSG*>(lparam);
    if (pending != nullptr && pending->message == WM_KEYDOWN && pending->wParam == VK_TAB) {
      code &= ~(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
    }
    return code;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &TabLeavesEditProc, kTabLeavesEditId);
  return DefSubclassProc(window, message, wparam, lparam);
}

LRESULT CALLBACK OpenListWhenTypingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR, DWORD_PTR data) {
  auto* prefix = reinterpret_cast<queue::TypeAheadPrefix*>(data);
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
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &OpenListWhenTypingProc, kOpenListWhenTypingId);
    delete prefix;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace

void NeverTakeFocus(HWND button) {
  SetWindowSubclass(button, &NeverTakeFocusProc, kNeverTakeFocusId, 0);
}

void TabLeavesEdit(HWND edit) {
  SetWindowSubclass(edit, &TabLeavesEditProc, kTabLeavesEditId, 0);
}

void OpenListWhenTyping(HWND list) {
  auto prefix = std::make_unique<queue::TypeAheadPrefix>();
  if (SetWindowSubclass(list, &OpenListWhenTypingProc, kOpenListWhenTypingId,
                        reinterpret_cast<DWORD_PTR>(prefix.get()))) {
    prefix.release();  // the subclass frees it with the control
  }
}

}  // namespace win32
