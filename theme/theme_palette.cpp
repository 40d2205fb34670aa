// The palette definition of a theme (format in theme_palette.h).
#include "theme/theme_palette.h"

#include <QColor>
#include <QMetaEnum>
#include <QStringList>

#include <optional>
#include <vector>

#include "theme/container/theme_failure.h"

namespace theme {
namespace {

[[noreturn]] void Fail(const QString& reason) {
  throw queue::Failure(theme::ThemeFailure::kLoad,
                       (QStringLiteral("Theme palette: ") + reason).toStdU16String());
}

struct ColourSetting {
  std::optional<QPalette::ColorGroup> group;  // none: every group
  QPalette::ColorRole role;
  QColor colour;
};

ColourSetting ParseLine(const QString& line, int line_number) {
  const auto where = QStringLiteral(" (line %1)").arg(line_number);
  const qsizetype equals = line.indexOf(u'=');
  if (equals < 0) Fail(QStringLiteral("\"=\" missing") + where);
  const QString key = line.left(equals).trimmed();
  const QString value = line.mid(equals + 1).trimmed();

  ColourSetting setting{};
  QString role_name = key;
  const qsizetype colon = key.indexOf(u':');
  if (colon >= 0) {
    const QMetaEnum groups = QMetaEnum::fromType<QPalette::ColorGroup>();
    bool known = false;
    const int group = groups.keyToValue(key.left(colon).trimmed().toLatin1().constData(), &known);
    if (!known || group >= QPalette::NColorGroups)
      Fail(QStringLiteral("unknown colour group") + where);
    setting.group = static_cast<QPalette::ColorGroup>(group);
    role_name = key.mid(colon + 1).trimmed();
  }
  const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
  bool known = false;
  const int role = roles.keyToValue(role_name.toLatin1().constData(), &known);
  if (!known || role >= QPalette::NColorRoles) Fail(QStringLiteral("unknown colour role") + where);
  setting.role = static_cast<QPalette::ColorRole>(role);
  setting.colour = QColor::fromString(value);
  if (!value.startsWith(u'#') || !setting.colour.isValid())
    Fail(QStringLiteral("colour not in #rrggbb form") + where);
  return setting;
}

const QColor* FindColour(const std::vector<ColourSetting>& settings, QPalette::ColorRole role) {
  for (const auto& setting : settings)
    if (!setting.group && setting.role == role) return &setting.colour;
  return nullptr;
}

}  // namespace

QPalette ParseThemePalette(const QString& definition) {
  std::vector<ColourSetting> settings;
  const QStringList lines = definition.split(u'\n');
  for (int i = 0; i < lines.size(); ++i) {
    const QString line = lines[i].trimmed();
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    settings.push_back(ParseLine(line, i + 1));
  }
  const QColor* window = FindColour(settings, QPalette::Window);
  const QColor* button = FindColour(settings, QPalette::Button);
  if (!window || !button) Fail(QStringLiteral("Window and Button colours required"));

  QPalette palette(*button, *window);
  // Settings for every group first, so a group's own setting wins wherever it stands.
  for (const auto& setting : settings)
    if (!setting.group) palette.setColor(setting.role, setting.colour);
  for (const auto& setting : settings)
    if (setting.group) palette.setColor(*setting.group, setting.role, setting.colour);
  return palette;
}

}  // namespace theme
