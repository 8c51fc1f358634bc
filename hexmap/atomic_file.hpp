// Replacing a file so that readers, crashes and full disks see the old file or the new one
// whole, never a part: the bytes go to a temporary file in the same folder, which is flushed
// to the disk and then renamed over the target. Internal header: not installed.
#pragma once

#include <string>
#include <string_view>

namespace hexmap {

class AtomicFile {
 public:
  // Creates the temporary file beside `target`; failed() tells whether that worked.
  explicit AtomicFile(std::string target);
  // Removes the temporary file unless commit() has renamed it.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Each returns false, with error() set, on the first failure; later calls then do nothing.
  bool write(std::string_view bytes);
  // Flushes the bytes to the disk and renames the temporary file over the target.
  bool commit();

  bool failed() const { return !error_.empty(); }
  // Why the replacement failed, naming the file and the system's reason.
  const std::string& error() const { return error_; }

 private:
  bool fail(std::string_view what, const std::string& path);

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  bool committed_ = false;
  std::string error_;
};

}  // namespace hexmap
