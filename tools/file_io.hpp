// Whole-file reads and writes that never leave a partial file behind.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hexmap::tool {

// Largest input file the tool reads: far above any real map, far below the memory it has.
inline constexpr size_t kMaxInputBytes = size_t{1} << 30;

// The file's bytes, or the reason they could not be read.
struct FileRead {
  std::optional<std::string> bytes;
  std::string reason;
};
FileRead read_file(const std::filesystem::path& path);

// Writes to a temporary file beside `path` and renames it over `path`. Empty on success,
// else the reason; then `path` is as it was and no temporary file remains.
std::string write_file_atomically(const std::filesystem::path& path, std::string_view bytes);

// Several files, all or none: each is written beside its target first, then all are renamed;
// when a rename fails, the targets already replaced are put back as they were.
struct PendingFile {
  std::filesystem::path path;
  std::string bytes;
};
std::string write_files_atomically(const std::vector<PendingFile>& files);

}  // namespace hexmap::tool
