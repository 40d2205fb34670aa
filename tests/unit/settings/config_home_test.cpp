// The installed program's settings file in the user's settings home: the path rule over
// XDG_CONFIG_HOME and HOME, the environment read as the program reads it, and the folders
// made for the first save (only where missing, private to the user), so that the first close
// of a fresh account writes the file.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "core/failure.h"
#include "core/text.h"
#include "settings/location/config_home.h"
#include "settings/location/config_home_path.h"
#include "settings/profile/profile_file.h"
#include "settings/settings_values.h"

namespace settings {
namespace {

namespace fs = std::filesystem;

TEST(SettingsPathInConfigHome, FollowsTheDesktopsRule) {
  const struct {
    std::optional<std::u16string_view> config_home;
    std::u16string_view home;
    std::u16string_view expected;
  } cases[] = {
      {u"/srv/clerk/settings", u"/home/clerk", u"/srv/clerk/settings/queue-operator/Operator.ini"},
      {u"/srv/clerk/settings/", u"/home/clerk", u"/srv/clerk/settings/queue-operator/Operator.ini"},
      {u"/", u"/home/clerk", u"/queue-operator/Operator.ini"},
      // Unset, empty or relative: no settings home, the one below HOME stands in.
      {std::nullopt, u"/home/clerk", u"/home/clerk/.config/queue-operator/Operator.ini"},
      {u"", u"/home/clerk", u"/home/clerk/.config/queue-operator/Operator.ini"},
      {u"settings", u"/home/clerk", u"/home/clerk/.config/queue-operator/Operator.ini"},
      {u"~/settings", u"/home/clerk/", u"/home/clerk/.config/queue-operator/Operator.ini"},
      {std::nullopt, u"/", u"/.config/queue-operator/Operator.ini"},
      // Names are kept as they are, letters of any script included.
      {u"/home/Клерк/.cfg", u"/x", u"/home/Клерк/.cfg/queue-operator/Operator.ini"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SettingsPathInConfigHome(c.config_home, c.home), c.expected)
        << queue::Utf16ToUtf8(c.config_home.value_or(u"(unset)"));
  }
}

TEST(MachineSettingsPaths, FollowsTheDesktopsRule) {
  const struct {
    std::optional<std::u16string_view> config_dirs;
    std::vector<std::u16string> expected;
  } cases[] = {
      {std::nullopt, {u"/etc/xdg/queue-operator/Operator.ini"}},
      {u"", {u"/etc/xdg/queue-operator/Operator.ini"}},
      {u"/srv/desk", {u"/srv/desk/queue-operator/Operator.ini"}},
      {u"/srv/desk/:/etc/xdg",
       {u"/srv/desk/queue-operator/Operator.ini", u"/etc/xdg/queue-operator/Operator.ini"}},
      // Relative and empty entries are no folders; what is left keeps its order.
      {u"desk::/b:~/c:/a", {u"/b/queue-operator/Operator.ini", u"/a/queue-operator/Operator.ini"}},
      {u"relative", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MachineSettingsPaths(c.config_dirs), c.expected)
        << queue::Utf16ToUtf8(c.config_dirs.value_or(u"(unset)"));
  }
}

// Sets an environment variable (or unsets it, for nullopt) for one test, and restores it.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment() { Set(old_); }

 private:
  void Set(const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name_, value->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

std::u16string U16(const std::string& text) {
  return queue::Utf8ToUtf16(text);
}

TEST(CurrentUserConfigHomeSettingsPath, ReadsTheEnvironmentAtEachCall) {
  {
    ScopedEnvironment config("XDG_CONFIG_HOME", "/srv/a");
    ScopedEnvironment home("HOME", "/home/b");
    EXPECT_EQ(CurrentUserConfigHomeSettingsPath(), u"/srv/a/queue-operator/Operator.ini");
  }
  {
    ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnvironment home("HOME", "/home/b");
    EXPECT_EQ(CurrentUserConfigHomeSettingsPath(), u"/home/b/.config/queue-operator/Operator.ini");
  }
}

TEST(CurrentUserConfigHomeSettingsPath, TakesTheUserDatabasesHomeWithoutHome) {
  const passwd* user = ::getpwuid(::getuid());
  ASSERT_NE(user, nullptr);
  const std::u16string expected = U16(user->pw_dir) + u"/.config/queue-operator/Operator.ini";
  ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
  {
    ScopedEnvironment home("HOME", std::nullopt);
    EXPECT_EQ(CurrentUserConfigHomeSettingsPath(), expected);
  }
  {
    ScopedEnvironment home("HOME", "");
    EXPECT_EQ(CurrentUserConfigHomeSettingsPath(), expected);
  }
}

class MakeFoldersForTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "config-home-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    home_ = pattern;
  }
  void TearDown() override { fs::remove_all(home_); }

  static fs::perms Mode(const fs::path& path) {
    return fs::status(path).permissions() & fs::perms::mask;
  }

  fs::path home_;
};

// A fresh account has no ~/.config: the first save makes it and the program's folder, both
// private to the user, and the file is written there.
TEST_F(MakeFoldersForTest, MakesTheMissingFoldersPrivateAndTheSaveWritesTheFile) {
  ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
  ScopedEnvironment home("HOME", home_.string());
  const std::u16string path = CurrentUserConfigHomeSettingsPath();
  ASSERT_TRUE(MakeFoldersFor(path));
  EXPECT_EQ(Mode(home_ / ".config"), fs::perms::owner_all);
  EXPECT_EQ(Mode(home_ / ".config" / "queue-operator"), fs::perms::owner_all);
  EXPECT_FALSE(fs::exists(home_ / ".config" / "queue-operator" / "Operator.ini"));

  ProfileFile file(path);
  file.WriteInteger(u"Server", u"Window", 3);
  file.Flush();
  EXPECT_EQ(ProfileFile(path).ReadInteger(u"Server", u"Window", -1), 3);
  EXPECT_TRUE(fs::is_regular_file(home_ / ".config" / "queue-operator" / "Operator.ini"));
}

// Folders that exist are the user's own business: their modes stay, and a second call
// changes nothing.
TEST_F(MakeFoldersForTest, LeavesExistingFoldersAsTheyAre) {
  fs::create_directory(home_ / ".config");
  fs::permissions(home_ / ".config", fs::perms(0755));
  const std::u16string path = U16((home_ / ".config/queue-operator/Operator.ini").string());
  ASSERT_TRUE(MakeFoldersFor(path));
  ASSERT_TRUE(MakeFoldersFor(path));
  EXPECT_EQ(Mode(home_ / ".config"), fs::perms(0755));
  EXPECT_EQ(Mode(home_ / ".config" / "queue-operator"), fs::perms::owner_all);
}

// A file where the program's folder belongs cannot be made a folder: the call says so, and
// the write that follows is refused with the file's path, as any refused write is.
TEST_F(MakeFoldersForTest, AFileInTheWayRefusesTheWrite) {
  fs::create_directories(home_ / ".config");
  std::ofstream(home_ / ".config" / "queue-operator") << "not a folder";
  const std::u16string path = U16((home_ / ".config/queue-operator/Operator.ini").string());
  EXPECT_FALSE(MakeFoldersFor(path));
  ProfileFile file(path);
  try {
    file.WriteInteger(u"Server", u"Window", 3);
    ADD_FAILURE() << "the write was not refused";
  } catch (const queue::Failure& failure) {
    EXPECT_EQ(failure.message(), u"Unable to write to " + path);
  }
}

// An IT person's machine-wide file is read while the user has none of their own; the first
// folder of XDG_CONFIG_DIRS that holds one wins; the close writes the user's own file, which is
// read from then on, and the machine-wide one is never written.
class SettingsPathToReadTest : public MakeFoldersForTest {
 protected:
  fs::path Machine(const char* folder) const {
    return home_ / folder / "queue-operator" / "Operator.ini";
  }
  void Put(const fs::path& path, const std::string& text) const {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
  std::u16string User() const {
    return U16((home_ / "user" / "queue-operator" / "Operator.ini").string());
  }
  std::string Dirs() const { return (home_ / "a").string() + ":" + (home_ / "b").string(); }
};

TEST_F(SettingsPathToReadTest, NoFileAnywhereReadsTheUsersPath) {
  ScopedEnvironment dirs("XDG_CONFIG_DIRS", Dirs());
  EXPECT_EQ(SettingsPathToRead(User()), User());
}

TEST_F(SettingsPathToReadTest, TheFirstFolderHoldingAFileWins) {
  ScopedEnvironment dirs("XDG_CONFIG_DIRS", Dirs());
  Put(Machine("b"), "[Server]\nWindow=1\n");
  EXPECT_EQ(SettingsPathToRead(User()), U16(Machine("b").string()));
  // A folder named as the file is passed over.
  fs::create_directories(Machine("a"));
  EXPECT_EQ(SettingsPathToRead(User()), U16(Machine("b").string()));
  fs::remove(Machine("a"));
  Put(Machine("a"), "[Server]\nWindow=2\n");
  EXPECT_EQ(SettingsPathToRead(User()), U16(Machine("a").string()));
}

TEST_F(SettingsPathToReadTest, TheUsersOwnFileWinsAndTheCloseWritesIt) {
  ScopedEnvironment dirs("XDG_CONFIG_DIRS", Dirs());
  const std::string preset = "[Server]\nHost=http://10.0.0.5:8080\nWindow=2\n";
  Put(Machine("a"), preset);
  const SettingsValues read = LoadSettingsValues(SettingsPathToRead(User()));
  EXPECT_EQ(read.host, u"http://10.0.0.5:8080");
  EXPECT_EQ(read.window, 2);

  ASSERT_TRUE(MakeFoldersFor(User()));
  SaveSettingsValues(User(), read);
  EXPECT_EQ(SettingsPathToRead(User()), User());
  EXPECT_EQ(LoadSettingsValues(User()).host, u"http://10.0.0.5:8080");
  std::ifstream in(Machine("a"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), preset);
}

}  // namespace
}  // namespace settings
