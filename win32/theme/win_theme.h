// A theme prepared for the Windows program: its colours (from the theme's palette and style
// sheet, the definition the Linux program's style draws with) and the brushes and pens the
// drawing needs, made together when the theme is prepared and freed together with it.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "theme/container/theme_container.h"
#include "theme/definition/control_colours.h"

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

  HBRUSH window_brush() const { return window_brush_; }
  HBRUSH edit_brush() const { return edit_brush_; }
  HBRUSH edit_disabled_brush() const { return edit_disabled_brush_; }
  HBRUSH list_brush() const { return list_brush_; }
  HBRUSH scroll_track_brush() const { return scroll_track_brush_; }
  HBRUSH tooltip_brush() const { return tooltip_brush_; }
  HBRUSH menu_brush() const { return menu_brush_; }
  // A one-pixel pen of a border colour of the theme (made with the theme, freed with it).
  HPEN Pen(theme::Rgb colour) const;

 private:
  std::u16string name_;
  theme::ControlColours colours_;
  HBRUSH window_brush_ = nullptr;
  HBRUSH edit_brush_ = nullptr;
  HBRUSH edit_disabled_brush_ = nullptr;
  HBRUSH list_brush_ = nullptr;
  HBRUSH scroll_track_brush_ = nullptr;
  HBRUSH tooltip_brush_ = nullptr;
  HBRUSH menu_brush_ = nullptr;
  std::map<COLORREF, HPEN> pens_;
};

// The theme every window is drawn in, or null while the system's look is active.
const WinTheme* ActiveTheme();
void SetActiveTheme(const WinTheme* theme);

}  // namespace win32theme
