// The running user's settings home on this machine: the environment's XDG_CONFIG_HOME and
// HOME, and the making of the settings file's folder there.
#pragma once

#include <string>
#include <string_view>

namespace settings {

// The settings file of the running user (config_home_path.h): from XDG_CONFIG_HOME and HOME,
// or the user's home folder in the user database when HOME is unset or empty. Computed afresh
// at each call.
std::u16string CurrentUserConfigHomeSettingsPath();

// The settings file a start reads: `user_path` (the user's own, where the close writes) when
// anything is there, else the first machine-wide file that exists (MachineSettingsPaths, over
// the environment's XDG_CONFIG_DIRS), else `user_path`, whose absence gives the defaults.
std::u16string SettingsPathToRead(std::u16string_view user_path);

// Makes the folders that lead to the file at `settings_path` where they are missing, each one
// readable by its user only (mode 0700, as the desktop's rule asks of the folders it makes);
// folders that exist are left as they are. Returns false when one could not be made; the
// write of the file that follows is then refused and reported as any refused write is.
bool MakeFoldersFor(std::u16string_view settings_path);

}  // namespace settings
