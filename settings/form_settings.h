// The load and save of the operator window's values: its position and size, and the settings
// window's server address and window number, to and from the settings file.
#pragma once

#include <QString>

class QWidget;
class QComboBox;
class QLineEdit;

namespace settings {

// The settings file of the running program: the executable's full path with its extension
// replaced by ".ini".
QString SettingsFilePath();

// Reads the settings file into the operator window's geometry and the settings window's
// controls (called from the operator window's FormShow).
void LoadSettings(const QString& ini_path, QWidget& main_window, QComboBox& operator_select,
                  QLineEdit& server_edit);

// Writes them back (called from the operator window's FormClose). Throws a Failure with
// "Unable to write to <path>" when the file refuses a write.
void SaveSettings(const QString& ini_path, const QWidget& main_window,
                  const QComboBox& operator_select, const QLineEdit& server_edit);

}  // namespace settings
