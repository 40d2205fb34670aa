// Where the settings file lies.
#include "settings/profile/profile_path.h"

namespace settings {

std::u16string SettingsPathForExecutable(std::u16string_view executable_path) {
  const std::size_t name_start = executable_path.find_last_of(u"/\\:");
  const std::size_t dot = executable_path.rfind(u'.');
  const bool has_extension = dot != std::u16string_view::npos &&
                             (name_start == std::u16string_view::npos || dot > name_start);
  std::u16string path(has_extension ? executable_path.substr(0, dot) : executable_path);
  path += u".ini";
  return path;
}

}  // namespace settings
