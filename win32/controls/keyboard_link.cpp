// The subclass of a label that acts as a link.
#include "win32/controls/keyboard_link.h"

#include <commctrl.h>

#include "core/failure.h"

namespace win32 {
namespace {

constexpr UINT_PTR kKeyboardLinkId = 21;

bool IsPressKey(WPARAM key) {
  return key == VK_RETURN || key == VK_SPACE;
}

bool IsPressCharacter(WPARAM character) {
  return character == L'\r' || character == L' ';
}

void DrawFocusCue(HWND label) {
  if (GetFocus() != label) return;
  if (SendMessageW(label, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) return;
  HDC dc = GetDC(label);
  if (dc == nullptr) return;
  RECT client{};
  GetClientRect(label, &client);
  DrawFocusRect(dc, &client);
  ReleaseDC(label, dc);
}

LRESULT CALLBACK KeyboardLinkProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                  DWORD_PTR) {
  switch (message) {
    case WM_GETDLGCODE: {
      // Enter and Space and their characters are the link's: Enter would otherwise be the
      // dialog manager's (its default button), the characters taken for mnemonics. The arrows
      // would move the focus onto the labels around the link.
      LRESULT code = DefSubclassProc(window, message, wparam, lparam) | DLGC_WANTARROWS;
      const auto* pending = reinterpret_cast<const MSG*>(lparam);
      if (pending != nullptr &&
          ((pending->message == WM_KEYDOWN && IsPressKey(pending->wParam)) ||
           (pending->message == WM_CHAR && IsPressCharacter(pending->wParam)))) {
        code |= DLGC_WANTMESSAGE;
      }
      return code;
    }
    case WM_KEYDOWN:
      // Once per press: a held key repeats WM_KEYDOWN with the previous state's bit set.
      if (!IsPressKey(wparam)) break;
      if ((lparam & (1 << 30)) == 0) {
        SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), STN_CLICKED),
                     reinterpret_cast<LPARAM>(window));
      }
      return 0;
    case WM_CHAR:
      // The character of Enter or Space types nothing into a label.
      if (IsPressCharacter(wparam)) return 0;
      break;
    case WM_PAINT: {
      const LRESULT painted = DefSubclassProc(window, message, wparam, lparam);
      DrawFocusCue(window);
      return painted;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
      // The label is drawn again with the cue or without it.
      InvalidateRect(window, nullptr, TRUE);
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, &KeyboardLinkProc, kKeyboardLinkId);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace

void ActAsKeyboardLink(HWND label) {
  if (!SetWindowSubclass(label, &KeyboardLinkProc, kKeyboardLinkId, 0)) {
    throw queue::Failure(queue::CoreFailure::kGeneric, "A link cannot take keys");
  }
}

}  // namespace win32
