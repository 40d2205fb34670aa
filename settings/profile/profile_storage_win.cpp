// The settings file on disk, Windows half: the file is replaced with ReplaceFileW, which keeps
// the old file's attributes and security descriptor, in the order and with the recovery of
// profile_replacement.cpp; these are its Win32 steps.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/text.h"
#include "settings/profile/profile_storage.h"
#include "settings/profile/profile_storage_win.h"

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
  // Closes the handle held (if any) and holds `handle` instead.
  void Reset(HANDLE handle) {
    if (valid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Writes all of `bytes` at the handle's position.
bool WriteAll(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    constexpr std::size_t kChunk = std::size_t{1} << 30;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(bytes.size() < kChunk ? bytes.size() : kChunk);
    if (!WriteFile(handle, bytes.data(), size, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool SetEnd(HANDLE handle, std::size_t size) {
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(handle, position, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
}

class Win32ReplacementSteps final : public ReplacementSteps {
 public:
  Target InspectTarget(const std::u16string& target) override {
    const std::wstring path = Wide(target);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const DWORD error = GetLastError();
      const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
      return missing ? Target::kMissing : Target::kRefused;
    }
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return Target::kRefused;
    // ReplaceFileW needs only the right to rename the file; its own security must refuse the
    // write all the same, as it refuses the platform's profile functions.
    Handle probe(CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe.valid() ? Target::kWritable : Target::kRefused;
  }

  bool Exists(const std::u16string& path) override {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  Created CreateTemporary(const std::u16string& path) override {
    temporary_.Reset(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (temporary_.valid()) return Created::kCreated;
    switch (GetLastError()) {
      case ERROR_FILE_EXISTS:
      case ERROR_ALREADY_EXISTS:
        return Created::kNameTaken;
      case ERROR_ACCESS_DENIED:
        return Created::kDenied;
      default:
        return Created::kFailed;
    }
  }

  bool WriteTemporary(std::string_view bytes) override { return WriteAll(temporary_.get(), bytes); }

  bool FlushTemporary() override {
    const bool flushed = FlushFileBuffers(temporary_.get()) != 0;
    return temporary_.Close() && flushed;
  }

  std::uint32_t Replace(const std::u16string& target, const std::u16string& replacement,
                        const std::u16string& backup) override {
    if (ReplaceFileW(Wide(target).c_str(), Wide(replacement).c_str(), Wide(backup).c_str(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
      return 0;
    }
    const DWORD error = GetLastError();
    return error != 0 ? error : ERROR_GEN_FAILURE;
  }

  bool Move(const std::u16string& from, const std::u16string& to) override {
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  }

  bool Delete(const std::u16string& path) override { return DeleteFileW(Wide(path).c_str()) != 0; }

  bool OverwriteInPlace(const std::u16string& target, std::string_view bytes) override {
    Handle file(CreateFileW(Wide(target).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER old_size{};
    if (!file.valid() || !GetFileSizeEx(file.get(), &old_size)) return false;
    // A longer file is lengthened before a byte of it changes, so that a full disk refuses the
    // write while the old contents are still whole; a shorter one is cut after the write.
    const bool grows = bytes.size() > static_cast<std::uint64_t>(old_size.QuadPart);
    bool written = !grows || SetEnd(file.get(), bytes.size());
    LARGE_INTEGER start{};
    written = written && SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) &&
              WriteAll(file.get(), bytes) && (grows || SetEndOfFile(file.get()));
    written = written && FlushFileBuffers(file.get());
    return file.Close() && written;
  }

 private:
  Handle temporary_{INVALID_HANDLE_VALUE};
};

}  // namespace

std::unique_ptr<ReplacementSteps> MakeWin32ReplacementSteps() {
  return std::make_unique<Win32ReplacementSteps>();
}

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
  const std::wstring target = Wide(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const std::unique_ptr<ReplacementSteps> steps = MakeWin32ReplacementSteps();
  const std::u16string name_tag = queue::Widen(std::to_string(GetCurrentProcessId()));
  if (!ReplaceThroughSteps(*steps, path, bytes, name_tag)) return false;
  // ReplaceFileW keeps the old attributes on Windows; not every implementation of it does
  // (Wine's drops them), so they are set once more. Best effort: the contents are written.
  if (attributes != INVALID_FILE_ATTRIBUTES && GetFileAttributesW(target.c_str()) != attributes) {
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
