// The settings file on disk, Windows half: the file is replaced with ReplaceFileW, which keeps
// the old file's attributes and security descriptor.

#include <windows.h>

#include <atomic>
#include <string>

#include "settings/profile/profile_storage.h"

namespace settings {
namespace {

std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

// Closes a handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

StoredFile ReadStoredFile(std::u16string_view path) {
  StoredFile file;
  Handle handle(CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.valid()) {
    const DWORD error = GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    file.state = missing ? StoredState::kMissing : StoredState::kUnusable;
    return file;
  }
  file.state = StoredState::kUnusable;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle.get(), &size) ||
      static_cast<std::uintmax_t>(size.QuadPart) > kMaxProfileFileBytes) {
    return file;
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (!bytes.empty() &&
      !ReadFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) {
    return file;
  }
  bytes.resize(got);
  file.state = StoredState::kRead;
  file.bytes = std::move(bytes);
  return file;
}

bool ReplaceStoredFile(std::u16string_view path, std::string_view bytes) {
  static std::atomic<unsigned> counter{0};
  const std::wstring target = Wide(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
  if (existed) {
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
    Handle probe(CreateFileW(target.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.valid()) return false;
  }
  std::wstring temporary;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < kMaxTemporaryNameAttempts; ++attempt) {
    temporary = target + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter++);
    created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) break;
  }
  Handle handle(created);
  if (!handle.valid()) return false;
  DWORD written_bytes = 0;
  bool written =
      bytes.empty() || (WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                  &written_bytes, nullptr) &&
                        written_bytes == bytes.size());
  written = written && FlushFileBuffers(handle.get());
  written = handle.Close() && written;
  if (written) {
    written = existed ? ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                      : MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!written) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  // ReplaceFileW keeps the old attributes on Windows; not every implementation of it does
  // (Wine's drops them), so they are set once more. Best effort: the contents are written.
  if (existed && GetFileAttributesW(target.c_str()) != attributes) {
    SetFileAttributesW(target.c_str(), attributes);
  }
  return true;
}

// Renames on NTFS are journaled and MoveFileExW wrote through; nothing is left to flush.
void SyncStoredDirectory(std::u16string_view) {}

std::u16string AbsoluteStoredPath(std::u16string_view path) {
  const std::wstring wide = Wide(path);
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::u16string(path);
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  full.resize(length);
  return std::u16string(full.begin(), full.end());
}

}  // namespace settings
