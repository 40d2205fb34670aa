// Asking the system for display densities.
#include "win32/scaling/display_density.h"

#include <string>

namespace win32scaling {
namespace {

// MDT_EFFECTIVE_DPI of the shell's scaling library.
constexpr int kEffectiveDensity = 0;
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using EnableNonClientDpiScalingFunction = BOOL(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// A function the system may lack; its library stays loaded for the run.
template <typename Function>
Function LookUp(const wchar_t* library, const char* name) {
  HMODULE module = SystemLibrary(library);
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

GetDpiForMonitorFunction MonitorDensityFunction() {
  // Present from Windows 8.1 on; its absence is how an older system is told.
  static const auto function = LookUp<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
  return function;
}

}  // namespace

UINT SystemDensity() {
  static const UINT density = [] {
    HDC screen = GetDC(nullptr);
    const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return value > 0 ? static_cast<UINT>(value) : kDesignDensity;
  }();
  return density;
}

UINT DensityOfMonitor(HMONITOR monitor) {
  const auto function = MonitorDensityFunction();
  UINT x = 0, y = 0;
  if (function && monitor && SUCCEEDED(function(monitor, kEffectiveDensity, &x, &y)) && x > 0)
    return x;
  return SystemDensity();
}

UINT DensityAt(const RECT& rect) {
  if (!MonitorDensityFunction()) return SystemDensity();
  const POINT centre{rect.left + (rect.right - rect.left) / 2,
                     rect.top + (rect.bottom - rect.top) / 2};
  return DensityOfMonitor(MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST));
}

UINT DensityForWindow(HWND window, HWND fallback) {
  if (!MonitorDensityFunction()) return SystemDensity();
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (window && GetWindowPlacement(window, &placement) &&
      !IsRectEmpty(&placement.rcNormalPosition)) {
    return DensityAt(placement.rcNormalPosition);
  }
  if (fallback) return DensityOfMonitor(MonitorFromWindow(fallback, MONITOR_DEFAULTTONEAREST));
  return DensityOfMonitor(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

void EnableFrameScaling(HWND window) {
  static const auto function =
      LookUp<EnableNonClientDpiScalingFunction>(L"user32.dll", "EnableNonClientDpiScaling");
  if (function) function(window);  // refused where the process is not aware per monitor
}

SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD ex_style, UINT density) {
  static const auto for_density =
      LookUp<AdjustWindowRectExForDpiFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
  RECT outer{0, 0, client.cx, client.cy};
  if (!for_density || !for_density(&outer, style, FALSE, ex_style, density))
    AdjustWindowRectEx(&outer, style, FALSE, ex_style);
  return {outer.right - outer.left, outer.bottom - outer.top};
}

}  // namespace win32scaling
