// What the Windows tests read back from real windows: a control's rectangle in its parent, a
// window's client size, a control's font height, and rectangles compared with a readable failure.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

namespace window_geometry {

inline RECT RectIn(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

inline ::testing::AssertionResult SameRect(const RECT& seen, const RECT& expected) {
  if (EqualRect(&seen, &expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "(" << seen.left << "," << seen.top << ")-(" << seen.right << "," << seen.bottom
         << ") instead of (" << expected.left << "," << expected.top << ")-(" << expected.right
         << "," << expected.bottom << ")";
}

inline SIZE ClientSize(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

// The character height (negative) of the font the control draws with.
inline int FontHeight(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

}  // namespace window_geometry
