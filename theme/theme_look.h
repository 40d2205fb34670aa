// A look the program can wear: a theme prepared from its container (palette, style sheet),
// or the platform's standard look. Applying one sets it application-wide, so every window
// that exists is redrawn in it and every window made later is born in it.
#pragma once

#include <QPalette>
#include <QString>

#include "theme/container/theme_container.h"

namespace theme {

struct ThemeLook {
  QString name;
  QString version;
  QPalette palette;
  QString style_sheet;
  bool standard = false;  // the platform's standard look: the default style, no style sheet
};

// Prepares a theme from its unpacked container: it needs a "palette" and a "stylesheet"
// section, both UTF-8. Throws queue::Failure (kind ThemeFailure::kLoad) when either is missing or
// bad.
ThemeLook PrepareThemeLook(const ThemePackage& package);

// The platform's standard look, as the application had it before any theme was applied.
// Needs the QApplication; the first call fixes it for the run.
const ThemeLook& StandardLook();

// Sets the look application-wide: style, palette and style sheet.
void ApplyLook(const ThemeLook& look);

}  // namespace theme
