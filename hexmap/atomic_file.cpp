// Whole-file replacement through a temporary file beside the target (POSIX).
#include "hexmap/atomic_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>

namespace hexmap {

namespace {

// Attempts at a fresh temporary name before giving up (another writer may hold one).
constexpr int kNameAttempts = 16;
// New files get read and write for everyone, less the process's umask, like any created file.
constexpr mode_t kNewFileMode = 0666;

// Unique among the writers alive in this process; O_EXCL settles clashes with stale files.
std::string temporary_name(const std::string& target, const void* writer, int attempt) {
  return target + ".tmp-" + std::to_string(::getpid()) + "-" +
         std::to_string(reinterpret_cast<std::uintptr_t>(writer)) + "-" + std::to_string(attempt);
}

// Makes a finished rename durable; file systems that cannot sync a folder lose nothing else.
void sync_folder_of(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {
  for (int attempt = 0; attempt < kNameAttempts && fd_ < 0; ++attempt) {
    temporary_ = temporary_name(target_, this, attempt);
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    fail("can not create", temporary_);
    return;
  }
  // A replaced file keeps its permissions.
  struct stat old {};
  if (::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode))
    ::fchmod(fd_, old.st_mode & 07777);
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

bool AtomicFile::fail(std::string_view what, const std::string& path) {
  const int reason = errno;
  if (error_.empty()) error_ = std::string(what) + " '" + path + "': " + std::strerror(reason);
  return false;
}

bool AtomicFile::write(std::string_view bytes) {
  if (failed()) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return fail("can not write", temporary_);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool AtomicFile::commit() {
  if (failed()) return false;
  if (::fsync(fd_) != 0) return fail("can not flush", temporary_);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return fail("can not close", temporary_);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) return fail("can not replace", target_);
  committed_ = true;
  sync_folder_of(target_);
  return true;
}

}  // namespace hexmap
