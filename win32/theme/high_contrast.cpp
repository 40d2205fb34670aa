// The high-contrast state of the system, as the theme's drawing sees it.
#include "win32/theme/high_contrast.h"

namespace win32theme {
namespace {

bool SystemHighContrast() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  // A system that cannot tell has no high contrast to honour.
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

HighContrastReader reader = &SystemHighContrast;
// Read at the first question; until then unknown.
enum class State { kUnknown, kOff, kOn } state = State::kUnknown;

void ReadState() {
  state = reader() ? State::kOn : State::kOff;
}

}  // namespace

bool HighContrastOn() {
  if (state == State::kUnknown) ReadState();
  return state == State::kOn;
}

const WinTheme* DrawnTheme() {
  return HighContrastOn() ? nullptr : ActiveTheme();
}

void SetHighContrastReader(HighContrastReader chosen) {
  reader = chosen ? chosen : &SystemHighContrast;
}

bool ChangesSystemLook(UINT message, WPARAM wparam) {
  return (message == WM_SETTINGCHANGE && wparam == SPI_SETHIGHCONTRAST) ||
         message == WM_SYSCOLORCHANGE || message == WM_THEMECHANGED;
}

void FollowSystemLook(HWND window) {
  ReadState();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

}  // namespace win32theme
