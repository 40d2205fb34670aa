// Behaviours the standard controls lack, given by subclassing them (each subclass ends with
// its control).
#pragma once

#include <windows.h>

namespace win32 {

// The button never keeps the keyboard focus: a click leaves it where it was.
void NeverTakeFocus(HWND button);

// Tab leaves the multi-line edit field for the next control instead of typing a tab into it.
void TabLeavesEdit(HWND edit);

// Typing a printable character into the drop-down list opens it and chooses the first entry
// that begins with the prefix typed (queue::TypeAheadPrefix).
void OpenListWhenTyping(HWND list);

}  // namespace win32
