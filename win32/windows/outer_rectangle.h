// The operator window's outer rectangle (frame and caption included) in physical pixels, as
// the settings file stores it, and the desktop it must stay on.
#pragma once

#include <windows.h>

#include "settings/stored_rectangle.h"

namespace win32 {

// The rectangle the window has when restored, also while it is minimised or maximised.
settings::PixelRect RestoredOuterRect(HWND window);

// Makes `outer` the window's restored rectangle.
void ApplyRestoredOuterRect(HWND window, const settings::PixelRect& outer);

// The window's outer size now, and its frame's share of it.
settings::PixelSize OuterSize(HWND window);
settings::PixelSize FrameSize(HWND window);

// The monitors of the desktop.
settings::ScreenAreas CurrentScreenAreas();

}  // namespace win32
