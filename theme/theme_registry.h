// The theme registry: every theme the program carries, found by the name in its header.
// The themes are resources under one folder (":/APPSTYLE/", the folder standing for the
// resource type); a test points the registry at a folder of its own.
#pragma once

#include <QString>

#include <vector>

#include "theme/theme_look.h"

namespace theme {

inline const QString kThemeResourceRoot = QStringLiteral(":/APPSTYLE/");

// Theme names are compared without regard to letter case.
bool SameThemeName(const QString& a, const QString& b);

struct ThemeSource {
  QString resource_name;  // path below the root, e.g. "ICEBERGCLASSICO"
  ThemeLook look;         // validated and prepared when discovered
};

class ThemeRegistry {
 public:
  explicit ThemeRegistry(QString resource_root);

  // Reads every resource below the root (in name order), validates it as a theme and
  // registers it under its header's name, by the rules of DiscoverThemes
  // (theme/discovery/theme_discovery.h), whose failures it throws.
  void Discover();

  // The registered theme of that name, or null.
  const ThemeSource* Find(const QString& theme_name) const;

 private:
  QString root_;
  std::vector<ThemeSource> sources_;
};

}  // namespace theme
