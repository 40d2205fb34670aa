// The settings file on disk: bounded reads, and writes that never leave a half-written file.
// A write goes to a temporary file in the same directory, is flushed to the disk and then
// renamed over the old file, which therefore holds either its old or its new contents even
// when the program or the machine stops in the middle. The platform's half of this lives in
// profile_storage_posix.cpp and profile_storage_win.cpp (whose order and recovery are
// profile_replacement.h's).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace settings {

// The largest settings file that is read. The program's own entries take a few hundred
// bytes, and a desk's file that collected long sections of other programs' junk reaches
// megabytes; 64 MiB is far above any of them. The bound is there for the memory only: a write
// holds the old and the new bytes at once, so even a file at the bound costs 128 MiB for a
// moment, never the whole of a stray huge file at the settings path.
constexpr std::uintmax_t kMaxProfileFileBytes = std::uintmax_t{64} << 20;

// Attempts at finding an unused name for the temporary file before the write is refused.
constexpr int kMaxTemporaryNameAttempts = 100;

enum class StoredState {
  kMissing,   // nothing at the path: the first write creates the file
  kRead,      // a regular file, read whole
  kUnusable,  // a directory or other non-file, unreadable, or over kMaxProfileFileBytes
};

struct StoredFile {
  StoredState state = StoredState::kMissing;
  std::string bytes;
};

// Reads the file at `path` (a full path). Never fails; see StoredState.
StoredFile ReadStoredFile(std::u16string_view path);

// Replaces the contents of the file at `path` with `bytes`, or creates it. An existing file
// keeps its permissions (and, where the platform allows it, its owner); a symbolic link is
// followed and stays a link. Returns false, leaving the old file as it was, when the write is
// refused: the file is read-only or immutable, its directory may not be written, the path is
// a directory, the disk is full. On Windows a file that may be written in a directory that may
// not is rewritten in place, as the platform's own profile functions write it.
bool ReplaceStoredFile(std::u16string_view path, std::string_view bytes);

// Makes the renames done so far durable by flushing the directory that holds the file.
// Best effort: a failure here changes nothing the program could act on.
void SyncStoredDirectory(std::u16string_view path);

// `path` made absolute against the current directory (unchanged when it is absolute).
std::u16string AbsoluteStoredPath(std::u16string_view path);

}  // namespace settings
