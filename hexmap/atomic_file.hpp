// Replacing a file so that readers, crashes and full disks see the old file or the new one
// whole, never a part: the bytes go to a temporary file in the target's folder, which is flushed
// to the disk and then renamed over the target. Shared by SAVE_MAP and the `hexmap` tool.
// Internal header: not installed.
#pragma once

#include <sys/types.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace hexmap {

// A file's identity: two names with the same one are the same file (hard or symbolic links).
struct FileId {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileId&) const = default;
};
// The identity of the file `name` leads to, symbolic links followed; nothing when none exists.
std::optional<FileId> file_id(const std::string& name);

class AtomicFile {
 public:
  // Follows symbolic links from `name` to the file they name (which may not exist yet) and
  // creates the temporary file beside that target. Refuses a target that exists and is not a
  // regular file: replacing a device, a pipe or a folder would destroy it, not write into it.
  explicit AtomicFile(std::string name);
  // Removes the temporary file unless commit() has renamed it.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Each returns false, with reason() set, on the first failure; later calls then do nothing.
  bool write(std::string_view bytes);
  // Flushes the bytes to the disk and closes the temporary file: all that can fail but the
  // rename.
  bool finish();
  // finish(), then renames the temporary file over the target.
  bool commit();
  // Refuses the write with `why`; the target stays as it was.
  bool refuse(std::string why);

  bool failed() const { return !reason_.empty(); }
  // The name as given, and the file a commit replaces or creates.
  const std::string& name() const { return name_; }
  const std::string& target() const { return target_; }
  // Why the replacement failed: the system's reason or a refusal, without the file's name.
  const std::string& reason() const { return reason_; }

 private:
  bool fail_with_errno();
  friend bool commit_all(std::span<AtomicFile* const> files);

  std::string name_;
  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  bool committed_ = false;
  std::string reason_;
};

// Commits several files all or none: each is finished before any is renamed, and when a rename
// fails, the targets already replaced get their old files back. False when any failed; that
// file's reason() says why.
bool commit_all(std::span<AtomicFile* const> files);

}  // namespace hexmap
