// High contrast: colours the user chose for their sight win over the theme. While the system's
// high-contrast setting is on, nothing of the theme is drawn and every window and control is
// drawn by the system in the system's colours; turning it on or off while the program runs
// redraws every window and control at once.
#pragma once

#include <windows.h>

#include "win32/theme/win_theme.h"

namespace win32theme {

// Whether high contrast is on: asked of the system at the first question and again whenever a
// top-level window hears that the system's look changed (FollowSystemLook).
bool HighContrastOn();

// The theme to draw in: the active theme, or null while high contrast is on or no theme is
// active. Every drawing of the theme asks this, never ActiveTheme() directly.
const WinTheme* DrawnTheme();

// The question asked of the system (SPI_GETHIGHCONTRAST); replaced by tests, which cannot turn
// the system's setting on under every host. Null restores the system's. Takes effect at the next
// FollowSystemLook.
using HighContrastReader = bool (*)();
void SetHighContrastReader(HighContrastReader reader);

// Whether `message`, arriving at a top-level window, says that the system's colours, its
// high-contrast setting or its visual style changed.
bool ChangesSystemLook(UINT message, WPARAM wparam);

// Asks the system again whether high contrast is on and invalidates the window, its frame and
// every child, erasing the background: everything is drawn anew in the look now in force.
void FollowSystemLook(HWND window);

}  // namespace win32theme
