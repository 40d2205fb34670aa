// The settings file under hostile conditions, one test per threat (the comment above each
// names it): a full file system, two copies of the program saving over one file, and a file
// cut in the middle of a UTF-16 code unit. The file must never be lost, torn or left with
// values that read back as something else. The refusals of read-only and immutable files are
// in profile_file_test.
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/failure.h"
#include "core/text.h"
#include "settings/profile/profile_file.h"
#include "settings/profile/profile_storage.h"
#include "settings/settings_failure.h"
#include "tests/support/row_names.h"

namespace settings {
namespace {

namespace fs = std::filesystem;

// The six entries a save writes, in its order, with one copy's values.
struct SavedValues {
  std::array<std::int32_t, 4> form;  // Top, Left, Width, Height
  std::u16string host;
  std::int32_t window;
};

constexpr std::array<std::u16string_view, 4> kFormKeys = {u"Top", u"Left", u"Width", u"Height"};

void Save(ProfileFile& file, const SavedValues& values) {
  for (std::size_t i = 0; i < kFormKeys.size(); ++i) {
    file.WriteInteger(u"Form", kFormKeys[i], values.form[i]);
  }
  file.WriteString(u"Server", u"Host", values.host);
  file.WriteInteger(u"Server", u"Window", values.window);
  file.Flush();
}

// Whether the file holds all six entries, each with the value of `a` or of `b`; with
// `exactly`, all six of that copy.
bool HoldsValuesOf(const ProfileFile& file, const SavedValues& a, const SavedValues& b,
                   const SavedValues* exactly = nullptr) {
  auto one_of = [&](std::int32_t read, std::int32_t x, std::int32_t y, std::int32_t want) {
    return exactly ? read == want : (read == x || read == y);
  };
  for (std::size_t i = 0; i < kFormKeys.size(); ++i) {
    const std::int32_t read = file.ReadInteger(u"Form", kFormKeys[i], -1);
    if (!one_of(read, a.form[i], b.form[i], exactly ? exactly->form[i] : 0)) return false;
  }
  const std::u16string host = file.ReadString(u"Server", u"Host", u"missing");
  if (exactly ? host != exactly->host : (host != a.host && host != b.host)) return false;
  return one_of(file.ReadInteger(u"Server", u"Window", -1), a.window, b.window,
                exactly ? exactly->window : 0);
}

// Runs `body` in a child process (a second copy of the program) and returns its pid.
template <typename Body>
pid_t InChild(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    int status = 0;
    try {
      body();
    } catch (...) {
      status = 1;
    }
    ::_exit(status);
  }
  return pid;
}

bool ChildSucceeded(pid_t pid) {
  int status = 0;
  return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class FaultSettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("fault_settings." + std::to_string(::getpid()) + "." +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  fs::path dir_;
  bool mounted_ = false;
  const SavedValues first_{{10, 20, 800, 600}, u"http://first.local", 2};
  const SavedValues second_{{30, 40, 1024, 768}, u"https://second.local:8443", 5};
};

// A settings file on a file system with no room left: the save is refused with the message
// that names the file, and the file keeps its old contents whole (the new contents never
// replace it half-written).
TEST_F(FaultSettingsFile, FullFileSystemRefusesTheWriteAndKeepsTheFile) {
  if (::mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno) << "); needs root";
  }
  mounted_ = true;
  const fs::path path = dir_ / "Operator.ini";
  ProfileFile file(path.u16string());
  Save(file, first_);
  const std::string before = Contents(path);
  {
    // Fill every block that is left.
    std::ofstream filler(dir_ / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), block.size()) && filler.flush()) {
    }
  }
  try {
    file.WriteString(u"Server", u"Host", std::u16string(8192, u'h'));
    FAIL() << "the write to a full file system succeeded";
  } catch (const queue::Failure& failure) {
    EXPECT_EQ(failure.kind(), settings::SettingsFailure::kWrite);
    EXPECT_EQ(queue::Utf16ToUtf8(failure.message()), "Unable to write to " + path.string());
  }
  EXPECT_EQ(Contents(path), before);
  EXPECT_TRUE(HoldsValuesOf(file, first_, first_, &first_));
}

// Two copies of the program closed one after the other, each saving its window over the same
// file: the copy closed last has its values in the file, all six of them.
TEST_F(FaultSettingsFile, LastOfTwoCopiesToCloseWins) {
  const std::u16string path = (dir_ / "Operator.ini").u16string();
  ASSERT_TRUE(ChildSucceeded(InChild([&] {
    ProfileFile file(path);
    Save(file, first_);
  })));
  ASSERT_TRUE(ChildSucceeded(InChild([&] {
    ProfileFile file(path);
    Save(file, second_);
  })));
  const ProfileFile file(path);
  EXPECT_TRUE(HoldsValuesOf(file, first_, second_, &second_));
}

// Two copies saving at the same moment, again and again, while a third reads: every read
// finds a whole file (all six entries, each from one copy or the other), never a torn one.
TEST_F(FaultSettingsFile, CopiesSavingAtOnceNeverTearTheFile) {
  const std::u16string path = (dir_ / "Operator.ini").u16string();
  {
    ProfileFile file(path);
    Save(file, first_);
  }
  constexpr int kSaves = 100;
  const pid_t a = InChild([&] {
    ProfileFile file(path);
    for (int i = 0; i < kSaves; ++i) Save(file, first_);
  });
  const pid_t b = InChild([&] {
    ProfileFile file(path);
    for (int i = 0; i < kSaves; ++i) Save(file, second_);
  });
  const ProfileFile reader(path);
  int torn = 0;
  int reads = 0;
  // Read until both writers are done.
  for (int status = 0; ::waitpid(a, &status, WNOHANG) == 0 || ::waitpid(b, &status, WNOHANG) == 0;
       ++reads) {
    if (!HoldsValuesOf(reader, first_, second_)) ++torn;
  }
  EXPECT_EQ(torn, 0) << "of " << reads << " reads";
  EXPECT_TRUE(HoldsValuesOf(reader, first_, second_));
}

// A UTF-16 file cut in the middle of its last code unit: a new entry still reads back as
// written, and every entry before it too (the half unit must not shift the lines after it).
struct ByteOrderCase {
  const char* name;
  bool big_endian;
};
QUEUE_PRINT_ROWS_BY(ByteOrderCase, name)

class CutUtf16File : public FaultSettingsFile,
                     public ::testing::WithParamInterface<ByteOrderCase> {};

TEST_P(CutUtf16File, TakesNewEntries) {
  const bool big_endian = GetParam().big_endian;
  const fs::path path = dir_ / "Operator.ini";
  const std::u16string text = u"[Form]\r\nTop=6";
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  }
  bytes += '7';  // half of one more unit
  std::ofstream(path, std::ios::binary) << bytes;
  ProfileFile file(path.u16string());
  file.WriteString(u"Server", u"Host", u"http://localhost");
  file.WriteString(u"Form", u"Left", u"12");
  EXPECT_EQ(file.ReadString(u"Server", u"Host", u"missing"), u"http://localhost");
  EXPECT_EQ(file.ReadString(u"Form", u"Left", u"missing"), u"12");
  EXPECT_EQ(file.ReadString(u"Form", u"Top", u"missing"), u"6") << "big-endian " << big_endian;
}

INSTANTIATE_TEST_SUITE_P(ByteOrders, CutUtf16File,
                         ::testing::Values(ByteOrderCase{"LittleEndian", false},
                                           ByteOrderCase{"BigEndian", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A file whose last line ends in a bare CR (a line break cut in half): the CR is that line's
// break, so its value reads without it, and a key added after it leaves the value as it read.
TEST_F(FaultSettingsFile, BareCrAtTheEndStaysALineBreak) {
  const fs::path path = dir_ / "Operator.ini";
  std::ofstream(path, std::ios::binary) << "[Form]\nTop=2\r";
  ProfileFile file(path.u16string());
  EXPECT_EQ(file.ReadString(u"Form", u"Top", u"missing"), u"2");
  file.WriteString(u"Form", u"Left", u"19");
  EXPECT_EQ(file.ReadString(u"Form", u"Top", u"missing"), u"2");
  EXPECT_EQ(file.ReadString(u"Form", u"Left", u"missing"), u"19");
}

}  // namespace
}  // namespace settings
