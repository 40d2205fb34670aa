// The request for the program's visual theme, made once at start-up before any window
// exists.
#pragma once

#include <QString>

namespace app {

// The theme every window is drawn in.
inline const QString kThemeName = QStringLiteral("Iceberg Classico");

// Makes the theme `name` active; returns whether it became active. With `report_missing`, a
// theme that cannot be found is reported to the user first. A theme resource that is present
// but cannot be loaded throws, which ends the start-up.
bool RequestTheme(const QString& name, bool report_missing);

}  // namespace app
