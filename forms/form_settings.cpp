// The load and save of the operator window's values.
#include "forms/form_settings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QWidget>

#include "core/scope_exit.h"
#include "forms/placement/form_geometry.h"
#include "forms/placement/form_placement.h"
#include "settings/profile/profile_file.h"
#include "settings/profile/profile_path.h"

namespace settings {
namespace {

// One entry of the settings file. The left edge is written as "left" and read as "Left";
// names match ignoring case, so both are the same entry.
struct Entry {
  std::u16string_view section;
  std::u16string_view key_read;
  std::u16string_view key_written;
};

constexpr Entry kTop{u"Form", u"Top", u"Top"};
constexpr Entry kLeft{u"Form", u"Left", u"left"};
constexpr Entry kWidth{u"Form", u"Width", u"Width"};
constexpr Entry kHeight{u"Form", u"Height", u"Height"};
constexpr Entry kHost{u"Server", u"Host", u"Host"};
constexpr Entry kWindow{u"Server", u"Window", u"Window"};

constexpr std::int32_t kDefaultTop = 0;
constexpr std::int32_t kDefaultLeft = 0;
constexpr std::int32_t kDefaultWidth = 420;
constexpr std::int32_t kDefaultHeight = 112;
constexpr std::u16string_view kDefaultHost = u"http://localhost";
constexpr std::int32_t kNoWindowSelected = -1;

std::int32_t Read(const ProfileFile& file, const Entry& entry, std::int32_t default_value) {
  return file.ReadInteger(entry.section, entry.key_read, default_value);
}

void Write(ProfileFile& file, const Entry& entry, std::int32_t value) {
  file.WriteInteger(entry.section, entry.key_written, value);
}

}  // namespace

QString SettingsFilePath() {
  return QString::fromStdU16String(
      SettingsPathForExecutable(QCoreApplication::applicationFilePath().toStdU16String()));
}

void LoadSettings(const QString& ini_path, QWidget& main_window, QComboBox& operator_select,
                  QLineEdit& server_edit) {
  const ProfileFile file(ini_path.toStdU16String());
  // The file is flushed when the load ends.
  const queue::ScopeExit flush([&file] { file.Flush(); });
  StoredPlacement stored;
  stored.top = Read(file, kTop, kDefaultTop);
  stored.left = Read(file, kLeft, kDefaultLeft);
  stored.width = Read(file, kWidth, kDefaultWidth);
  stored.height = Read(file, kHeight, kDefaultHeight);
  ApplyOuterGeometry(main_window, PlaceOperatorWindow(stored, CurrentOuterSize(main_window),
                                                      CurrentFrameSize(main_window),
                                                      CurrentScreenLayout(main_window)));
  server_edit.setText(
      QString::fromStdU16String(file.ReadString(kHost.section, kHost.key_read, kDefaultHost)));
  // The file stores the list position; one outside the list selects nothing.
  const std::int32_t window = Read(file, kWindow, kNoWindowSelected);
  operator_select.setCurrentIndex(
      window >= 0 && window < operator_select.count() ? window : kNoWindowSelected);
}

void SaveSettings(const QString& ini_path, const QWidget& main_window,
                  const QComboBox& operator_select, const QLineEdit& server_edit) {
  ProfileFile file(ini_path.toStdU16String());
  // The file is flushed when the save ends, also when a write failed.
  const queue::ScopeExit flush([&file] { file.Flush(); });
  const QRect outer = StoredOuterGeometry(main_window);
  // One write per entry, in this order; the first refused write ends the save.
  Write(file, kTop, outer.y());
  Write(file, kLeft, outer.x());
  Write(file, kWidth, outer.width());
  Write(file, kHeight, outer.height());
  file.WriteString(kHost.section, kHost.key_written, server_edit.text().toStdU16String());
  Write(file, kWindow, operator_select.currentIndex());
}

}  // namespace settings
