// Display density: the windows are laid out at 96 pixels per inch and scaled, in this one
// place, to the density of the monitor they are made on.
#pragma once

#include <windows.h>

#include "core/window_layout.h"

namespace win32 {

inline constexpr int kDesignDensity = 96;

// A rectangle of a window's layout, in pixels at kDesignDensity.
using DesignRect = queue::layout::Rect;

// The effective density of the monitor `window` lies on (GetDpiForMonitor, Windows 8.1 and
// later, looked up at run time); on older systems the system density (LOGPIXELSY of the
// screen). A density below 30 is not one to scale to: kDesignDensity then.
int DensityOfWindowMonitor(HWND window);

// Design pixels to pixels at one density, rounded as MulDiv rounds.
class Scaling {
 public:
  explicit Scaling(int density = kDesignDensity) : density_(density) {}

  int density() const { return density_; }
  int operator()(int design_pixels) const {
    return MulDiv(design_pixels, density_, kDesignDensity);
  }
  // The right and bottom edges are scaled with the left and top ones, so neighbours stay
  // neighbours: width is MulDiv(left + width) - MulDiv(left).
  RECT Rect(const DesignRect& design) const;

 private:
  int density_;
};

}  // namespace win32
