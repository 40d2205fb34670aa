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

std::vector<std::u16string> MachineSettingsPaths(std::optional<std::u16string_view> config_dirs) {
  constexpr std::u16string_view kDefaultConfigDirs = u"/etc/xdg";
  std::u16string_view rest =
      config_dirs && !config_dirs->empty() ? *config_dirs : kDefaultConfigDirs;
  std::vector<std::u16string> paths;
  for (;;) {
    const std::size_t colon = rest.find(u':');
    const std::u16string_view folder = rest.substr(0, colon);
    if (folder.starts_with(u'/')) {
      paths.push_back(Joined(Joined(folder, kConfigHomeFolder), kConfigHomeFileName));
    }
    if (colon == std::u16string_view::npos) return paths;
    rest.remove_prefix(colon + 1);
  }
}

}  // namespace settings
