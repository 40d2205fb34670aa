// The settings file in the running user's settings home, whatever the executable's folder.
#include "settings/location/config_home.h"
#include "settings/location/settings_location.h"

namespace settings {

std::u16string SettingsFileOfProgram(std::u16string_view) {
  return CurrentUserConfigHomeSettingsPath();
}

std::u16string SettingsFileToLoad(std::u16string_view settings_path) {
  return SettingsPathToRead(settings_path);
}

void PrepareSettingsFolder(std::u16string_view settings_path) {
  // A folder that cannot be made shows as the refused write that follows, with its message.
  (void)MakeFoldersFor(settings_path);
}

}  // namespace settings
