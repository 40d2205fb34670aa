// The order of a settings-file replacement and its recovery, apart from the file system: every
// step on disk goes through ReplacementSteps, so that each can be refused on its own (the
// Windows storage runs it with the Win32 steps, its tests with steps that fail on purpose).
// The rule it keeps: whatever step fails, the settings file's name holds one whole copy, the
// old contents or the new, and no step deletes the only copy of either.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace settings {

// ReplaceFileW's documented partial outcomes (winerror.h's numbers).
// The replaced file could not be deleted; both files keep their names.
constexpr std::uint32_t kReplaceUnableToRemoveReplaced = 1175;
// The replacement could not be renamed. With a backup name both files keep their names;
// without one the replaced file is gone and the replacement keeps its own name.
constexpr std::uint32_t kReplaceUnableToMoveReplacement = 1176;
// The replacement could not be moved and the replaced file is left under the backup name.
constexpr std::uint32_t kReplaceUnableToMoveReplacement2 = 1177;

// The file-system steps of one replacement. Every path is a full path in the settings file's
// directory.
class ReplacementSteps {
 public:
  enum class Target {
    kMissing,   // nothing at the path: the write creates the file
    kWritable,  // a regular file that this process may write
    kRefused,   // a directory, a read-only file, or one this process may not open for writing
  };
  enum class Created {
    kCreated,    // the temporary is open for writing
    kNameTaken,  // a file of that name exists; another name may do
    kDenied,     // the directory may not be written (access denied)
    kFailed,     // anything else
  };

  virtual ~ReplacementSteps() = default;

  virtual Target InspectTarget(const std::u16string& target) = 0;
  // Whether anything lies at `path`.
  virtual bool Exists(const std::u16string& path) = 0;
  // Creates `path`, which must not exist yet, and keeps it open for the next two steps.
  virtual Created CreateTemporary(const std::u16string& path) = 0;
  virtual bool WriteTemporary(std::string_view bytes) = 0;
  // Flushes the temporary to the disk and closes it; it is closed even when the flush fails.
  virtual bool FlushTemporary() = 0;
  // Replaces `target` with `replacement`, the old file going to `backup`
  // (ReplaceFileW with a backup name): 0 when done, else the error number.
  virtual std::uint32_t Replace(const std::u16string& target, const std::u16string& replacement,
                                const std::u16string& backup) = 0;
  // Renames `from` to `to`, written through to the disk; refused when `to` exists.
  virtual bool Move(const std::u16string& from, const std::u16string& to) = 0;
  virtual bool Delete(const std::u16string& path) = 0;
  // Rewrites the existing `target` itself with `bytes` and flushes it: for a file that may be
  // written in a directory that may not.
  virtual bool OverwriteInPlace(const std::u16string& target, std::string_view bytes) = 0;
};

// Replaces the contents of `target` with `bytes` (or creates it) through `steps`: a temporary
// beside it, written and flushed, then put in its place by Replace (or Move for a new file);
// when the directory refuses the temporary but the file may be written, the file is rewritten
// in place, as the platform's own profile functions do. `name_tag` makes the temporary's and
// the backup's names this process's own (its process id). Returns true when `target` holds
// `bytes`; false when the write was refused, `target` then holding its old contents (or, where
// Replace had already moved the new file in, those), except when neither file could be renamed
// back under the name: the old and the new file then stay under the backup's and the
// temporary's names, the only copies left, and nothing is deleted.
bool ReplaceThroughSteps(ReplacementSteps& steps, std::u16string_view target,
                         std::string_view bytes, std::u16string_view name_tag);

}  // namespace settings
