// Whole-file replacement through a temporary file beside the target (POSIX).
#include "hexmap/atomic_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

namespace hexmap {

namespace {

namespace fs = std::filesystem;

// Attempts at a fresh temporary name before giving up (another writer may hold one).
constexpr int kNameAttempts = 16;
// New files get read and write for everyone, less the process's umask, like any created file.
constexpr mode_t kNewFileMode = 0666;
// Links followed before a chain counts as a loop: the kernel's own limit.
constexpr int kMaxLinkHops = 40;

// Unique among the writers alive in this process; O_EXCL and link() settle clashes with stale
// files.
std::string temporary_name(const std::string& target, const void* writer, int attempt) {
  return target + ".tmp-" + std::to_string(::getpid()) + "-" +
         std::to_string(reinterpret_cast<std::uintptr_t>(writer)) + "-" + std::to_string(attempt);
}

// Makes a finished rename durable; file systems that cannot sync a folder lose nothing else.
void sync_folder_of(const std::string& path) {
  const fs::path folder = fs::path(path).parent_path();
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The file a write to `name` lands on: symbolic links followed, each relative one from its own
// folder. Empty, with errno set, for a loop.
std::string follow_links(std::string name) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(name, error))) return name;
    const fs::path to = fs::read_symlink(name, error);
    if (error) return name;  // creating the temporary file reports the system's reason
    name = to.is_absolute() ? to.string() : (fs::path(name).parent_path() / to).string();
  }
  errno = ELOOP;
  return {};
}

// Why an existing file of this kind must not be replaced; empty for a regular file.
std::string kind_refusal(mode_t mode) {
  if (S_ISREG(mode)) return {};
  if (S_ISDIR(mode)) return "it is a folder, not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a regular file";
  if (S_ISFIFO(mode)) return "it is a pipe, not a regular file";
  if (S_ISSOCK(mode)) return "it is a socket, not a regular file";
  return "it is not a regular file";
}

// A second name for the old target, so that a failed commit_all can put it back: empty when
// the target does not exist, nothing (errno set) when it exists and no name could be made.
std::optional<std::string> link_backup(const std::string& target, const void* writer) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string backup = temporary_name(target, writer, kNameAttempts + attempt);
    if (::link(target.c_str(), backup.c_str()) == 0) return backup;
    if (errno == ENOENT) return std::string();
    if (errno != EEXIST) break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<FileId> file_id(const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) return std::nullopt;
  return FileId{st.st_dev, st.st_ino};
}

AtomicFile::AtomicFile(std::string name) : name_(std::move(name)) {
  target_ = follow_links(name_);
  if (target_.empty()) {
    fail_with_errno();
    return;
  }
  struct stat old {};
  const bool exists = ::stat(target_.c_str(), &old) == 0;
  if (exists && !kind_refusal(old.st_mode).empty()) {
    refuse(kind_refusal(old.st_mode));
    return;
  }
  for (int attempt = 0; attempt < kNameAttempts && fd_ < 0; ++attempt) {
    temporary_ = temporary_name(target_, this, attempt);
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    temporary_.clear();
    fail_with_errno();
    return;
  }
  // A replaced file keeps its permissions and, where the process may set it, its owner.
  if (exists) {
    ::fchmod(fd_, old.st_mode & 07777);
    if (::fchown(fd_, old.st_uid, old.st_gid) != 0) {
      // Only a privileged process can give a file away; the new file is then the caller's.
    }
  }
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

bool AtomicFile::fail_with_errno() {
  return refuse(std::strerror(errno));
}

bool AtomicFile::refuse(std::string why) {
  if (reason_.empty()) reason_ = std::move(why);
  return false;
}

bool AtomicFile::write(std::string_view bytes) {
  if (failed() || fd_ < 0) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return fail_with_errno();
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool AtomicFile::finish() {
  if (failed()) return false;
  if (fd_ < 0) return true;
  if (::fsync(fd_) != 0) return fail_with_errno();
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return fail_with_errno();
  return true;
}

bool AtomicFile::commit() {
  AtomicFile* const self = this;
  return commit_all({&self, 1});
}

bool commit_all(std::span<AtomicFile* const> files) {
  for (AtomicFile* f : files)
    if (!f->finish()) return false;
  std::vector<std::string> backups;
  const auto drop_backups = [&backups] {
    for (const std::string& b : backups)
      if (!b.empty()) ::unlink(b.c_str());
  };
  // A single file needs no way back: its rename either happens or not.
  if (files.size() > 1) {
    for (AtomicFile* f : files) {
      std::optional<std::string> backup = link_backup(f->target_, f);
      if (!backup) {
        f->fail_with_errno();
        drop_backups();
        return false;
      }
      backups.push_back(std::move(*backup));
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    AtomicFile& f = *files[i];
    if (::rename(f.temporary_.c_str(), f.target_.c_str()) == 0) {
      f.committed_ = true;
      continue;
    }
    f.fail_with_errno();
    for (std::size_t done = 0; done < i; ++done) {
      const std::string& target = files[done]->target_;
      if (backups[done].empty() ? ::unlink(target.c_str()) == 0
                                : ::rename(backups[done].c_str(), target.c_str()) == 0)
        backups[done].clear();
    }
    drop_backups();
    return false;
  }
  drop_backups();
  for (AtomicFile* f : files)
    sync_folder_of(f->target_);
  return true;
}

}  // namespace hexmap
