// Where a user's settings file lies when the program keeps it with the desktop's other user
// settings instead of beside the executable: the installed Linux program, whose executable
// lies in a folder no clerk may write.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// The folder below the settings home that holds the program's settings file, and its name.
inline constexpr std::u16string_view kConfigHomeFolder = u"queue-operator";
inline constexpr std::u16string_view kConfigHomeFileName = u"Operator.ini";

// The settings file below the user's settings home: `config_home` (the value of
// XDG_CONFIG_HOME) when it is set to an absolute path, else `home`/.config. An empty or
// relative XDG_CONFIG_HOME is not a settings home and is passed over, as the desktop's rule
// says. "/home/clerk" gives "/home/clerk/.config/queue-operator/Operator.ini".
std::u16string SettingsPathInConfigHome(std::optional<std::u16string_view> config_home,
                                        std::u16string_view home);

// The machine-wide settings files an IT person may put in place for every user of a desk, in the
// order they are looked for: the program's file below each absolute folder of `config_dirs` (the
// value of XDG_CONFIG_DIRS, folders separated by ":"), or below /etc/xdg when it is unset or
// empty. Relative folders are passed over, as the desktop's rule says.
std::vector<std::u16string> MachineSettingsPaths(std::optional<std::u16string_view> config_dirs);

}  // namespace settings
