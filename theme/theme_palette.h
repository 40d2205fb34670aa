// Reads a theme's palette definition: lines "Role = #rrggbb" for every colour group, or
// "Group:Role = #rrggbb" for one group (Active, Inactive, Disabled); "#" starts a comment line.
#pragma once

#include <QPalette>
#include <QString>

namespace theme {

// Builds the palette from its definition. The roles Window and Button must be given: the
// palette is derived from them first, so a role the definition leaves out still gets a
// colour that matches. Throws queue::Failure (kind ThemeFailure::kLoad) naming the first bad line.
QPalette ParseThemePalette(const QString& definition);

}  // namespace theme
