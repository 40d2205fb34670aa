// The display density a window is drawn at, asked of the system the way each version allows:
// per monitor on Windows 8.1 and later (looked up at run time, the program runs on Vista), the
// system density, read once, before that.
#pragma once

#include <windows.h>

#include "core/system_library_win.h"

namespace win32scaling {

// The density every window is designed at.
inline constexpr UINT kDesignDensity = 96;
// WM_DPICHANGED, which the system's headers declare for Windows 7 and later only.
inline constexpr UINT kDensityChangedMessage = 0x02E0;

// A density reported below this is no density: the window is left as it is.
inline constexpr UINT kLowestDensity = 30;

// The system's libraries come from the system folder only (core/system_library_win.h).
using queue::SystemLibrary;
using queue::SystemLibraryByPath;

// The system density (LOGPIXELSY of the screen), read at the first call and kept.
UINT SystemDensity();

// The monitor's effective density (horizontal); the system density where the system cannot
// tell per monitor.
UINT DensityOfMonitor(HMONITOR monitor);

// The density of the monitor nearest to the centre of `rect` (screen coordinates): the density
// a window placed there is drawn at.
UINT DensityAt(const RECT& rect);

// The density of the monitor nearest to the centre of the window's restored rectangle; for a
// window without a placement yet, that of `fallback`'s monitor (the hidden application window).
UINT DensityForWindow(HWND window, HWND fallback = nullptr);

// The outer size of a window of `style` and `ex_style` (no menu) whose client area is `client`,
// with the frame the system draws at `density`: AdjustWindowRectExForDpi where the system has
// it (Windows 10 1607 on, looked up at run time), the system density's frame before that,
// which is then the frame the system draws.
SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD ex_style, UINT density);

// Asks the system to scale the window's frame with its density (Windows 10's request, looked
// up at run time). Called while the window handles WM_NCCREATE; a refusal is ignored.
void EnableFrameScaling(HWND window);

}  // namespace win32scaling
