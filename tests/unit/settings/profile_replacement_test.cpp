// The order of a settings-file replacement and its recovery, on a file system in memory whose
// every step can be made to fail, ReplaceFileW leaving the files where its documentation says
// each error leaves them. Each row checks what lies under which name afterwards, and the file
// system itself objects to any deletion of the last copy of the old contents.
#include "settings/profile/profile_replacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/text.h"
#include "tests/support/row_names.h"

namespace settings {
namespace {

using Created = ReplacementSteps::Created;
using Target = ReplacementSteps::Target;

const std::u16string kTarget = u"C:\\Queue\\Operator.ini";
const std::string kOld = "[Form]\r\nTop=1\r\n[Junk]\r\nkept=1\r\n";
const std::string kNew = "[Form]\r\nTop=2\r\n[Junk]\r\nkept=1\r\n";
const std::string kNotOurs = "someone else's file";

// Where a failed ReplaceFileW leaves the files, by its documentation.
enum class Left {
  kNamesKept,       // 1175, 1176 with a backup name, any other error
  kOldDropped,      // 1176 as documented for a call without a backup name
  kOldUnderBackup,  // 1177
};

// The names a step acts on, told apart by the fake.
enum class Name { kTarget, kTemporary, kBackup };

struct Faults {
  Target target = Target::kWritable;  // what an existing file inspects as
  int names_taken = 0;                // CreateTemporary finds this many names in use first
  int backups_taken = 0;              // this many backup names are in use by another program
  Created create = Created::kCreated;
  bool write = false;
  bool flush = false;
  std::uint32_t replace_error = 0;
  Left left = Left::kNamesKept;
  std::set<Name> move = {};   // a Move from these names fails
  std::set<Name> erase = {};  // a Delete of these names fails
  bool in_place = false;      // OverwriteInPlace fails
};

class FakeSteps final : public ReplacementSteps {
 public:
  FakeSteps(const Faults& faults, bool existed) : faults_(faults) {
    if (existed) files_[kTarget] = kOld;
    had_old_ = existed;
  }

  const std::map<std::u16string, std::string>& files() const { return files_; }
  const std::vector<std::string>& objections() const { return objections_; }
  Name NameOf(const std::u16string& path) {
    if (path == kTarget) return Name::kTarget;
    if (!path.starts_with(kTarget + u".")) Object("a file outside the target's directory");
    return path.find(u".tmp") != std::u16string::npos ? Name::kTemporary : Name::kBackup;
  }

  Target InspectTarget(const std::u16string& target) override {
    return files_.contains(target) ? faults_.target : Target::kMissing;
  }
  bool Exists(const std::u16string& path) override {
    if (NameOf(path) == Name::kBackup && faults_.backups_taken > 0) {
      --faults_.backups_taken;
      files_[path] = kNotOurs;
    }
    return files_.contains(path);
  }
  Created CreateTemporary(const std::u16string& path) override {
    if (NameOf(path) != Name::kTemporary) Object("a temporary not named as one");
    if (faults_.names_taken > 0) {
      --faults_.names_taken;
      return Created::kNameTaken;
    }
    if (faults_.create != Created::kCreated) return faults_.create;
    if (files_.contains(path)) return Created::kNameTaken;
    files_[path] = "";
    open_ = path;
    return Created::kCreated;
  }
  bool WriteTemporary(std::string_view bytes) override {
    if (open_.empty()) Object("a write to no open temporary");
    // A failed write leaves part of the bytes.
    files_[open_] = bytes.substr(0, faults_.write ? bytes.size() / 2 : bytes.size());
    return !faults_.write;
  }
  bool FlushTemporary() override {
    open_.clear();
    return !faults_.flush;
  }
  std::uint32_t Replace(const std::u16string& target, const std::u16string& replacement,
                        const std::u16string& backup) override {
    if (!files_.contains(target) || !files_.contains(replacement)) Object("a replace of nothing");
    if (NameOf(backup) != Name::kBackup || files_.contains(backup)) {
      Object("a backup name in use or not named as one");
    }
    if (faults_.replace_error == 0) {
      files_[backup] = files_[target];
      files_[target] = files_[replacement];
      files_.erase(replacement);
      return 0;
    }
    if (faults_.left == Left::kOldUnderBackup) files_[backup] = files_[target];
    if (faults_.left != Left::kNamesKept) files_.erase(target);
    return faults_.replace_error;
  }
  bool Move(const std::u16string& from, const std::u16string& to) override {
    if (faults_.move.contains(NameOf(from))) return false;
    if (!files_.contains(from) || files_.contains(to)) return false;
    files_[to] = files_[from];
    files_.erase(from);
    return true;
  }
  bool Delete(const std::u16string& path) override {
    const Name name = NameOf(path);
    if (name == Name::kTarget) Object("a delete of the settings file itself");
    if (!open_.empty() && path == open_) Object("a delete of the open temporary");
    if (faults_.erase.contains(name) || !files_.contains(path)) return false;
    if (files_[path] == kNotOurs) Object("a delete of another program's file");
    files_.erase(path);
    const bool old_kept = std::any_of(files_.begin(), files_.end(),
                                      [](const auto& file) { return file.second == kOld; });
    const auto target = files_.find(kTarget);
    const bool new_in_place = target != files_.end() && target->second == kNew;
    if (had_old_ && !old_kept && !new_in_place) Object("a delete of the old contents' last copy");
    return true;
  }
  bool OverwriteInPlace(const std::u16string& target, std::string_view bytes) override {
    if (faults_.in_place || !files_.contains(target)) return false;
    files_[target] = bytes;
    return true;
  }

 private:
  void Object(const std::string& what) { objections_.push_back(what); }

  Faults faults_;
  bool had_old_ = false;
  std::map<std::u16string, std::string> files_;
  std::u16string open_;
  std::vector<std::string> objections_;
};

using Strays = std::vector<std::pair<Name, std::string>>;

struct ReplacementCase {
  const char* name;
  bool existed;
  Faults faults;
  bool replaced;                      // what ReplaceThroughSteps returns
  std::optional<std::string> target;  // what lies under the settings file's name afterwards
  Strays strays;                      // what lies under the other names, sorted
};
QUEUE_PRINT_ROWS_BY(ReplacementCase, name)

class ReplacementTest : public testing::TestWithParam<ReplacementCase> {};

TEST_P(ReplacementTest, LeavesOneWholeCopyUnderTheName) {
  const ReplacementCase& row = GetParam();
  FakeSteps steps(row.faults, row.existed);
  EXPECT_EQ(ReplaceThroughSteps(steps, kTarget, kNew, u"77"), row.replaced);
  std::optional<std::string> target;
  Strays strays;
  for (const auto& [path, bytes] : steps.files()) {
    if (path == kTarget) {
      target = bytes;
    } else {
      strays.emplace_back(steps.NameOf(path), bytes);
    }
  }
  std::sort(strays.begin(), strays.end());
  EXPECT_EQ(target, row.target);
  EXPECT_EQ(strays, row.strays);
  EXPECT_EQ(steps.objections(), std::vector<std::string>{});
}

constexpr std::uint32_t kSharingViolation = 32;

const ReplacementCase kReplacementCases[] = {
    {"Replaced", true, {}, true, kNew, {}},
    {"NewFile", false, {}, true, kNew, {}},
    {"TargetRefused", true, {.target = Target::kRefused}, false, kOld, {}},
    {"TemporaryNotCreated", true, {.create = Created::kFailed}, false, kOld, {}},
    {"TemporaryNamesTakenThenFree", true, {.names_taken = 3}, true, kNew, {}},
    {"EveryTemporaryNameTaken", true, {.names_taken = 1000}, false, kOld, {}},
    // Another program's file at a backup name is neither overwritten nor deleted.
    {"BackupNameInUse",
     true,
     {.backups_taken = 2},
     true,
     kNew,
     {{Name::kBackup, kNotOurs}, {Name::kBackup, kNotOurs}}},
    {"WriteFails", true, {.write = true}, false, kOld, {}},
    {"FlushFails", true, {.flush = true}, false, kOld, {}},
    {"FlushFailsTemporaryStuck",
     true,
     {.flush = true, .erase = {Name::kTemporary}},
     false,
     kOld,
     {{Name::kTemporary, kNew}}},
    {"NewFileWriteFails", false, {.write = true}, false, std::nullopt, {}},
    {"NewFileMoveFails", false, {.move = {Name::kTemporary}}, false, std::nullopt, {}},
    // The directory takes no new file: the file itself is rewritten in place.
    {"DirectoryDeniedWritesInPlace", true, {.create = Created::kDenied}, true, kNew, {}},
    {"DirectoryDeniedInPlaceFails",
     true,
     {.create = Created::kDenied, .in_place = true},
     false,
     kOld,
     {}},
    {"DirectoryDeniedNewFile", false, {.create = Created::kDenied}, false, std::nullopt, {}},
    {"ReplacedBackupStuck", true, {.erase = {Name::kBackup}}, true, kNew, {{Name::kBackup, kOld}}},
    {"UnableToRemoveReplaced",
     true,
     {.replace_error = kReplaceUnableToRemoveReplaced},
     false,
     kOld,
     {}},
    {"SharingViolation", true, {.replace_error = kSharingViolation}, false, kOld, {}},
    {"SharingViolationTemporaryStuck",
     true,
     {.replace_error = kSharingViolation, .erase = {Name::kTemporary}},
     false,
     kOld,
     {{Name::kTemporary, kNew}}},
    {"UnableToMoveNamesKept",
     true,
     {.replace_error = kReplaceUnableToMoveReplacement},
     false,
     kOld,
     {}},
    // The old file dropped: the temporary is moved into place.
    {"UnableToMoveOldDropped",
     true,
     {.replace_error = kReplaceUnableToMoveReplacement, .left = Left::kOldDropped},
     true,
     kNew,
     {}},
    {"UnableToMoveOldDroppedTemporaryStuck",
     true,
     {.replace_error = kReplaceUnableToMoveReplacement,
      .left = Left::kOldDropped,
      .move = {Name::kTemporary}},
     false,
     std::nullopt,
     {{Name::kTemporary, kNew}}},
    // The old file under the backup name: the temporary goes into place, or else the old file
    // comes back.
    {"UnableToMove2",
     true,
     {.replace_error = kReplaceUnableToMoveReplacement2, .left = Left::kOldUnderBackup},
     true,
     kNew,
     {}},
    {"UnableToMove2BackupStuck",
     true,
     {.replace_error = kReplaceUnableToMoveReplacement2,
      .left = Left::kOldUnderBackup,
      .erase = {Name::kBackup}},
     true,
     kNew,
     {{Name::kBackup, kOld}}},
    {"UnableToMove2TemporaryStuck",
     true,
     {.replace_error = kReplaceUnableToMoveReplacement2,
      .left = Left::kOldUnderBackup,
      .move = {Name::kTemporary}},
     false,
     kOld,
     {}},
    {"UnableToMove2TemporaryStuckAndKept",
     true,
     {.replace_error = kReplaceUnableToMoveReplacement2,
      .left = Left::kOldUnderBackup,
      .move = {Name::kTemporary},
      .erase = {Name::kTemporary}},
     false,
     kOld,
     {{Name::kTemporary, kNew}}},
    // Nothing can go back under the name: both copies stay where they are.
    {"UnableToMove2NothingMoves",
     true,
     {.replace_error = kReplaceUnableToMoveReplacement2,
      .left = Left::kOldUnderBackup,
      .move = {Name::kTemporary, Name::kBackup}},
     false,
     std::nullopt,
     {{Name::kTemporary, kNew}, {Name::kBackup, kOld}}},
};

INSTANTIATE_TEST_SUITE_P(Steps, ReplacementTest, testing::ValuesIn(kReplacementCases),
                         [](const testing::TestParamInfo<ReplacementCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace settings
