// The colours and shapes a front-end that draws its controls itself needs, taken from a theme's
// palette and style sheet: the same values the Linux program's style draws with, so both
// programs wear one theme from one definition.
#pragma once

#include <string_view>

#include "theme/definition/palette_definition.h"
#include "theme/definition/style_sheet_rules.h"

namespace theme {

struct ButtonLook {
  Gradient face;
  Rgb border;
  Rgb text;
};

struct ControlColours {
  Rgb window;       // every window's background
  Rgb window_text;  // labels, group boxes
  Rgb disabled_text;
  Rgb highlight;  // selected entries
  Rgb highlighted_text;

  ButtonLook button;  // normal
  ButtonLook button_hot;
  ButtonLook button_pressed;
  ButtonLook button_disabled;
  Rgb button_focus_border;
  int button_radius = 0;

  Rgb edit_background;
  Rgb edit_text;
  Rgb edit_border;
  Rgb edit_focus_border;
  Rgb edit_disabled_background;
  Rgb edit_disabled_text;
  int edit_radius = 0;

  ButtonLook combo;     // a drop-down list's field, raised like a button in the palette's colours
  Rgb list_background;  // the open list of a drop-down list
  Rgb list_border;

  Rgb group_border;
  int group_radius = 0;

  Rgb scroll_track;
  Rgb scroll_thumb;
  Rgb scroll_thumb_hot;

  Rgb tooltip_background;
  Rgb tooltip_text;
  Rgb tooltip_border;
  Rgb menu_background;
  Rgb menu_text;
  Rgb menu_border;
};

// A colour made lighter (factor above 100) or darker (below) by its value, the rule the Linux
// program's style shades its raised faces with: the value scaled, and when that passes the
// top, the saturation lowered by the excess.
Rgb ShadedByValue(Rgb colour, int percent);

// Throws queue::Failure (kind ThemeFailure::kLoad) naming the first value the palette or the
// sheet does not give in a form that can be drawn.
ControlColours ReadControlColours(const PaletteDefinition& palette, const StyleSheetRules& sheet);

}  // namespace theme
