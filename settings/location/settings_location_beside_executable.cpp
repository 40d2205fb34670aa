// The settings file beside the executable, named after it.
#include "settings/location/settings_location.h"
#include "settings/profile/profile_path.h"

namespace settings {

std::u16string SettingsFileOfProgram(std::u16string_view executable_path) {
  return SettingsPathForExecutable(executable_path);
}

std::u16string SettingsFileToLoad(std::u16string_view settings_path) {
  return std::u16string(settings_path);
}

void PrepareSettingsFolder(std::u16string_view) {}

}  // namespace settings
