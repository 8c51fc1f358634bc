#include "tools/file_io.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace hexmap::tool {
namespace {

std::string describe_errno() {
  return std::strerror(errno);
}

// Writes bytes to a fresh temporary file beside target; its path, or empty with `reason` set.
std::filesystem::path write_temporary(const std::filesystem::path& target, std::string_view bytes,
                                      std::string& reason) {
  std::string hidden = ".";
  hidden += target.filename().string();
  hidden += ".XXXXXX";
  std::string name = (target.parent_path() / hidden).string();
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    reason = "cannot write " + target.string() + ": " + describe_errno();
    return {};
  }
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  constexpr mode_t kFileMode = 0644;  // what a new file gets under the usual umask
  const bool ok = done == bytes.size() && fchmod(fd, kFileMode) == 0 && fsync(fd) == 0;
  const std::string why = describe_errno();
  if (::close(fd) != 0 || !ok) {
    reason = "cannot write " + target.string() + ": " + why;
    ::unlink(name.c_str());
    return {};
  }
  return name;
}

}  // namespace

FileRead read_file(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    return {std::nullopt, path.string() + " is a folder"};
  std::ifstream in(path, std::ios::binary);
  if (!in) return {std::nullopt, "cannot read " + path.string() + ": " + describe_errno()};
  std::string bytes;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<size_t>(in.gcount()));
    if (bytes.size() > kMaxInputBytes) return {std::nullopt, path.string() + " is too large"};
  }
  if (in.bad()) return {std::nullopt, "cannot read " + path.string()};
  return {std::move(bytes), {}};
}

std::string write_files_atomically(const std::vector<PendingFile>& files) {
  std::vector<std::filesystem::path> temporaries;
  std::string reason;
  const auto discard = [](const std::vector<std::filesystem::path>& paths) {
    for (const auto& t : paths)
      if (!t.empty()) ::unlink(t.c_str());
  };
  for (const PendingFile& f : files) {
    std::filesystem::path t = write_temporary(f.path, f.bytes, reason);
    if (t.empty()) {
      discard(temporaries);
      return reason;
    }
    temporaries.push_back(std::move(t));
  }
  // A link to each old file, so that the targets already replaced can be put back when a later
  // rename fails; empty where the target is new.
  std::vector<std::filesystem::path> backups(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(files[i].path, ec)) continue;
    backups[i] = write_temporary(files[i].path, {}, reason);
    if (backups[i].empty() || ::unlink(backups[i].c_str()) != 0 ||
        ::link(files[i].path.c_str(), backups[i].c_str()) != 0) {
      reason = "cannot write " + files[i].path.string() + ": " + describe_errno();
      discard(temporaries);
      discard(backups);
      return reason;
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (::rename(temporaries[i].c_str(), files[i].path.c_str()) == 0) continue;
    reason = "cannot write " + files[i].path.string() + ": " + describe_errno();
    for (size_t done = 0; done < i; ++done)
      if (backups[done].empty())
        ::unlink(files[done].path.c_str());
      else
        ::rename(backups[done].c_str(), files[done].path.c_str());
    discard({temporaries.begin() + static_cast<ptrdiff_t>(i), temporaries.end()});
    discard({backups.begin() + static_cast<ptrdiff_t>(i), backups.end()});
    return reason;
  }
  discard(backups);
  return {};
}

std::string write_file_atomically(const std::filesystem::path& path, std::string_view bytes) {
  return write_files_atomically({{path, std::string(bytes)}});
}

}  // namespace hexmap::tool
