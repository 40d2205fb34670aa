// Finding a monitor's density.
#include "win32/scaling/design_scaling.h"

#include "win32/scaling/display_density.h"

namespace win32 {

int DensityOfWindowMonitor(HWND window) {
  // Asked of the system as win32/scaling does it for every window.
  const UINT density =
      win32scaling::DensityOfMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY));
  return density < win32scaling::kLowestDensity ? kDesignDensity : static_cast<int>(density);
}

RECT Scaling::Rect(const DesignRect& design) const {
  const int left = (*this)(design.left);
  const int top = (*this)(design.top);
  return RECT{left, top, (*this)(design.left + design.width), (*this)(design.top + design.height)};
}

}  // namespace win32
