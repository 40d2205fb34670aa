// A label that acts as a link for the keyboard as well as the mouse: a tab stop that shows a
// focus rectangle while it has the focus (unless the window hides focus cues until a key is
// used), and is clicked by Enter and Space as by the mouse (STN_CLICKED to its parent).
#pragma once

#include <windows.h>

namespace win32 {

// `label` is a STATIC control with SS_NOTIFY and WS_TABSTOP. The behaviour ends with it.
void ActAsKeyboardLink(HWND label);

}  // namespace win32
