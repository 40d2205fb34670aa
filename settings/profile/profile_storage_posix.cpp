// The settings file on disk, POSIX half: open/read/write, fsync and rename.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "core/text.h"
#include "settings/profile/profile_storage.h"

namespace settings {
namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now and reports whether the close succeeded (a late write error shows here).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

std::string NativePath(std::u16string_view path) {
  return queue::Utf16ToUtf8(path);
}

// The file that a write must replace: the target of a symbolic link, else the path itself.
std::string ReplacementTarget(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  return resolved ? std::string(resolved.get()) : path;
}

// The directory part of a path, with its final "/" ("./" for a bare name).
std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Creates a new temporary file beside `target`; sets `name` to its path.
Descriptor CreateTemporaryBeside(const std::string& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  const std::string directory = DirectoryOf(target);
  const std::string base = target.substr(target.rfind('/') + 1);
  for (int attempt = 0; attempt < kMaxTemporaryNameAttempts; ++attempt) {
    name = directory + "." + base + ".tmp" + std::to_string(::getpid()) + "-" +
           std::to_string(counter++);
    // Mode 0666 lets the umask decide, as for any new file; an old file's mode is copied later.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return Descriptor(fd);
  }
  return Descriptor(-1);
}

}  // namespace

StoredFile ReadStoredFile(std::u16string_view path) {
  StoredFile file;
  Descriptor fd(::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) {
    file.state = errno == ENOENT ? StoredState::kMissing : StoredState::kUnusable;
    return file;
  }
  file.state = StoredState::kUnusable;
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
      static_cast<std::uintmax_t>(status.st_size) > kMaxProfileFileBytes) {
    return file;
  }
  std::string bytes;
  // Read into place: a string grown by doubling would hold up to twice the file.
  bytes.reserve(static_cast<std::size_t>(status.st_size));
  char buffer[8192];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return file;
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
    // The file may grow after fstat; the bound holds all the same.
    if (bytes.size() > kMaxProfileFileBytes) return file;
  }
  file.state = StoredState::kRead;
  file.bytes = std::move(bytes);
  return file;
}

bool ReplaceStoredFile(std::u16string_view path, std::string_view bytes) {
  const std::string target = ReplacementTarget(NativePath(path));
  struct stat old_status {};
  const bool existed = ::stat(target.c_str(), &old_status) == 0;
  if (existed) {
    if (!S_ISREG(old_status.st_mode)) return false;
    // The rename needs only the directory's permission; the file's own permission (and its
    // immutable or append-only flag) must refuse the write all the same.
    Descriptor probe(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (!probe.valid()) return false;
  }
  std::string temporary;
  Descriptor fd = CreateTemporaryBeside(target, temporary);
  if (!fd.valid()) return false;
  bool written = WriteAll(fd.get(), bytes);
  if (written && existed) {
    written = ::fchmod(fd.get(), old_status.st_mode & 07777) == 0;
    // Keeping the owner needs privileges; without them the file becomes the writer's, as any
    // edited-and-saved file does.
    if (written && (old_status.st_uid != ::geteuid() || old_status.st_gid != ::getegid())) {
      (void)::fchown(fd.get(), old_status.st_uid, old_status.st_gid);
    }
  }
  written = written && ::fsync(fd.get()) == 0;
  written = fd.Close() && written;
  written = written && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!written) ::unlink(temporary.c_str());
  return written;
}

void SyncStoredDirectory(std::u16string_view path) {
  const std::string directory = DirectoryOf(ReplacementTarget(NativePath(path)));
  Descriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.valid()) (void)::fsync(fd.get());
}

std::u16string AbsoluteStoredPath(std::u16string_view path) {
  if (path.starts_with(u'/')) return std::u16string(path);
  std::unique_ptr<char, decltype(&std::free)> current(::getcwd(nullptr, 0), &std::free);
  if (!current) return std::u16string(path);
  std::u16string absolute = queue::Utf8ToUtf16(current.get());
  if (!absolute.ends_with(u'/')) absolute += u'/';
  absolute += path;
  return absolute;
}

}  // namespace settings
