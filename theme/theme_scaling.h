// Display scaling: the windows are laid out at 96 dpi and Qt's per-monitor high-DPI support
// scales them to each monitor's density, and again when it changes. Fonts are given in
// pixels, so they scale with the windows.
#pragma once

namespace theme {

// Call before the QApplication is made. Passes the display's exact scale factor through
// (150 per cent scales by 1.5, not rounded to 2), so a window measures what its density asks.
void PrepareDisplayScaling();

}  // namespace theme
