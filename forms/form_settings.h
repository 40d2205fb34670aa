// The load and save of the operator window's values: its position and size, and the settings
// window's server address and window number, to and from the settings file.
#pragma once

#include <QString>

class QWidget;
class QComboBox;
class QLineEdit;

namespace settings {

// The settings file of the running program, where the build keeps it (settings_location.h):
// by default the executable's full path with its extension replaced by ".ini"
// (profile_path.h). Computed afresh at each call.
QString SettingsFilePath();

// Reads the settings file (`ini_path`, or in the settings home a machine-wide file while the
// user has none: settings_location.h) into the operator window's geometry and the settings
// window's controls (called from the operator window's FormShow, before the window is first drawn):
// the outer rectangle from Form/Top, Left, Width and Height (physical pixels; defaults 0, 0,
// 420, 112; placed as settings/stored_rectangle.h says), the server address from Server/Host
// (default "http://localhost"; an empty value stays empty) and the list position from Server/Window
// (default -1; a position outside the list selects nothing). Never fails.
void LoadSettings(const QString& ini_path, QWidget& main_window, QComboBox& operator_select,
                  QLineEdit& server_edit);

// Writes them back (called from the operator window's FormClose), one write per entry in the
// order Top, left, Width, Height, Host, Window, after making what the build's place of the
// file needs (settings_location.h); while the window is minimised, its restored
// rectangle is written. Throws Failure(kSettingsWrite, "Unable to write to <full path>") at
// the first refused write; the entries written before it stay written.
void SaveSettings(const QString& ini_path, const QWidget& main_window,
                  const QComboBox& operator_select, const QLineEdit& server_edit);

}  // namespace settings
