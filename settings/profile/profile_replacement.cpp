// The order of a settings-file replacement and its recovery.
#include "settings/profile/profile_replacement.h"

#include <atomic>
#include <string>

#include "core/text.h"
#include "settings/profile/profile_storage.h"

namespace settings {
namespace {

using Created = ReplacementSteps::Created;
using Target = ReplacementSteps::Target;

struct Names {
  std::u16string temporary;
  std::u16string backup;  // where Replace puts the old file
};

// Creates the temporary under a name of this process's own, with an unused backup name beside
// it: a backup name in use would have Replace overwrite a file that is not ours.
Created CreateTemporaryBeside(ReplacementSteps& steps, const std::u16string& target,
                              std::u16string_view name_tag, Names& names) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < kMaxTemporaryNameAttempts; ++attempt) {
    std::u16string suffix(name_tag);
    suffix += u"-" + queue::Widen(std::to_string(counter++));
    names.temporary = target + u".tmp" + suffix;
    names.backup = target + u".bak" + suffix;
    if (steps.Exists(names.backup)) continue;
    const Created created = steps.CreateTemporary(names.temporary);
    if (created != Created::kNameTaken) return created;
  }
  return Created::kFailed;
}

// After a refused Replace: one whole copy goes back under the target's name, and only the
// copies that are spare then are deleted. Returns whether the new contents are in place.
// Renames are atomic, so whatever lies at a name is a whole file.
bool RecoverFromReplace(ReplacementSteps& steps, const std::u16string& target, const Names& names) {
  if (steps.Exists(target)) {
    // The old file kept its name (ERROR_UNABLE_TO_REMOVE_REPLACED, ERROR_UNABLE_TO_MOVE_
    // REPLACEMENT with a backup name, and every other error): the temporary, and a backup
    // should one have been made all the same, are spare. A spare copy that cannot be deleted
    // stays behind as a stray file, which harms nothing; the write is refused either way.
    steps.Delete(names.temporary);
    steps.Delete(names.backup);
    return false;
  }
  // The name is empty: ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 left the old file under the backup
  // name (and ERROR_UNABLE_TO_MOVE_REPLACEMENT, as documented for a call without a backup
  // name, drops it). The temporary is whole and flushed, and holds what the write is for, so
  // it goes in first; the old file comes back only when it cannot.
  if (steps.Move(names.temporary, target)) {
    steps.Delete(names.backup);
    return true;
  }
  if (steps.Move(names.backup, target)) {
    steps.Delete(names.temporary);
    return false;
  }
  // Neither can be put back (the name itself refuses them): both stay under their own names,
  // the only copies there are, and the write is refused.
  return false;
}

}  // namespace

bool ReplaceThroughSteps(ReplacementSteps& steps, std::u16string_view target_path,
                         std::string_view bytes, std::u16string_view name_tag) {
  const std::u16string target(target_path);
  const Target state = steps.InspectTarget(target);
  if (state == Target::kRefused) return false;
  Names names;
  switch (CreateTemporaryBeside(steps, target, name_tag, names)) {
    case Created::kCreated:
      break;
    case Created::kDenied:
      // A desk locked down to the one file: its directory takes no new file, but the file
      // itself may be written. It is rewritten in place, as the platform's profile functions
      // always write it; a missing file cannot be created there at all.
      return state == Target::kWritable && steps.OverwriteInPlace(target, bytes);
    default:
      return false;
  }
  const bool written = steps.WriteTemporary(bytes);
  // The flush closes the temporary, which must be closed before it can be deleted.
  if (!steps.FlushTemporary() || !written) {
    steps.Delete(names.temporary);
    return false;
  }
  if (state == Target::kMissing) {
    if (steps.Move(names.temporary, target)) return true;
    // Nothing was there before, so nothing old is lost with the temporary.
    steps.Delete(names.temporary);
    return false;
  }
  if (steps.Replace(target, names.temporary, names.backup) == 0) {
    // The old contents, no longer needed; a backup that stays behind harms nothing.
    steps.Delete(names.backup);
    return true;
  }
  return RecoverFromReplace(steps, target, names);
}

}  // namespace settings
