// The windows' design font: the family every window and control is laid out in, at sizes given
// in pixels at 96 per inch (Qt scales them with the display).
#pragma once

#include <QFont>

#include "core/window_layout.h"

namespace forms {

// The size of each window's own font; controls that differ give their own.
inline constexpr int kWindowFontPixels = queue::layout::kWindowFontPixels;

QFont DesignFont(int pixels, bool bold = false);

}  // namespace forms
