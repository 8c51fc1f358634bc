// Writing the tool's results: whole files or none, through the engine's atomic writer, never
// over an input of the command, a device, a folder or a picture hexmap did not write.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace hexmap::tool {

// The name that means standard output where a format allows it.
inline constexpr std::string_view kStandardOutput = "-";

// A file to write; a tile sheet is replaced only when hexmap wrote the old one, when it holds
// the same bytes, or with `force_sheet`.
struct PendingFile {
  std::filesystem::path path;
  std::string bytes;
  bool is_sheet = false;
  bool force_sheet = false;
};

// Writes each file beside its target, then renames all of them, all or none. Empty on success,
// else "cannot write NAME: why"; then every target is as it was and no temporary file remains.
std::string write_files_atomically(const std::vector<PendingFile>& files);
std::string write_file_atomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace hexmap::tool
