// Where the settings file lies: the executable's path with its extension replaced by ".ini".
#include <gtest/gtest.h>

#include "settings/profile/profile_path.h"
#include "tests/support/row_names.h"

namespace {

struct PathCase {
  std::u16string executable;
  std::u16string expected;
};
QUEUE_PRINT_ROWS_BY(PathCase, executable)

const PathCase kPathCases[] = {
    {u"/opt/queue/operator", u"/opt/queue/operator.ini"},
    {u"/opt/queue/operator.bin", u"/opt/queue/operator.ini"},
    {u"/opt/queue/operator.v2.bin", u"/opt/queue/operator.v2.ini"},
    // A dot in a directory name is no extension of the file.
    {u"/opt/queue.d/operator", u"/opt/queue.d/operator.ini"},
    {u"C:\\Queue\\Operator.exe", u"C:\\Queue\\Operator.ini"},
    {u"C:\\Queue.1\\Operator", u"C:\\Queue.1\\Operator.ini"},
    // A dot before a drive colon is not in the file name either.
    {u"a.b:Operator", u"a.b:Operator.ini"},
    // The extension begins at the last dot, even when it opens the name.
    {u"/opt/queue/.operator", u"/opt/queue/.ini"},
    {u"/opt/queue/operator.", u"/opt/queue/operator.ini"},
};

class SettingsPathForExecutable : public testing::TestWithParam<PathCase> {};

TEST_P(SettingsPathForExecutable, ReplacesTheExtensionOfTheFileName) {
  EXPECT_EQ(settings::SettingsPathForExecutable(GetParam().executable), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Executables, SettingsPathForExecutable, testing::ValuesIn(kPathCases),
                         [](const testing::TestParamInfo<PathCase>& info) {
                           return test_rows::RowNameFromText(
                               std::u16string_view(info.param.executable), info.index);
                         });

}  // namespace
