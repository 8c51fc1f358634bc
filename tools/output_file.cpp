#include "tools/output_file.hpp"

#include <fstream>
#include <iterator>
#include <memory>

#include "hexmap/atomic_file.hpp"
#include "tools/file_io.hpp"
#include "tools/picture.hpp"

namespace hexmap::tool {
namespace {

bool is_input(const std::string& target) {
  const std::optional<FileId> id = file_id(target);
  if (!id) return false;
  for (const std::filesystem::path& input : inputs())
    if (file_id(input.string()) == id) return true;
  return false;
}

// Why the old sheet at `target` must stay; empty when hexmap wrote it or it would not change.
std::string sheet_refusal(const std::string& target, const std::string& bytes) {
  if (!file_id(target)) return {};
  std::error_code error;
  if (!std::filesystem::is_regular_file(target, error)) return {};  // the writer says why
  // Read without noting it as an input: it is the one file this write may replace.
  std::ifstream in(target, std::ios::binary);
  const std::string old{std::istreambuf_iterator<char>(in), {}};
  if (old == bytes || is_converted_sheet(old)) return {};
  return "it is a picture hexmap did not write (--force replaces it)";
}

}  // namespace

std::string write_files_atomically(const std::vector<PendingFile>& files) {
  std::vector<std::unique_ptr<AtomicFile>> writers;
  std::vector<AtomicFile*> all;
  for (const PendingFile& f : files) {
    auto& file = *writers.emplace_back(std::make_unique<AtomicFile>(f.path.string()));
    all.push_back(&file);
    if (!file.failed() && is_input(file.target())) file.refuse("it is an input of this command");
    if (!file.failed() && f.is_sheet && !f.force_sheet)
      if (std::string why = sheet_refusal(file.target(), f.bytes); !why.empty())
        file.refuse(std::move(why));
    file.write(f.bytes);
    if (file.failed()) return "cannot write " + file.name() + ": " + file.reason();
  }
  if (commit_all(all)) return {};
  for (const AtomicFile* file : all)
    if (file->failed()) return "cannot write " + file->name() + ": " + file->reason();
  return "cannot write the files";
}

std::string write_file_atomically(const std::filesystem::path& path, std::string_view bytes) {
  return write_files_atomically({{path, std::string(bytes)}});
}

}  // namespace hexmap::tool
