// Asking the system for display densities.
#include "win32/scaling/display_density.h"

namespace win32scaling {
namespace {

// MDT_EFFECTIVE_DPI of the shell's scaling library.
constexpr int kEffectiveDensity = 0;
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using EnableNonClientDpiScalingFunction = BOOL(WINAPI*)(HWND);

template <typename Function>
Function LookUp(const wchar_t* library, const char* name) {
  HMODULE module = GetModuleHandleW(library);
  if (!module) module = LoadLibraryW(library);  // kept loaded for the run
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

UINT DensityForWindow(HWND window, HWND fallback) {
  if (!MonitorDensityFunction()) return SystemDensity();
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (window && GetWindowPlacement(window, &placement) &&
      !IsRectEmpty(&placement.rcNormalPosition)) {
    const RECT& r = placement.rcNormalPosition;
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return DensityOfMonitor(MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST));
  }
  if (fallback) return DensityOfMonitor(MonitorFromWindow(fallback, MONITOR_DEFAULTTONEAREST));
  return DensityOfMonitor(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

void EnableFrameScaling(HWND window) {
  static const auto function =
      LookUp<EnableNonClientDpiScalingFunction>(L"user32.dll", "EnableNonClientDpiScaling");
  if (function) function(window);  // refused where the process is not aware per monitor
}

}  // namespace win32scaling
