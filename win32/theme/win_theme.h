// A theme prepared for the Windows program: its colours (from the theme's palette and style
// sheet, the definition the Linux program's style draws with) and the brushes and pens the
// drawing needs, made together when the theme is prepared and freed together with it.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "theme/container/theme_container.h"
#include "theme/definition/control_colours.h"
#include "win32/controls/gdi_handles.h"

namespace win32theme {

COLORREF ToColorRef(theme::Rgb rgb);

class WinTheme {
 public:
  // Throws queue::Failure (kind ThemeFailure::kLoad) when the package lacks its palette or style
  // sheet or they do not give every colour.
  explicit WinTheme(const theme::ThemePackage& package);
  ~WinTheme();
  WinTheme(const WinTheme&) = delete;
  WinTheme& operator=(const WinTheme&) = delete;

  const std::u16string& name() const { return name_; }
  const theme::ControlColours& colours() const { return colours_; }

  HBRUSH window_brush() const { return window_brush_.get(); }
  HBRUSH edit_brush() const { return edit_brush_.get(); }
  HBRUSH edit_disabled_brush() const { return edit_disabled_brush_.get(); }
  HBRUSH list_brush() const { return list_brush_.get(); }
  HBRUSH scroll_track_brush() const { return scroll_track_brush_.get(); }
  HBRUSH tooltip_brush() const { return tooltip_brush_.get(); }
  HBRUSH menu_brush() const { return menu_brush_.get(); }
  // A one-pixel pen of a border colour of the theme (made with the theme, freed with it).
  HPEN Pen(theme::Rgb colour) const;

 private:
  std::u16string name_;
  theme::ControlColours colours_;
  win32::Brush window_brush_;
  win32::Brush edit_brush_;
  win32::Brush edit_disabled_brush_;
  win32::Brush list_brush_;
  win32::Brush scroll_track_brush_;
  win32::Brush tooltip_brush_;
  win32::Brush menu_brush_;
  std::map<COLORREF, win32::Pen> pens_;
};

// The theme every window is drawn in, or null while the system's look is active.
const WinTheme* ActiveTheme();
void SetActiveTheme(const WinTheme* theme);

}  // namespace win32theme
