#include "tools/file_io.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace hexmap::tool {
namespace {

std::vector<std::filesystem::path>& input_list() {
  static std::vector<std::filesystem::path> files;
  return files;
}

}  // namespace

void note_input(const std::filesystem::path& file) {
  input_list().push_back(file);
}

const std::vector<std::filesystem::path>& inputs() {
  return input_list();
}

FileRead read_file(const std::filesystem::path& path) {
  note_input(path);
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    return {std::nullopt, path.string() + " is a folder"};
  std::ifstream in(path, std::ios::binary);
  if (!in) return {std::nullopt, "cannot read " + path.string() + ": " + std::strerror(errno)};
  std::string bytes;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<size_t>(in.gcount()));
    if (bytes.size() > kMaxInputBytes) return {std::nullopt, path.string() + " is too large"};
  }
  if (in.bad()) return {std::nullopt, "cannot read " + path.string()};
  return {std::move(bytes), {}};
}

}  // namespace hexmap::tool
