// Where a user's settings file lies below the desktop's settings home.
#include "settings/location/config_home_path.h"

namespace settings {
namespace {

// `folder` + "/" + `name`, with no doubled "/" when the folder already ends with one.
std::u16string Joined(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(folder);
  if (!path.ends_with(u'/')) path += u'/';
  path += name;
  return path;
}

}  // namespace

std::u16string SettingsPathInConfigHome(std::optional<std::u16string_view> config_home,
                                        std::u16string_view home) {
  const bool usable = config_home && config_home->starts_with(u'/');
  const std::u16string base = usable ? std::u16string(*config_home) : Joined(home, u".config");
  return Joined(Joined(base, kConfigHomeFolder), kConfigHomeFileName);
}

}  // namespace settings
