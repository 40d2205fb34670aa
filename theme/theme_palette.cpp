// The palette of a theme, built from its Qt-free definition (theme/definition/).
#include "theme/theme_palette.h"

#include <QColor>
#include <QMetaEnum>

#include "theme/container/theme_failure.h"
#include "theme/definition/palette_definition.h"

namespace theme {
namespace {

QColor ToQColor(Rgb rgb) {
  return QColor(rgb.red, rgb.green, rgb.blue);
}

QPalette::ColorRole RoleNamed(const std::string& name) {
  bool known = false;
  const int role = QMetaEnum::fromType<QPalette::ColorRole>().keyToValue(name.c_str(), &known);
  // Every name the definition accepts is a role of Qt's palette; this holds the two together.
  if (!known || role >= QPalette::NColorRoles)
    throw queue::Failure(ThemeFailure::kLoad, "Theme palette: no Qt colour role " + name);
  return static_cast<QPalette::ColorRole>(role);
}

QPalette::ColorGroup QtGroup(ColourGroup group) {
  switch (group) {
    case ColourGroup::kInactive:
      return QPalette::Inactive;
    case ColourGroup::kDisabled:
      return QPalette::Disabled;
    default:
      return QPalette::Active;
  }
}

}  // namespace

QPalette ParseThemePalette(const QString& definition) {
  const QByteArray utf8 = definition.toUtf8();
  const PaletteDefinition parsed = ParsePaletteDefinition(
      std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
  QPalette palette(ToQColor(*parsed.Find("Button", ColourGroup::kEvery)),
                   ToQColor(*parsed.Find("Window", ColourGroup::kEvery)));
  // Settings for every group first, so a group's own setting wins wherever it stands.
  for (const auto& setting : parsed.settings)
    if (setting.group == ColourGroup::kEvery)
      palette.setColor(RoleNamed(setting.role), ToQColor(setting.colour));
  for (const auto& setting : parsed.settings)
    if (setting.group != ColourGroup::kEvery)
      palette.setColor(QtGroup(setting.group), RoleNamed(setting.role), ToQColor(setting.colour));
  return palette;
}

}  // namespace theme
