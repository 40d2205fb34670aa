// A desk's preset as the installers hand it to desk-preset: which values pass and which stop the
// install (and then write nothing), the entries written as the program stores them, and a desk's
// own settings file never touched. Runs on Linux and, against the Windows storage, under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/failure.h"
#include "core/text.h"
#include "settings/desk_preset.h"
#include "settings/settings_values.h"
#include "tests/support/row_names.h"
#include "tools/desk-preset/desk_preset_tool.h"

namespace {

namespace fs = std::filesystem;

std::u16string U16(std::string_view utf8) {
  return queue::Utf8ToUtf16(utf8);
}

struct CheckCase {
  const char* server;  // null: not given
  const char* window;
  std::optional<std::string> host;  // what is stored; nullopt: the value is refused
  std::optional<std::int32_t> stored_window;
};
QUEUE_PRINT_ROWS_BY(CheckCase, server)

constexpr std::int32_t kNone = -100;  // a row's window that is not written

const CheckCase kCheckCases[] = {
    {"http://10.0.0.5:8080", "3", "http://10.0.0.5:8080", 2},
    {"https://queue.example", "1", "https://queue.example", 0},
    {"HTTPS://Queue.Example/path", "7", "HTTPS://Queue.Example/path", 6},
    {"http://сервер.рф", nullptr, "http://сервер.рф", kNone},
    {nullptr, "4", std::nullopt, 3},
    {"", "", std::nullopt, kNone},  // empty: not given
    // Refused: the window outside 1..7 or not a plain number.
    {"http://q", "0", std::nullopt, std::nullopt},
    {"http://q", "8", std::nullopt, std::nullopt},
    {"http://q", "-1", std::nullopt, std::nullopt},
    {"http://q", "03", std::nullopt, std::nullopt},
    {"http://q", " 3", std::nullopt, std::nullopt},
    {"http://q", "3a", std::nullopt, std::nullopt},
    {"http://q", "٣", std::nullopt, std::nullopt},
    // Refused: no http:// or https://, nothing after it, a blank or a line break in it.
    {"10.0.0.5:8080", "3", std::nullopt, std::nullopt},
    {"ftp://q", "3", std::nullopt, std::nullopt},
    {"http:/q", "3", std::nullopt, std::nullopt},
    {"http://", "3", std::nullopt, std::nullopt},
    {"https://", nullptr, std::nullopt, std::nullopt},
    {"http://q w", "3", std::nullopt, std::nullopt},
    {"http://q\r\n[Form]", "3", std::nullopt, std::nullopt},
};

// A folder of this test's own below the test's temporary folder, empty at the start.
class DeskPresetTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("desk-preset-") + info->test_suite_name() + "-" + info->name();
    for (char& c : name) {
      if (c == '/') c = '-';
    }
    dir_ = fs::path(testing::TempDir()) / name;
    fs::remove_all(dir_);
    ASSERT_TRUE(fs::create_directories(dir_));
    ini_ = dir_ / "Operator.ini";
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::u16string Ini() const { return U16(ini_.string()); }
  std::optional<std::string> Stored() const {
    std::ifstream in(ini_, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  // The file's lines without their line breaks.
  std::vector<std::string> StoredLines() const {
    std::vector<std::string> lines;
    std::istringstream in(Stored().value_or(""));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }
  int Run(std::vector<std::u16string> arguments) {
    output_.clear();
    return tools::RunDeskPresetTool(arguments, output_);
  }

  fs::path dir_;
  fs::path ini_;
  std::string output_;
};

class DeskPresetValues : public DeskPresetTest, public testing::WithParamInterface<CheckCase> {};

// Each row through the tool as an installer runs it: the check alone, then the write.
TEST_P(DeskPresetValues, ChecksThenWritesAsTheProgramStores) {
  const CheckCase& row = GetParam();
  std::vector<std::u16string> values;
  if (row.server) values.insert(values.end(), {u"--server", U16(row.server)});
  if (row.window) values.insert(values.end(), {u"--window", U16(row.window)});
  const bool valid = row.stored_window.has_value();

  std::vector<std::u16string> check = values;
  check.push_back(u"--check");
  EXPECT_EQ(Run(check), valid ? tools::kPresetDone : tools::kPresetInvalid) << output_;

  std::vector<std::u16string> write = values;
  write.push_back(Ini());
  EXPECT_EQ(Run(write), valid ? tools::kPresetDone : tools::kPresetInvalid) << output_;
  if (!valid) {
    EXPECT_NE(output_.find(" must "), std::string::npos) << output_;
    EXPECT_FALSE(fs::exists(ini_)) << "a refused preset wrote the file";
    return;
  }
  std::vector<std::string> expected;
  if (row.host || *row.stored_window != kNone) expected.push_back("[Server]");
  if (row.host) expected.push_back("Host=" + *row.host);
  if (*row.stored_window != kNone) {
    expected.push_back("Window=" + std::to_string(*row.stored_window));
  }
  if (expected.empty()) {
    EXPECT_FALSE(fs::exists(ini_)) << "an empty preset wrote the file";
    return;
  }
  EXPECT_EQ(StoredLines(), expected);
  // The program reads back what the installer meant.
  const settings::SettingsValues values_read = settings::LoadSettingsValues(Ini());
  EXPECT_EQ(values_read.host, row.host ? U16(*row.host) : std::u16string(settings::kDefaultHost));
  EXPECT_EQ(values_read.window,
            *row.stored_window == kNone ? settings::kNoWindowSelected : *row.stored_window);
}

INSTANTIATE_TEST_SUITE_P(Rows, DeskPresetValues, testing::ValuesIn(kCheckCases),
                         [](const testing::TestParamInfo<CheckCase>& info) {
                           return test_rows::RowNameFromText(
                               std::string(info.param.server ? info.param.server : "none") + "_" +
                                   (info.param.window ? info.param.window : "none"),
                               info.index);
                         });

// The message names the bad value and says what it should be.
TEST(CheckDeskPreset, NamesTheBadValue) {
  try {
    settings::CheckDeskPreset(u"http://q", u"9");
    ADD_FAILURE() << "window 9 passed";
  } catch (const queue::Failure& failure) {
    EXPECT_EQ(failure.kind(), settings::DeskPresetFailure::kInvalid);
    EXPECT_EQ(failure.message(), u"The window number must be 1 to 7, not \"9\"");
  }
  try {
    settings::CheckDeskPreset(u"10.0.0.5", std::nullopt);
    ADD_FAILURE() << "an address without a scheme passed";
  } catch (const queue::Failure& failure) {
    EXPECT_EQ(failure.message(),
              u"The server address must begin with http:// or https:// and name the server, "
              u"not \"10.0.0.5\"");
  }
}

// A clerk's file is the clerk's: a preset never changes it, byte for byte, whatever it holds.
TEST_F(DeskPresetTest, LeavesAnExistingFileAsItIs) {
  for (const std::string bytes :
       {"[Server]\r\nHost=http://old\r\nWindow=5\r\n", "[Form]\r\nTop=10\r\n", ""}) {
    std::ofstream(ini_, std::ios::binary) << bytes;
    EXPECT_EQ(Run({u"--server", u"http://new", u"--window", u"2", Ini()}), tools::kPresetDone);
    EXPECT_NE(output_.find("left as they are"), std::string::npos) << output_;
    EXPECT_EQ(Stored(), bytes);
  }
}

// A folder where the file belongs is no file to write: left, not replaced.
TEST_F(DeskPresetTest, LeavesAFolderInTheWay) {
  fs::create_directory(ini_);
  EXPECT_FALSE(
      settings::WriteDeskPresetIfMissing(Ini(), settings::CheckDeskPreset(u"http://q", u"1")));
  EXPECT_TRUE(fs::is_directory(ini_));
}

// A folder that does not exist refuses the write, with the program's own message.
TEST_F(DeskPresetTest, AMissingFolderRefusesTheWrite) {
  const std::u16string ini = U16((dir_ / "missing" / "Operator.ini").string());
  EXPECT_EQ(Run({u"--window", u"1", ini}), tools::kPresetWriteFailed);
  EXPECT_NE(output_.find("Unable to write to "), std::string::npos) << output_;
}

TEST_F(DeskPresetTest, RefusesACommandLineOutsideTheUsage) {
  const std::vector<std::vector<std::u16string>> lines = {
      {},                                             // no file and no --check
      {u"--window"},                                  // a value missing
      {u"--window", u"1", u"--window", u"2", Ini()},  // twice
      {u"--color", u"red", Ini()},                    // unknown
      {Ini(), Ini()},                                 // two files
  };
  for (const auto& line : lines) {
    EXPECT_EQ(Run(line), tools::kPresetInvalid);
    EXPECT_NE(output_.find("usage: desk-preset"), std::string::npos) << output_;
  }
  EXPECT_FALSE(fs::exists(ini_));
}

}  // namespace
