// The running user's settings home, POSIX half: the environment, the user database, mkdir.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "core/text.h"
#include "settings/location/config_home.h"
#include "settings/location/config_home_path.h"

namespace settings {
namespace {

// The longest user-database entry read; entries are a few hundred bytes.
constexpr std::size_t kMaxUserEntryBytes = 64 * 1024;

std::optional<std::u16string> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return queue::Utf8ToUtf16(value);
}

// The home folder that the user database gives the running user; empty when it has none.
std::u16string UserDatabaseHome() {
  std::vector<char> buffer(4096);
  for (;;) {
    passwd entry{};
    passwd* found = nullptr;
    const int error = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found);
    if (error == ERANGE && buffer.size() < kMaxUserEntryBytes) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (error != 0 || found == nullptr || found->pw_dir == nullptr) return {};
    return queue::Utf8ToUtf16(found->pw_dir);
  }
}

}  // namespace

std::u16string CurrentUserConfigHomeSettingsPath() {
  const std::optional<std::u16string> config_home = Environment("XDG_CONFIG_HOME");
  std::u16string home = Environment("HOME").value_or(std::u16string());
  if (home.empty()) home = UserDatabaseHome();
  return SettingsPathInConfigHome(
      config_home ? std::optional<std::u16string_view>(*config_home) : std::nullopt, home);
}

std::u16string SettingsPathToRead(std::u16string_view user_path) {
  const auto present = [](std::u16string_view path) {
    struct stat status {};
    return ::stat(queue::Utf16ToUtf8(path).c_str(), &status) == 0;
  };
  if (present(user_path)) return std::u16string(user_path);
  const std::optional<std::u16string> config_dirs = Environment("XDG_CONFIG_DIRS");
  for (std::u16string& path : MachineSettingsPaths(
           config_dirs ? std::optional<std::u16string_view>(*config_dirs) : std::nullopt)) {
    // A folder of that name holds no settings: only a file is taken.
    struct stat status {};
    if (::stat(queue::Utf16ToUtf8(path).c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
      return std::move(path);
    }
  }
  return std::u16string(user_path);
}

bool MakeFoldersFor(std::u16string_view settings_path) {
  const std::string path = queue::Utf16ToUtf8(settings_path);
  // Each "/" after the first character ends one folder on the way to the file.
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    if (::mkdir(folder.c_str(), 0700) == 0) continue;
    // Something already there must be a folder (or a link to one) for the file to go in.
    struct stat status {};
    if (errno != EEXIST || ::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
      return false;
    }
  }
  return true;
}

}  // namespace settings
