// Which palette role or sheet rule gives each colour a self-drawn control uses.
#include "theme/definition/control_colours.h"

#include <algorithm>
#include <optional>
#include <string>

#include "theme/container/theme_failure.h"

namespace theme {
namespace {

[[noreturn]] void Missing(std::string_view selector, std::string_view property) {
  throw queue::Failure(
      ThemeFailure::kLoad,
      "Theme style sheet: no usable " + std::string(property) + " in " + std::string(selector));
}

class Reader {
 public:
  Reader(const PaletteDefinition& palette, const StyleSheetRules& sheet)
      : palette_(palette), sheet_(sheet) {}

  Rgb Role(std::string_view role, ColourGroup group = ColourGroup::kActive) const {
    const auto colour = palette_.Find(role, group);
    if (!colour)
      throw queue::Failure(ThemeFailure::kLoad,
                           "Theme palette: no colour for " + std::string(role));
    return *colour;
  }

  std::string Value(std::string_view selector, std::string_view property) const {
    const auto value = sheet_.Value(selector, property);
    if (!value) Missing(selector, property);
    return *value;
  }

  Rgb Solid(std::string_view selector, std::string_view property) const {
    const auto colour = SolidColour(Value(selector, property));
    if (!colour) Missing(selector, property);
    return *colour;
  }

  Gradient Face(std::string_view selector) const {
    const auto face = GradientColours(Value(selector, "background-color"));
    if (!face) Missing(selector, "background-color");
    return *face;
  }

  // "border-color", else the colour of the "border" shorthand.
  Rgb Border(std::string_view selector) const {
    if (const auto value = sheet_.Value(selector, "border-color")) {
      if (const auto colour = SolidColour(*value)) return *colour;
      Missing(selector, "border-color");
    }
    const auto colour = BorderColour(Value(selector, "border"));
    if (!colour) Missing(selector, "border");
    return *colour;
  }

  Rgb TextOr(std::string_view selector, Rgb fallback) const {
    const auto value = sheet_.Value(selector, "color");
    if (!value) return fallback;
    const auto colour = SolidColour(*value);
    if (!colour) Missing(selector, "color");
    return *colour;
  }

  int Radius(std::string_view selector) const {
    const auto value = sheet_.Value(selector, "border-radius");
    if (!value) return 0;
    const auto pixels = PixelLength(*value);
    if (!pixels) Missing(selector, "border-radius");
    return *pixels;
  }

 private:
  const PaletteDefinition& palette_;
  const StyleSheetRules& sheet_;
};

}  // namespace

Rgb ShadedByValue(Rgb colour, int percent) {
  const int r = colour.red, g = colour.green, b = colour.blue;
  const int max = std::max({r, g, b});
  const int min = std::min({r, g, b});
  const int delta = max - min;
  int value = max;
  int saturation = max == 0 ? 0 : delta * 255 / max;
  double hue = 0;  // in sixths of the circle
  if (delta != 0) {
    if (max == r)
      hue = static_cast<double>(g - b) / delta;
    else if (max == g)
      hue = 2 + static_cast<double>(b - r) / delta;
    else
      hue = 4 + static_cast<double>(r - g) / delta;
    if (hue < 0) hue += 6;
  }
  value = value * percent / 100;
  if (value > 255) {
    saturation = std::max(0, saturation - (value - 255));
    value = 255;
  }
  const double v = value, s = saturation / 255.0;
  const int sector = static_cast<int>(hue) % 6;
  const double f = hue - static_cast<int>(hue);
  const auto channel = [](double x) {
    return static_cast<std::uint8_t>(std::clamp(static_cast<int>(x + 0.5), 0, 255));
  };
  const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
  switch (sector) {
    case 0:
      return {channel(v), channel(t), channel(p)};
    case 1:
      return {channel(q), channel(v), channel(p)};
    case 2:
      return {channel(p), channel(v), channel(t)};
    case 3:
      return {channel(p), channel(q), channel(v)};
    case 4:
      return {channel(t), channel(p), channel(v)};
    default:
      return {channel(v), channel(p), channel(q)};
  }
}

ControlColours ReadControlColours(const PaletteDefinition& palette, const StyleSheetRules& sheet) {
  const Reader read(palette, sheet);
  ControlColours c;
  c.window = read.Solid("QDialog", "background-color");
  c.window_text = read.Role("WindowText");
  c.disabled_text = read.Role("WindowText", ColourGroup::kDisabled);
  c.highlight = read.Role("Highlight");
  c.highlighted_text = read.Role("HighlightedText");

  const Rgb button_text = read.TextOr("QPushButton", read.Role("ButtonText"));
  c.button = {read.Face("QPushButton"), read.Border("QPushButton"), button_text};
  // A state without a rule of its own keeps the normal look, as the sheet's cascade does.
  const auto state = [&](std::string_view selector) {
    ButtonLook look = c.button;
    if (sheet.Value(selector, "background-color")) look.face = read.Face(selector);
    if (sheet.Value(selector, "border-color") || sheet.Value(selector, "border"))
      look.border = read.Border(selector);
    look.text = read.TextOr(selector, look.text);
    return look;
  };
  c.button_hot = state("QPushButton:hover");
  c.button_pressed = state("QPushButton:pressed");
  c.button_disabled = state("QPushButton:disabled");
  c.button_focus_border = state("QPushButton:focus").border;
  c.button_radius = read.Radius("QPushButton");

  c.edit_background = read.Solid("QLineEdit", "background-color");
  c.edit_text = read.TextOr("QLineEdit", read.Role("Text"));
  c.edit_border = read.Border("QLineEdit");
  c.edit_focus_border = read.Border("QLineEdit:focus");
  c.edit_disabled_background = read.Solid("QLineEdit:disabled", "background-color");
  c.edit_disabled_text =
      read.TextOr("QLineEdit:disabled", read.Role("Text", ColourGroup::kDisabled));
  c.edit_radius = read.Radius("QLineEdit");

  const Rgb button_colour = read.Role("Button");
  c.combo = {{ShadedByValue(button_colour, 124), button_colour},
             ShadedByValue(read.Role("Window"), 100 * 10 / 14),
             read.Role("ButtonText")};
  c.list_background = read.Solid("QComboBox QAbstractItemView", "background-color");
  c.list_border = read.Border("QComboBox QAbstractItemView");

  c.group_border = read.Border("QGroupBox");
  c.group_radius = read.Radius("QGroupBox");

  c.scroll_track = read.Solid("QScrollBar:vertical", "background");
  c.scroll_thumb = read.Solid("QScrollBar::handle", "background");
  c.scroll_thumb_hot = read.Solid("QScrollBar::handle:hover", "background");

  c.tooltip_background = read.Solid("QToolTip", "background-color");
  c.tooltip_text = read.TextOr("QToolTip", read.Role("ToolTipText"));
  c.tooltip_border = read.Border("QToolTip");
  c.menu_background = read.Solid("QMenu", "background-color");
  c.menu_text = read.TextOr("QMenu", read.Role("WindowText"));
  c.menu_border = read.Border("QMenu");
  return c;
}

}  // namespace theme
