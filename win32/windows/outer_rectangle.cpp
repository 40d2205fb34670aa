// The operator window's outer rectangle.
#include "win32/windows/outer_rectangle.h"

namespace win32 {
namespace {

settings::PixelRect FromRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// A restored placement is given in workspace coordinates: relative to the work area of the
// window's monitor, which differs from the screen where a task bar stands at the top or left.
POINT WorkspaceOffset(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return {};
  return {info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info)) {
    auto* screens = reinterpret_cast<settings::ScreenAreas*>(areas);
    screens->available.push_back(FromRect(info.rcWork));
    if (info.dwFlags & MONITORINFOF_PRIMARY) screens->primary_available = FromRect(info.rcWork);
  }
  return TRUE;
}

}  // namespace

settings::PixelRect RestoredOuterRect(HWND window) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (!GetWindowPlacement(window, &placement)) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return FromRect(rect);
  }
  settings::PixelRect outer = FromRect(placement.rcNormalPosition);
  const POINT offset = WorkspaceOffset(window);
  outer.left += offset.x;
  outer.top += offset.y;
  return outer;
}

void ApplyRestoredOuterRect(HWND window, const settings::PixelRect& outer) {
  SetWindowPos(window, nullptr, outer.left, outer.top, outer.width, outer.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

settings::PixelSize OuterSize(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

settings::PixelSize FrameSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  const settings::PixelSize outer = OuterSize(window);
  return {outer.width - client.right, outer.height - client.bottom};
}

settings::ScreenAreas CurrentScreenAreas() {
  settings::ScreenAreas screens;
  screens.primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  screens.desktop = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                     GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&screens));
  return screens;
}

}  // namespace win32
