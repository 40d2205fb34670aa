// The load and save of the operator window's values. Not built yet: both do nothing.
#include "settings/form_settings.h"

#include <QCoreApplication>

namespace settings {

QString SettingsFilePath() {
  return QCoreApplication::applicationFilePath() + ".ini";
}

void LoadSettings(const QString&, QWidget&, QComboBox&, QLineEdit&) {}

void SaveSettings(const QString&, const QWidget&, const QComboBox&, const QLineEdit&) {}

}  // namespace settings
