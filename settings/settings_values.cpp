// The settings file's table of values.
#include "settings/settings_values.h"

#include "core/scope_exit.h"
#include "settings/profile/profile_file.h"

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

std::int32_t Read(const ProfileFile& file, const Entry& entry, std::int32_t default_value) {
  return file.ReadInteger(entry.section, entry.key_read, default_value);
}

void Write(ProfileFile& file, const Entry& entry, std::int32_t value) {
  file.WriteInteger(entry.section, entry.key_written, value);
}

}  // namespace

SettingsValues LoadSettingsValues(std::u16string_view ini_path) {
  const ProfileFile file(ini_path);
  // The file is flushed when the load ends.
  const queue::ScopeExit flush([&file] { file.Flush(); });
  SettingsValues values;
  values.outer.top = Read(file, kTop, kDefaultOuterRectangle.top);
  values.outer.left = Read(file, kLeft, kDefaultOuterRectangle.left);
  values.outer.width = Read(file, kWidth, kDefaultOuterRectangle.width);
  values.outer.height = Read(file, kHeight, kDefaultOuterRectangle.height);
  values.host = file.ReadString(kHost.section, kHost.key_read, kDefaultHost);
  values.window = Read(file, kWindow, kNoWindowSelected);
  return values;
}

void SaveSettingsValues(std::u16string_view ini_path, const SettingsValues& values) {
  ProfileFile file(ini_path);
  // The file is flushed when the save ends, also when a write failed.
  const queue::ScopeExit flush([&file] { file.Flush(); });
  // One write per entry, in this order; the first refused write ends the save.
  Write(file, kTop, values.outer.top);
  Write(file, kLeft, values.outer.left);
  Write(file, kWidth, values.outer.width);
  Write(file, kHeight, values.outer.height);
  file.WriteString(kHost.section, kHost.key_written, values.host);
  Write(file, kWindow, values.window);
}

void SaveServerValues(std::u16string_view ini_path, const std::optional<std::u16string>& host,
                      std::optional<std::int32_t> window) {
  ProfileFile file(ini_path);
  const queue::ScopeExit flush([&file] { file.Flush(); });
  if (host) file.WriteString(kHost.section, kHost.key_written, *host);
  if (window) Write(file, kWindow, *window);
}

std::int32_t ListIndexOrNone(std::int32_t stored_window, int count) {
  return stored_window >= 0 && stored_window < count ? stored_window : kNoWindowSelected;
}

}  // namespace settings
