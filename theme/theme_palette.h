// A theme's palette for Qt, from its definition (format and rules in
// theme/definition/palette_definition.h, which the Windows program reads too).
#pragma once

#include <QPalette>
#include <QString>

namespace theme {

// Builds the palette from its definition. The roles Window and Button must be given: the
// palette is derived from them first, so a role the definition leaves out still gets a
// colour that matches. Throws queue::Failure (kind ThemeFailure::kLoad) naming the first bad line.
QPalette ParseThemePalette(const QString& definition);

}  // namespace theme
