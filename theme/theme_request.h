// The theme request: makes a theme the program carries the active look of every window.
// Start-up requests kThemeName once, before any window exists.
#pragma once

#include <QString>

#include <vector>

#include "theme/theme_look.h"
#include "theme/theme_registry.h"

namespace theme {

// The theme every window is drawn in.
inline const QString kThemeName = QStringLiteral("Iceberg Classico");

// Makes the named theme active (names compared ignoring case) and returns whether it is.
// When no such theme exists it returns false; with `showError` it first shows the modal box
// "Style '<name>' not found" (title "Error", error icon, one "&Close" button), and the
// standard look stays. A theme resource that is present but cannot be loaded throws
// queue::Failure (kind ThemeFailure::kLoad) on the first request of the run: a start-up failure.
bool RequestTheme(const QString& name, bool showError);

// One registry, its themes loaded so far and the active one. RequestTheme uses one over
// the program's resources; a test makes its own over a folder of its choosing.
class ThemeRequest {
 public:
  explicit ThemeRequest(QString resource_root = kThemeResourceRoot);

  bool Request(const QString& name, bool show_error);
  // The name of the active look: a theme's, or the standard look's.
  QString ActiveName() const;

 private:
  const ThemeLook* FindLoaded(const QString& name) const;
  void Activate(const ThemeLook& look);

  ThemeRegistry registry_;
  bool discovered_ = false;
  std::vector<ThemeLook> loaded_;  // the standard look first, then themes as first requested
  QString active_name_;
};

// The text of the box shown when a requested theme does not exist.
QString ThemeNotFoundText(const QString& name);

}  // namespace theme
