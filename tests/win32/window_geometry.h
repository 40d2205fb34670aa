// What the Windows tests read back from real windows: a control's rectangle in its parent, a
// window's client size, a control's font height, whether a colour shows in it, and rectangles
// compared with a readable failure.
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

// Whether any pixel of the window's client area, as it is drawn now, has the colour.
inline bool ShowsColour(HWND window, COLORREF colour) {
  RECT client;
  GetClientRect(window, &client);
  HDC dc = GetDC(window);
  bool found = false;
  for (int y = 0; y < client.bottom && !found; ++y)
    for (int x = 0; x < client.right && !found; ++x) found = GetPixel(dc, x, y) == colour;
  ReleaseDC(window, dc);
  return found;
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
