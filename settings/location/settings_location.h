// Where the program keeps its settings file, as the build chose it: beside the executable
// (settings_location_beside_executable.cpp, the default) or in the user's settings home
// (settings_location_config_home.cpp, with QUEUE_SETTINGS_IN_CONFIG_HOME, for the installed
// Linux program). The file's format and rules are the same in both.
#pragma once

#include <string>
#include <string_view>

namespace settings {

// The settings file of the program whose executable is `executable_path`.
std::u16string SettingsFileOfProgram(std::u16string_view executable_path);

// The file a load reads, given the file the build keeps (SettingsFileOfProgram): that same file
// beside the executable; in the settings home, when the user has no file there yet, a
// machine-wide one an IT person put in place (config_home.h), which the close never writes.
std::u16string SettingsFileToLoad(std::u16string_view settings_path);

// Run before a save writes the file at `settings_path`: makes what the build's place needs
// that may be missing. Beside the executable nothing is made (a missing folder refuses the
// write); in the settings home the file's folders are made.
void PrepareSettingsFolder(std::u16string_view settings_path);

}  // namespace settings
