// Attaching the active theme's drawing to a window or control, by its window class: window and
// dialog backgrounds and the colours their children ask for (WM_CTLCOLOR*), push buttons and
// group boxes painted by the theme, the frames of edit fields and open lists, the field of a
// drop-down list. Standard controls keep their behaviour; only their drawing changes. Each
// attachment is a subclass that removes itself, and frees what it holds, at WM_NCDESTROY.
#pragma once

#include <windows.h>

namespace win32theme {

// What a window is to the theme, from its class and styles.
enum class ThemedKind {
  kNone,        // left to the system: owner-drawn buttons, check boxes, unknown classes
  kWindow,      // a top-level window or dialog: background and its children's colours
  kPushButton,  // push buttons and default push buttons
  kGroupBox,
  kEdit,
  kComboBox,   // a drop-down list that only allows choosing
  kComboList,  // the open list of a drop-down list
  kToolTip,
  kMenu,  // a popup menu's window: its background
};

ThemedKind KindOf(const wchar_t* class_name, DWORD style);

// Attaches the active theme's drawing for `kind`; does nothing without an active theme.
// Returns whether it attached.
bool AttachTheme(HWND window, ThemedKind kind);

// The same, the kind found from the window's class and styles.
bool AttachTheme(HWND window);

// The brush of every window's background: the active theme's, or `standard` without one. For
// what a window paints itself behind a picture with transparent parts.
HBRUSH WindowBackgroundBrush(HBRUSH standard);

}  // namespace win32theme
