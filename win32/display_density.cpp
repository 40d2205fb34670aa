// Finding a monitor's density.
#include "win32/display_density.h"

namespace win32 {
namespace {

// A density reported below this is no real one.
constexpr int kLowestDensity = 30;

// MDT_EFFECTIVE_DPI of shellscalingapi.h, which Vista's headers lack.
constexpr int kEffectiveDensity = 0;
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

GetDpiForMonitorFunction MonitorDensityFunction() {
  // shcore.dll exists from Windows 8.1 on; Vista to 8 have the system density only.
  static const GetDpiForMonitorFunction function = [] {
    HMODULE shcore = LoadLibraryW(L"shcore.dll");
    return shcore == nullptr ? nullptr
                             : reinterpret_cast<GetDpiForMonitorFunction>(reinterpret_cast<void*>(
                                   GetProcAddress(shcore, "GetDpiForMonitor")));
  }();
  return function;
}

int SystemDensity() {
  HDC screen = GetDC(nullptr);
  const int density = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return density;
}

}  // namespace

int DensityOfWindowMonitor(HWND window) {
  int density = 0;
  if (GetDpiForMonitorFunction function = MonitorDensityFunction()) {
    UINT x = 0;
    UINT y = 0;
    if (SUCCEEDED(function(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), kEffectiveDensity,
                           &x, &y))) {
      density = static_cast<int>(x);
    }
  }
  if (density == 0) density = SystemDensity();
  return density < kLowestDensity ? kDesignDensity : density;
}

RECT Scaling::Rect(const DesignRect& design) const {
  const int left = (*this)(design.left);
  const int top = (*this)(design.top);
  return RECT{left, top, (*this)(design.left + design.width), (*this)(design.top + design.height)};
}

}  // namespace win32
