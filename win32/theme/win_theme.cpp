// Preparing a theme for the Windows program's drawing.
#include "win32/theme/win_theme.h"

#include "core/text.h"
#include "theme/container/theme_failure.h"

namespace win32theme {
namespace {

const WinTheme* active_theme = nullptr;

const std::string& Section(const theme::ThemePackage& package, std::string_view name) {
  const std::string* data = package.FindSection(name);
  if (!data)
    throw queue::Failure(theme::ThemeFailure::kLoad, "Theme " + std::string(name) + " missing");
  return *data;
}

}  // namespace

COLORREF ToColorRef(theme::Rgb rgb) {
  return RGB(rgb.red, rgb.green, rgb.blue);
}

WinTheme::WinTheme(const theme::ThemePackage& package)
    : name_(queue::Utf8ToUtf16(package.name)),
      colours_(theme::ReadControlColours(
          theme::ParsePaletteDefinition(Section(package, "palette")),
          theme::StyleSheetRules::Parse(Section(package, "stylesheet")))) {
  const auto brush = [](theme::Rgb rgb) { return win32::Brush(CreateSolidBrush(ToColorRef(rgb))); };
  window_brush_ = brush(colours_.window);
  edit_brush_ = brush(colours_.edit_background);
  edit_disabled_brush_ = brush(colours_.edit_disabled_background);
  list_brush_ = brush(colours_.list_background);
  scroll_track_brush_ = brush(colours_.scroll_track);
  tooltip_brush_ = brush(colours_.tooltip_background);
  menu_brush_ = brush(colours_.menu_background);
  for (const theme::Rgb border :
       {colours_.button.border, colours_.button_hot.border, colours_.button_pressed.border,
        colours_.button_disabled.border, colours_.button_focus_border, colours_.edit_border,
        colours_.edit_focus_border, colours_.list_border, colours_.group_border,
        colours_.tooltip_border, colours_.menu_border, colours_.button.text,
        colours_.button_disabled.text, colours_.combo.border})
    if (!pens_.contains(ToColorRef(border)))
      pens_.emplace(ToColorRef(border), win32::Pen(CreatePen(PS_SOLID, 1, ToColorRef(border))));
}

HPEN WinTheme::Pen(theme::Rgb colour) const {
  const auto pen = pens_.find(ToColorRef(colour));
  // Every colour asked for is one of the theme's borders, made above.
  return pen != pens_.end() ? pen->second.get() : static_cast<HPEN>(GetStockObject(BLACK_PEN));
}

WinTheme::~WinTheme() {
  // The brushes and pens go with their owners.
  if (active_theme == this) active_theme = nullptr;
}

const WinTheme* ActiveTheme() {
  return active_theme;
}

void SetActiveTheme(const WinTheme* theme) {
  active_theme = theme;
}

}  // namespace win32theme
