// The settings file's operations against real files: the exact bytes before and after each
// write, what each read returns, the encodings, and the writes that must be refused. The same
// cases run against the Windows storage (under Wine), except those of Linux's own file system
// (permission bits, the umask, the immutable flag, symbolic links, inode numbers).
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "core/failure.h"
#include "core/text.h"
#include "settings/profile/profile_file.h"
#include "settings/profile/profile_storage.h"
#include "settings/settings_failure.h"
#include "tests/support/row_names.h"
#ifdef _WIN32
#include "settings/profile/profile_storage_win.h"
#endif

namespace {

namespace fs = std::filesystem;

std::string Utf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

std::string Utf16Be(std::u16string_view text) {
  std::string bytes = "\xFE\xFF";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c >> 8));
    bytes.push_back(static_cast<char>(c & 0xFF));
  }
  return bytes;
}

std::u16string U16(std::string_view utf8) {
  return queue::Utf8ToUtf16(utf8);
}

// Sets or clears the immutable flag (chattr +i); false where the file system or the
// process's privileges do not allow it.
bool SetImmutable(const fs::path& path, bool immutable) {
#ifdef _WIN32
  (void)path;
  (void)immutable;
  return false;  // Windows has no such flag
#else
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return false;
  int flags = 0;
  bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (done) {
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return done;
#endif
}

// A new, empty directory of this test's own.
fs::path MakeTemporaryDirectory() {
#ifdef _WIN32
  static int counter = 0;
  for (;;) {
    const fs::path dir =
        fs::temp_directory_path() /
        ("profile-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++));
    if (fs::create_directory(dir)) return dir;
  }
#else
  std::string pattern = (fs::temp_directory_path() / "profile-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
#endif
}

class ProfileFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTemporaryDirectory();
    ASSERT_FALSE(dir_.empty());
    path_ = dir_ / "Operator.ini";
  }
  void TearDown() override {
    for (const fs::path& p : immutable_) SetImmutable(p, false);
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }

  void Store(std::string_view bytes) const { Store(path_, bytes); }
  static void Store(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::optional<std::string> Stored() const {
    std::ifstream in(path_, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  settings::ProfileFile File() const { return settings::ProfileFile(U16(path_.string())); }
  std::u16string RefusalMessage(const fs::path& path) const {
    return u"Unable to write to " + U16(path.string());
  }
  bool MakeImmutable(const fs::path& path) {
    if (!SetImmutable(path, true)) return false;
    immutable_.push_back(path);
    return true;
  }
  std::vector<std::string> DirectoryNames() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }
  // Writes and expects the refusal, with the exact message.
  void ExpectWriteRefused(settings::ProfileFile& file, const fs::path& named) const {
    try {
      file.WriteString(u"Form", u"Top", u"1");
      ADD_FAILURE() << "the write was not refused";
    } catch (const queue::Failure& failure) {
      EXPECT_EQ(failure.kind(), settings::SettingsFailure::kWrite);
      EXPECT_EQ(failure.message(), RefusalMessage(named));
    }
  }

  fs::path dir_;
  fs::path path_;
  std::vector<fs::path> immutable_;
};

// ---- Reading -----------------------------------------------------------------------------

struct ReadCase {
  const char* name;
  std::string file;
  std::u16string section;
  std::u16string key;
  std::u16string expected;  // read with the default "DEFAULT"
};

class ProfileReadTest : public ProfileFileTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileReadTest, ReadsTheValue) {
  Store(GetParam().file);
  EXPECT_EQ(queue::Utf16ToUtf8(File().ReadString(GetParam().section, GetParam().key, u"DEFAULT")),
            queue::Utf16ToUtf8(GetParam().expected));
}

const std::string kLongValue(3000, 'h');

const ReadCase kReadCases[] = {
    {"Exact", "[Form]\r\nTop=5\r\n", u"Form", u"Top", u"5"},
    {"SectionCaseIgnored", "[fORM]\r\nTop=5\r\n", u"Form", u"Top", u"5"},
    {"KeyCaseIgnored", "[Form]\r\nLEFT=7\r\n", u"Form", u"Left", u"7"},
    {"MissingSection", "[Server]\r\nTop=5\r\n", u"Form", u"Top", u"DEFAULT"},
    {"MissingKey", "[Form]\r\nLeft=5\r\n", u"Form", u"Top", u"DEFAULT"},
    {"KeyOfTheNextSection", "[Form]\r\n[Server]\r\nTop=5\r\n", u"Form", u"Top", u"DEFAULT"},
    {"KeyBeforeAnySection", "Top=5\r\n[Form]\r\n", u"Form", u"Top", u"DEFAULT"},
    {"EmptyValueIsNotTheDefault", "[Server]\r\nHost=\r\n", u"Server", u"Host", u""},
    {"BlankValueIsEmpty", "[Server]\r\nHost=   \r\n", u"Server", u"Host", u""},
    {"BlanksAroundEverything", "  [ Form ]  \r\n  Top  =  5 6  \r\n", u"Form", u"Top", u"5 6"},
    {"TabsAreBlanks", "[Form]\r\nTop=\t5\t\r\n", u"Form", u"Top", u"5"},
    {"VerticalTabsAndFormFeedsAreBlanks", "[Server]\r\nWindow= \v2\f\r\n", u"Server", u"Window",
     u"2"},
    {"QuotesStripped", "[Server]\r\nHost=\"  a b  \"\r\n", u"Server", u"Host", u"  a b  "},
    {"QuotesInsideBlanks", "[Server]\r\nHost=  \"a\"  \r\n", u"Server", u"Host", u"a"},
    {"OnlyOnePairStripped", "[Server]\r\nHost=\"\"a\"\"\r\n", u"Server", u"Host", u"\"a\""},
    {"EmptyQuotes", "[Server]\r\nHost=\"\"\r\n", u"Server", u"Host", u""},
    {"LoneQuoteKept", "[Server]\r\nHost=\"a\r\n", u"Server", u"Host", u"\"a"},
    {"SingleQuoteCharacter", "[Server]\r\nHost=\"\r\n", u"Server", u"Host", u"\""},
    {"SingleQuotesStripped", "[Server]\r\nHost=' a '\r\n", u"Server", u"Host", u" a "},
    {"MixedQuotesKept", "[Server]\r\nHost=\"a'\r\n", u"Server", u"Host", u"\"a'"},
    {"EqualsInValue", "[Server]\r\nHost=a=b\r\n", u"Server", u"Host", u"a=b"},
    {"FirstDuplicateWins", "[Form]\r\nTop=1\r\nTOP=2\r\n", u"Form", u"Top", u"1"},
    {"CommentIsNoKey", "[Form]\r\n;Top=1\r\n", u"Form", u"Top", u"DEFAULT"},
    // Only ";" begins a comment.
    {"HashBeginsAKey", "[Form]\r\n#Top=5\r\n", u"Form", u"#Top", u"5"},
    {"LineFeedOnly", "[Form]\nTop=5\nleft=6\n", u"Form", u"Left", u"6"},
    {"CarriageReturnOnly", "[Form]\rTop=1\r", u"Form", u"Top", u"1"},
    {"CarriageReturnEndsTheFile", "[Server]\r\nWindow=2\r", u"Server", u"Window", u"2"},
    // The CR ends the line, and the CR LF after it is an empty line.
    {"CarriageReturnBeforeCrLf", "[Server]\r\nHost=http://h\r\r\n", u"Server", u"Host",
     u"http://h"},
    {"Utf16CarriageReturnOnly", Utf16Le(u"[Form]\rTop=12\r"), u"Form", u"Top", u"12"},
    {"NoFinalLineBreak", "[Form]\r\nTop=5", u"Form", u"Top", u"5"},
    {"Utf8Text", "[Server]\r\nHost=http://сервер\r\n", u"Server", u"Host", u"http://сервер"},
    // A line that is not UTF-8 is Windows-1251: "Сервер" as the clerks' desktops store it.
    {"Windows1251Line", "[Server]\r\nHost=\xD1\xE5\xF0\xE2\xE5\xF0\r\n", u"Server", u"Host",
     u"Сервер"},
    {"Utf8MarkSkipped", "\xEF\xBB\xBF[Form]\r\nTop=1\r\n", u"Form", u"Top", u"1"},
    {"Utf16LittleEndian", Utf16Le(u"[Form]\r\nTop=12\r\n[Server]\r\nHost=адрес\r\n"), u"Server",
     u"Host", u"адрес"},
    {"Utf16BigEndian", Utf16Be(u"[Form]\r\nTop=12\r\n"), u"form", u"top", u"12"},
    {"LongValueCut", "[Server]\r\nHost=" + kLongValue + "\r\n", u"Server", u"Host",
     std::u16string(2047, u'h')},
    {"LongestValueWhole", "[Server]\r\nHost=" + std::string(2047, 'h') + "\r\n", u"Server", u"Host",
     std::u16string(2047, u'h')},
    // The quotes come off before the cut, so 2047 characters of the inside remain.
    {"LongQuotedValueCut", "[Server]\r\nHost=\"" + kLongValue + "\"\r\n", u"Server", u"Host",
     std::u16string(2047, u'h')},
    // The cut never splits a surrogate pair.
    {"CutBeforeSurrogatePair", "[Server]\r\nHost=" + std::string(2046, 'h') + "\xF0\x9F\x98\x80",
     u"Server", u"Host", std::u16string(2046, u'h')},
};

INSTANTIATE_TEST_SUITE_P(Files, ProfileReadTest, testing::ValuesIn(kReadCases),
                         [](const testing::TestParamInfo<ReadCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ProfileFileTest, MissingFileGivesTheDefaults) {
  EXPECT_EQ(File().ReadString(u"Server", u"Host", u"http://localhost"), u"http://localhost");
  EXPECT_EQ(File().ReadInteger(u"Server", u"Window", -1), -1);
  EXPECT_FALSE(Stored().has_value());  // reading creates nothing
}

TEST_F(ProfileFileTest, UnreadablePathGivesTheDefaults) {
  fs::create_directory(path_);
  EXPECT_EQ(File().ReadString(u"Server", u"Host", u"d"), u"d");
  EXPECT_EQ(File().ReadInteger(u"Form", u"Top", 17), 17);
}

TEST_F(ProfileFileTest, IntegersReadWithTheRuleAndTheDefault) {
  Store(
      "[Form]\r\nTop=-3000\r\nLeft=\r\nWidth=0x1A4\r\nHeight=100px\r\n"
      "[Server]\r\nWindow=\"$1a4\"\r\nHost= 1e2 \r\nHeight='12'\r\n");
  const settings::ProfileFile file = File();
  EXPECT_EQ(file.ReadInteger(u"Form", u"Top", 0), -3000);
  EXPECT_EQ(file.ReadInteger(u"Form", u"Left", 9), 9);  // empty value: not an integer
  EXPECT_EQ(file.ReadInteger(u"Form", u"Width", 0), 420);
  EXPECT_EQ(file.ReadInteger(u"Form", u"Height", 112), 112);
  EXPECT_EQ(file.ReadInteger(u"Server", u"Window", -1), 420);  // quotes and hex
  EXPECT_EQ(file.ReadInteger(u"Server", u"Host", 5), 5);
  EXPECT_EQ(file.ReadInteger(u"Server", u"Height", 112), 12);  // single quotes
  EXPECT_EQ(file.ReadInteger(u"Server", u"Missing", -1), -1);
}

// ---- Writing -----------------------------------------------------------------------------

struct WriteCase {
  const char* name;
  std::optional<std::string> before;  // nothing: no file yet
  std::u16string section;
  std::u16string key;
  std::u16string value;
  std::string after;
};

class ProfileWriteTest : public ProfileFileTest, public testing::WithParamInterface<WriteCase> {};

TEST_P(ProfileWriteTest, ChangesOnlyWhatTheWriteNames) {
  if (GetParam().before) Store(*GetParam().before);
  File().WriteString(GetParam().section, GetParam().key, GetParam().value);
  EXPECT_EQ(Stored(), GetParam().after);
}

const std::string kTwoSections =
    "; kept as it is\r\n[Form]\r\nTop=5\r\nleft=1\r\n\r\n[Server]\r\nHost=x\r\n";

// A desk's file that gathered a long section of another program's junk after ours: 2 MB.
const std::string kProgramSections = "[Form]\r\nTop=1\r\n[Server]\r\nHost=x\r\n";
const std::string kLargeJunk = [] {
  std::string junk = "[Junk]\r\n";
  for (int i = 0; junk.size() < 2'000'000; ++i) {
    junk += "entry" + std::to_string(i) + "=" + std::string(40, 'j') + "\r\n";
  }
  return junk;
}();

const WriteCase kWriteCases[] = {
    {"NewFile", std::nullopt, u"Form", u"Top", u"0", "[Form]\r\nTop=0\r\n"},
    {"EmptyFile", "", u"Form", u"Top", u"0", "[Form]\r\nTop=0\r\n"},
    {"ReplaceInPlace", kTwoSections, u"Form", u"Top", u"9",
     "; kept as it is\r\n[Form]\r\nTop=9\r\nleft=1\r\n\r\n[Server]\r\nHost=x\r\n"},
    {"ReplaceIgnoringCaseKeepsSpelling", "[FORM]\r\nLeft=5\r\n", u"Form", u"left", u"7",
     "[FORM]\r\nLeft=7\r\n"},
    {"ReplaceDropsBlanksOfItsLine", "[Form]\r\n  Top = 5  \r\n", u"Form", u"Top", u"6",
     "[Form]\r\nTop=6\r\n"},
    {"ReplaceOnlyTheFirstDuplicate", "[Form]\r\nTop=1\r\nTop=2\r\n", u"Form", u"Top", u"3",
     "[Form]\r\nTop=3\r\nTop=2\r\n"},
    {"ReplaceKeepsItsOwnLineBreak", "[Form]\r\nTop=1\nleft=2\r\n", u"Form", u"Top", u"3",
     "[Form]\r\nTop=3\nleft=2\r\n"},
    {"ReplaceLastLineWithoutBreak", "[Form]\r\nTop=1", u"Form", u"Top", u"3", "[Form]\r\nTop=3"},
    {"ReplaceInCarriageReturnFile", "[Form]\rTop=1\rleft=2\r", u"Form", u"Top", u"3",
     "[Form]\rTop=3\rleft=2\r"},
    {"ReplaceBeforeCrCrLf", "[Server]\r\nHost=http://h\r\r\nWindow=1\r\n", u"Server", u"Host", u"x",
     "[Server]\r\nHost=x\r\r\nWindow=1\r\n"},
    {"ReplaceKeyBeginningWithHash", "[Form]\r\nTop=1\r\n#Top=5\r\n", u"Form", u"#Top", u"6",
     "[Form]\r\nTop=1\r\n#Top=6\r\n"},
    {"AddKeyAfterLastEntryOfSection", kTwoSections, u"Form", u"Width", u"420",
     "; kept as it is\r\n[Form]\r\nTop=5\r\nleft=1\r\nWidth=420\r\n\r\n[Server]\r\nHost=x\r\n"},
    {"AddKeyToEmptySection", "[Form]\r\n[Server]\r\n", u"Form", u"Top", u"1",
     "[Form]\r\nTop=1\r\n[Server]\r\n"},
    {"AddKeyBeforeTrailingComment", "[Form]\r\nTop=1\r\n; next\r\n", u"form", u"Width", u"2",
     "[Form]\r\nTop=1\r\nWidth=2\r\n; next\r\n"},
    {"AddKeyAfterLastLineWithoutBreak", "[Server]\r\nHost=x", u"Server", u"Window", u"-1",
     "[Server]\r\nHost=x\r\nWindow=-1\r\n"},
    // The CR that ends the file is the last line's break; the value before it stays as it read.
    {"AddKeyAfterCarriageReturnAtTheEnd", "[Form]\nTop=2\r", u"Form", u"left", u"19",
     "[Form]\nTop=2\rleft=19\n"},
    {"CarriageReturnFileGetsCarriageReturns", "[Form]\rTop=1\r", u"Form", u"left", u"4",
     "[Form]\rTop=1\rleft=4\r"},
    // A new section follows the file's last line directly: no blank line is added before it.
    {"AddSection", "[Form]\r\nTop=1\r\n", u"Server", u"Host", u"h",
     "[Form]\r\nTop=1\r\n[Server]\r\nHost=h\r\n"},
    {"AddSectionAfterBlankLine", "[Form]\r\nTop=1\r\n\r\n", u"Server", u"Host", u"h",
     "[Form]\r\nTop=1\r\n\r\n[Server]\r\nHost=h\r\n"},
    {"AddSectionAfterLastLineWithoutBreak", "[Form]\r\nTop=1", u"Server", u"Host", u"h",
     "[Form]\r\nTop=1\r\n[Server]\r\nHost=h\r\n"},
    {"LineFeedFileGetsLineFeeds", "[Form]\nTop=1\n", u"Server", u"Host", u"h",
     "[Form]\nTop=1\n[Server]\nHost=h\n"},
    // Far over the old 1 MiB bound: the program's sections are written, the junk kept as it was.
    {"LargeFileReplaceInPlace", kProgramSections + kLargeJunk, u"Server", u"Host", u"h",
     "[Form]\r\nTop=1\r\n[Server]\r\nHost=h\r\n" + kLargeJunk},
    {"LargeFileAddKey", kProgramSections + kLargeJunk, u"Server", u"Window", u"2",
     kProgramSections + "Window=2\r\n" + kLargeJunk},
    {"EmptyValue", "[Server]\r\nHost=x\r\n", u"Server", u"Host", u"", "[Server]\r\nHost=\r\n"},
    {"TextAsUtf8", std::nullopt, u"Server", u"Host", u"http://сервер",
     "[Server]\r\nHost=http://сервер\r\n"},
    // A value cannot smuggle lines (or sections) into the file.
    {"LineBreaksInValueBecomeBlanks", std::nullopt, u"Server", u"Host", u"a\r\n[Form]\nTop=1",
     "[Server]\r\nHost=a  [Form] Top=1\r\n"},
    {"Windows1251LineKeptByteForByte", "[Server]\r\nName=\xD1\xE5\r\nHost=a\r\n", u"Server",
     u"Host", u"b", "[Server]\r\nName=\xD1\xE5\r\nHost=b\r\n"},
    {"Utf8MarkKept", "\xEF\xBB\xBF[Form]\r\nTop=1\r\n", u"Form", u"Top", u"2",
     "\xEF\xBB\xBF[Form]\r\nTop=2\r\n"},
    {"Utf16ReplaceInPlace", Utf16Le(u"[Form]\r\nTop=1\r\n;ж\r\n"), u"Form", u"Top", u"-30",
     Utf16Le(u"[Form]\r\nTop=-30\r\n;ж\r\n")},
    {"Utf16AddSection", Utf16Le(u"[Form]\r\nTop=1\r\n"), u"Server", u"Host", u"адрес",
     Utf16Le(u"[Form]\r\nTop=1\r\n[Server]\r\nHost=адрес\r\n")},
    {"Utf16ReplaceInCarriageReturnFile", Utf16Be(u"[Form]\rTop=1\rleft=2"), u"Form", u"Top", u"3",
     Utf16Be(u"[Form]\rTop=3\rleft=2")},
    {"Utf16BigEndianAddKey", Utf16Be(u"[Form]\r\nTop=1\r\n"), u"Form", u"left", u"4",
     Utf16Be(u"[Form]\r\nTop=1\r\nleft=4\r\n")},
    // A cut UTF-16 file ends in half a code unit; the lines added after it stay aligned.
    {"Utf16CutFileAddSection", Utf16Le(u"[Form]\r\nTop=1") + "\x41", u"Server", u"Host", u"h",
     Utf16Le(u"[Form]\r\nTop=1\r\n[Server]\r\nHost=h\r\n")},
    // U+0A0D holds the byte 0x0A, but no line feed; the line stays one line.
    {"Utf16LineFeedIsAWholeCodeUnit", Utf16Le(u"[Form]\r\nTop=\u0A0D\r\n"), u"Form", u"Top", u"2",
     Utf16Le(u"[Form]\r\nTop=2\r\n")},
};

INSTANTIATE_TEST_SUITE_P(Files, ProfileWriteTest, testing::ValuesIn(kWriteCases),
                         [](const testing::TestParamInfo<WriteCase>& info) {
                           return std::string(info.param.name);
                         });

// The save writes the six entries one by one; the file it creates holds them in that order,
// under their two headers, and nothing else.
TEST_F(ProfileFileTest, NewFileHoldsTheEntriesInWriteOrder) {
  settings::ProfileFile file = File();
  file.WriteInteger(u"Form", u"Top", 0);
  file.WriteInteger(u"Form", u"left", -8);
  file.WriteInteger(u"Form", u"Width", 420);
  file.WriteInteger(u"Form", u"Height", 112);
  file.WriteString(u"Server", u"Host", u"http://localhost");
  file.WriteInteger(u"Server", u"Window", -1);
  file.Flush();
  EXPECT_EQ(Stored(),
            "[Form]\r\nTop=0\r\nleft=-8\r\nWidth=420\r\nHeight=112\r\n"
            "[Server]\r\nHost=http://localhost\r\nWindow=-1\r\n");
  EXPECT_EQ(file.ReadInteger(u"Form", u"Left", 0), -8);
}

TEST_F(ProfileFileTest, ReadsBackWhatItWrote) {
  const std::u16string values[] = {u"http://очередь.example:8080/путь", std::u16string(2047, u'я'),
                                   u"\U0001F600 smile", u"a=b;c", u"[not a section]"};
  settings::ProfileFile file = File();
  for (const std::u16string& value : values) {
    file.WriteString(u"Server", u"Host", value);
    EXPECT_EQ(file.ReadString(u"Server", u"Host", u"d"), value);
  }
  // Writing the same key again leaves one entry.
  EXPECT_EQ(Stored(), "[Server]\r\nHost=[not a section]\r\n");
}

struct RejectedNameCase {
  const char* name;
  std::u16string section;
  std::u16string key;
};
QUEUE_PRINT_ROWS_BY(RejectedNameCase, name)

class ProfileRejectedNameTest : public ProfileFileTest,
                                public testing::WithParamInterface<RejectedNameCase> {};

TEST_P(ProfileRejectedNameTest, WouldReadBackAsSomethingElse) {
  settings::ProfileFile file = File();
  EXPECT_THROW(file.WriteString(GetParam().section, GetParam().key, u"1"), queue::Failure);
  EXPECT_FALSE(Stored().has_value());
}

INSTANTIATE_TEST_SUITE_P(Names, ProfileRejectedNameTest,
                         testing::Values(RejectedNameCase{"BracketInSection", u"Fo]rm", u"Top"},
                                         RejectedNameCase{"EqualsInKey", u"Form", u"To=p"},
                                         RejectedNameCase{"KeyOpeningASection", u"Form", u"[Top"},
                                         RejectedNameCase{"KeyOpeningAComment", u"Form", u";Top"},
                                         RejectedNameCase{"EmptySection", u"", u"Top"},
                                         RejectedNameCase{"KeyWithLeadingBlank", u"Form", u" Top"}),
                         [](const testing::TestParamInfo<RejectedNameCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- The replacement on disk ---------------------------------------------------------------

#ifndef _WIN32
TEST_F(ProfileFileTest, WriteReplacesTheFileInOneStep) {
  Store("[Form]\r\nTop=1\r\n");
  // A reader that opened the old file keeps seeing it whole; the new contents arrive as a
  // new file renamed over the old one, never as a half-rewritten old one.
  std::ifstream old_reader(path_, std::ios::binary);
  struct stat before {};
  ASSERT_EQ(::stat(path_.c_str(), &before), 0);
  File().WriteInteger(u"Form", u"Top", 2);
  struct stat after {};
  ASSERT_EQ(::stat(path_.c_str(), &after), 0);
  EXPECT_NE(before.st_ino, after.st_ino);
  std::ostringstream old_contents;
  old_contents << old_reader.rdbuf();
  EXPECT_EQ(old_contents.str(), "[Form]\r\nTop=1\r\n");
  EXPECT_EQ(Stored(), "[Form]\r\nTop=2\r\n");
  EXPECT_EQ(DirectoryNames(), std::vector<std::string>{"Operator.ini"});  // no temporary left
}

TEST_F(ProfileFileTest, KeepsThePermissionsOfTheOldFile) {
  Store("[Form]\r\nTop=1\r\n");
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  File().WriteInteger(u"Form", u"Top", 2);
  EXPECT_EQ(fs::status(path_).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ProfileFileTest, NewFileGetsTheUmaskPermissions) {
  const mode_t old_mask = ::umask(027);
  File().WriteInteger(u"Form", u"Top", 2);
  ::umask(old_mask);
  EXPECT_EQ(fs::status(path_).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ProfileFileTest, SymbolicLinkStaysALink) {
  const fs::path target = dir_ / "real.ini";
  Store(target, "[Form]\r\nTop=1\r\n");
  fs::create_symlink(target, path_);
  File().WriteInteger(u"Form", u"Top", 2);
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_EQ(Stored(), "[Form]\r\nTop=2\r\n");
}

#else
// The replacement keeps the old file's attributes (and its security descriptor, which Wine
// does not keep).
TEST_F(ProfileFileTest, KeepsTheAttributesOfTheOldFile) {
  Store("[Form]\r\nTop=1\r\n");
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
  ASSERT_TRUE(SetFileAttributesW(path_.wstring().c_str(), kKept));
  File().WriteInteger(u"Form", u"Top", 2);
  EXPECT_EQ(GetFileAttributesW(path_.wstring().c_str()) & kKept, kKept);
  EXPECT_EQ(Stored(), "[Form]\r\nTop=2\r\n");
  EXPECT_EQ(DirectoryNames(), std::vector<std::string>{"Operator.ini"});  // no temporary left
}

TEST_F(ProfileFileTest, RefusesAReadOnlyFileAndLeavesItAsItWas) {
  Store("[Form]\r\nTop=1\r\n");
  ASSERT_TRUE(SetFileAttributesW(path_.wstring().c_str(), FILE_ATTRIBUTE_READONLY));
  settings::ProfileFile file = File();
  ExpectWriteRefused(file, path_);
  EXPECT_EQ(Stored(), "[Form]\r\nTop=1\r\n");
  EXPECT_EQ(DirectoryNames(), std::vector<std::string>{"Operator.ini"});
  // Once writable again, the same file object writes.
  ASSERT_TRUE(SetFileAttributesW(path_.wstring().c_str(), FILE_ATTRIBUTE_NORMAL));
  file.WriteInteger(u"Form", u"Top", 2);
  EXPECT_EQ(Stored(), "[Form]\r\nTop=2\r\n");
}

// A virus scanner that holds the file open, sharing its reading and writing but not its
// renaming: ReplaceFileW is refused, and the old file stays whole with nothing beside it.
TEST_F(ProfileFileTest, FileHeldOpenIsRefusedAndKeptWhole) {
  Store("[Form]\r\nTop=1\r\n");
  HANDLE held =
      CreateFileW(path_.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  settings::ProfileFile file = File();
  ExpectWriteRefused(file, path_);
  CloseHandle(held);
  EXPECT_EQ(Stored(), "[Form]\r\nTop=1\r\n");
  EXPECT_EQ(DirectoryNames(), std::vector<std::string>{"Operator.ini"});
  file.WriteInteger(u"Form", u"Top", 2);
  EXPECT_EQ(Stored(), "[Form]\r\nTop=2\r\n");
}

// The Win32 steps on real files, some of them made to fail: ReplaceFileW's partial outcomes
// are made as its documentation describes them, and the real renames and deletions mend them.
class FaultyWin32Steps final : public settings::ReplacementSteps {
 public:
  enum class Replaced { kReally, kNamesKept, kOldUnderBackup };
  Replaced replaced = Replaced::kReally;
  bool deny_temporary = false;
  bool refuse_temporary_move = false;

  Target InspectTarget(const std::u16string& target) override {
    return real_->InspectTarget(target);
  }
  bool Exists(const std::u16string& path) override { return real_->Exists(path); }
  Created CreateTemporary(const std::u16string& path) override {
    return deny_temporary ? Created::kDenied : real_->CreateTemporary(path);
  }
  bool WriteTemporary(std::string_view bytes) override { return real_->WriteTemporary(bytes); }
  bool FlushTemporary() override { return real_->FlushTemporary(); }
  std::uint32_t Replace(const std::u16string& target, const std::u16string& replacement,
                        const std::u16string& backup) override {
    switch (replaced) {
      case Replaced::kNamesKept:
        return settings::kReplaceUnableToMoveReplacement;
      case Replaced::kOldUnderBackup:
        if (!MoveFileW(std::wstring(target.begin(), target.end()).c_str(),
                       std::wstring(backup.begin(), backup.end()).c_str())) {
          return ERROR_GEN_FAILURE;
        }
        return settings::kReplaceUnableToMoveReplacement2;
      default:
        return real_->Replace(target, replacement, backup);
    }
  }
  bool Move(const std::u16string& from, const std::u16string& to) override {
    if (refuse_temporary_move && from.find(u".tmp") != std::u16string::npos) return false;
    return real_->Move(from, to);
  }
  bool Delete(const std::u16string& path) override { return real_->Delete(path); }
  bool OverwriteInPlace(const std::u16string& target, std::string_view bytes) override {
    return real_->OverwriteInPlace(target, bytes);
  }

 private:
  std::unique_ptr<settings::ReplacementSteps> real_ = settings::MakeWin32ReplacementSteps();
};

struct RecoveryCase {
  const char* name;
  FaultyWin32Steps::Replaced replaced;
  bool refuse_temporary_move;
  bool written;  // what the replacement returns
  const char* after;
};
QUEUE_PRINT_ROWS_BY(RecoveryCase, name)

class Win32RecoveryTest : public ProfileFileTest,
                          public testing::WithParamInterface<RecoveryCase> {};

TEST_P(Win32RecoveryTest, LeavesOneWholeFile) {
  Store("[Form]\r\nTop=1\r\n");
  FaultyWin32Steps steps;
  steps.replaced = GetParam().replaced;
  steps.refuse_temporary_move = GetParam().refuse_temporary_move;
  EXPECT_EQ(settings::ReplaceThroughSteps(steps, U16(path_.string()), "[Form]\r\nTop=2\r\n", u"1"),
            GetParam().written);
  EXPECT_EQ(Stored(), GetParam().after);
  EXPECT_EQ(DirectoryNames(), std::vector<std::string>{"Operator.ini"});
}

using Replaced = FaultyWin32Steps::Replaced;
INSTANTIATE_TEST_SUITE_P(
    Outcomes, Win32RecoveryTest,
    testing::Values(RecoveryCase{"Replaced", Replaced::kReally, false, true, "[Form]\r\nTop=2\r\n"},
                    RecoveryCase{"NamesKept", Replaced::kNamesKept, false, false,
                                 "[Form]\r\nTop=1\r\n"},
                    RecoveryCase{"OldUnderBackup", Replaced::kOldUnderBackup, false, true,
                                 "[Form]\r\nTop=2\r\n"},
                    RecoveryCase{"OldUnderBackupTemporaryStuck", Replaced::kOldUnderBackup, true,
                                 false, "[Form]\r\nTop=1\r\n"}),
    [](const testing::TestParamInfo<RecoveryCase>& info) { return std::string(info.param.name); });

// The directory takes no new file: the file is rewritten in place, shorter, longer and empty,
// byte for byte, keeping its identity and its attributes, with nothing left beside it.
TEST_F(ProfileFileTest, DeniedDirectoryRewritesTheFileInPlace) {
  Store("[Form]\r\nTop=1\r\n[Server]\r\nHost=http://localhost\r\n");
  ASSERT_TRUE(SetFileAttributesW(path_.wstring().c_str(), FILE_ATTRIBUTE_HIDDEN));
  auto file_index = [this] {
    HANDLE handle = CreateFileW(path_.wstring().c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool got = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    return got ? (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow : 0;
  };
  const std::uint64_t index = file_index();
  ASSERT_NE(index, 0u);
  for (const std::string& bytes :
       {std::string("[Form]\r\nTop=2\r\n"), "[Form]\r\nTop=3\r\n" + kLargeJunk, std::string()}) {
    FaultyWin32Steps steps;
    steps.deny_temporary = true;
    EXPECT_TRUE(settings::ReplaceThroughSteps(steps, U16(path_.string()), bytes, u"1"));
    EXPECT_EQ(Stored(), bytes);
    EXPECT_EQ(file_index(), index);
    EXPECT_EQ(GetFileAttributesW(path_.wstring().c_str()) & FILE_ATTRIBUTE_HIDDEN,
              DWORD{FILE_ATTRIBUTE_HIDDEN});
    EXPECT_EQ(DirectoryNames(), std::vector<std::string>{"Operator.ini"});
  }
}
#endif

TEST_F(ProfileFileTest, RelativePathIsNamedInFullWhenRefused) {
  const fs::path old_current = fs::current_path();
  fs::current_path(dir_);
  fs::create_directory(path_);
  settings::ProfileFile file(u"Operator.ini");
  EXPECT_EQ(file.path(), U16(path_.string()));
  ExpectWriteRefused(file, path_);
  fs::current_path(old_current);
}

TEST_F(ProfileFileTest, RefusesAPathThatIsADirectory) {
  fs::create_directory(path_);
  settings::ProfileFile file = File();
  ExpectWriteRefused(file, path_);
  EXPECT_TRUE(fs::is_directory(path_));
}

TEST_F(ProfileFileTest, RefusesAMissingDirectory) {
  const fs::path inside = dir_ / "missing" / "Operator.ini";
  settings::ProfileFile file(U16(inside.string()));
  ExpectWriteRefused(file, inside);
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

#ifndef _WIN32
TEST_F(ProfileFileTest, RefusesAnImmutableFileAndLeavesItAsItWas) {
  Store("[Form]\r\nTop=1\r\n");
  if (!MakeImmutable(path_)) GTEST_SKIP() << "cannot set the immutable flag here";
  settings::ProfileFile file = File();
  ExpectWriteRefused(file, path_);
  EXPECT_EQ(Stored(), "[Form]\r\nTop=1\r\n");
  EXPECT_EQ(DirectoryNames(), std::vector<std::string>{"Operator.ini"});
  // Once writable again, the same file object writes.
  SetImmutable(path_, false);
  file.WriteInteger(u"Form", u"Top", 2);
  EXPECT_EQ(Stored(), "[Form]\r\nTop=2\r\n");
}

TEST_F(ProfileFileTest, RefusesAFileInAnImmutableDirectory) {
  if (!MakeImmutable(dir_)) GTEST_SKIP() << "cannot set the immutable flag here";
  settings::ProfileFile file = File();
  ExpectWriteRefused(file, path_);
  EXPECT_TRUE(DirectoryNames().empty());
}

// Without root the permission bits decide; root passes them, so the immutable cases above
// stand in for these.
TEST_F(ProfileFileTest, RefusesAReadOnlyFileOrDirectory) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write read-only files";
  Store("[Form]\r\nTop=1\r\n");
  fs::permissions(path_, fs::perms::owner_read);
  settings::ProfileFile file = File();
  ExpectWriteRefused(file, path_);
  EXPECT_EQ(Stored(), "[Form]\r\nTop=1\r\n");
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  ExpectWriteRefused(file, path_);
  EXPECT_EQ(Stored(), "[Form]\r\nTop=1\r\n");
}
#endif

TEST_F(ProfileFileTest, RefusesAFileTooLargeToRead) {
  Store("[Form]\r\nTop=1\r\n; " + std::string(settings::kMaxProfileFileBytes, 'x') + "\r\n");
  settings::ProfileFile file = File();
  EXPECT_EQ(file.ReadInteger(u"Form", u"Top", 7), 7);
  ExpectWriteRefused(file, path_);
}

}  // namespace
