// The load and save of the operator window's values.
#include "forms/form_settings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QWidget>

#include "forms/placement/form_geometry.h"
#include "settings/location/settings_location.h"
#include "settings/profile/profile_path.h"
#include "settings/settings_values.h"

namespace settings {

QString SettingsFilePath() {
  return QString::fromStdU16String(
      SettingsFileOfProgram(QCoreApplication::applicationFilePath().toStdU16String()));
}

void LoadSettings(const QString& ini_path, QWidget& main_window, QComboBox& operator_select,
                  QLineEdit& server_edit) {
  const SettingsValues values = LoadSettingsValues(SettingsFileToLoad(ini_path.toStdU16String()));
  ApplyOuterGeometry(main_window, ToQRect(PlaceStoredRectangle(
                                      values.outer, ToPixelSize(CurrentOuterSize(main_window)),
                                      ToPixelSize(CurrentFrameSize(main_window)),
                                      CurrentScreenAreas(main_window))));
  server_edit.setText(QString::fromStdU16String(values.host));
  operator_select.setCurrentIndex(ListIndexOrNone(values.window, operator_select.count()));
}

void SaveSettings(const QString& ini_path, const QWidget& main_window,
                  const QComboBox& operator_select, const QLineEdit& server_edit) {
  PrepareSettingsFolder(ini_path.toStdU16String());
  SettingsValues values;
  values.outer = ToPixelRect(StoredOuterGeometry(main_window));
  values.host = server_edit.text().toStdU16String();
  values.window = operator_select.currentIndex();
  SaveSettingsValues(ini_path.toStdU16String(), values);
}

}  // namespace settings
