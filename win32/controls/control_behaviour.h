// Behaviours the standard controls lack, given by subclassing them (each subclass ends with
// its control).
#pragma once

#include <windows.h>

namespace win32 {

// The button never takes the keyboard focus: it handles its own press (the mouse captured, the
// pressed look while the mouse is over it, BN_CLICKED to its parent on a release over it, the
// press dropped when the capture goes), and a click leaves the focus where it was.
void NeverTakeFocus(HWND button);

// The multi-line edit field keeps the window's keys for the window: Tab leaves it for the next
// control instead of typing a tab, Esc means nothing (it would close the window), and reaching
// it by Tab selects nothing, so a key typed then adds to the text instead of replacing it.
void WindowKeysLeaveEdit(HWND edit);

// Typing a printable character into the drop-down list opens it and chooses the first entry
// that begins with the prefix typed (queue::TypeAheadPrefix).
void OpenListWhenTyping(HWND list);

}  // namespace win32
