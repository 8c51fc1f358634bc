// Whole-file reads, each remembered as an input of the command.
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

// Every file this process has read as an input, through read_file() or noted here: the
// outputs must not replace any of them.
void note_input(const std::filesystem::path& file);
const std::vector<std::filesystem::path>& inputs();

}  // namespace hexmap::tool
