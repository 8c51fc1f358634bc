#include "tools/map_source.hpp"

#include <stdlib.h>

#include <algorithm>

#include "tools/file_io.hpp"
#include "tools/map_text.hpp"
#include "tools/output_file.hpp"

namespace hexmap::tool {
namespace {

std::span<const uint8_t> bytes_of(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

Failure located(const std::filesystem::path& file, const Failure& f) {
  std::string where = file.string();
  if (f.line > 0) where += ":" + std::to_string(f.line);
  return Failure{where + ": " + f.reason, f.line};
}

std::string lowercase_extension(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

}  // namespace

std::filesystem::path folder_of(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

bool is_png_name(const std::filesystem::path& file) {
  return lowercase_extension(file) == ".png";
}

std::optional<MapFormat> format_of(const std::filesystem::path& file) {
  const std::string ext = lowercase_extension(file);
  if (ext == ".txt") return MapFormat::text;
  if (ext == ".tmx") return MapFormat::tmx;
  return std::nullopt;
}

Outcome<LoadedMap> load_map(const std::filesystem::path& file) {
  const FileRead read = read_file(file);
  if (!read.bytes) return Failure{read.reason};
  LoadedMap out;
  if (format_of(file) == MapFormat::tmx) {
    const TmxSources sources{[](const std::filesystem::path& p) { return read_file(p).bytes; },
                             [](const std::filesystem::path& p) -> std::optional<ImageSize> {
                               const FileRead image = read_file(p);
                               if (!image.bytes) return std::nullopt;
                               return image_file_size(bytes_of(*image.bytes));
                             }};
    auto tmx = read_tmx(*read.bytes, folder_of(file), sources);
    if (!tmx) return located(file, tmx.failure());
    out.map = std::move(tmx->map);
    out.sheet = std::move(tmx->sheet);
    out.transparent = tmx->transparent;
    return out;
  }
  auto text = parse_map_text(*read.bytes);
  if (!text) return located(file, text.failure());
  out.map = std::move(*text);
  out.sheet = folder_of(file) / out.map.tile_filename;
  return out;
}

Outcome<ImageSize> sheet_size(const std::filesystem::path& sheet) {
  const FileRead read = read_file(sheet);
  if (!read.bytes) return Failure{"tile sheet " + read.reason};
  const std::optional<ImageSize> size = image_file_size(bytes_of(*read.bytes));
  if (!size) return Failure{"tile sheet " + sheet.string() + " is not a BMP or PNG picture"};
  return *size;
}

Outcome<Picture> read_png_file(const std::filesystem::path& file) {
  const FileRead read = read_file(file);
  if (!read.bytes) return Failure{read.reason};
  auto picture = decode_png(bytes_of(*read.bytes));
  if (!picture) return Failure{file.string() + ": " + picture.failure().reason};
  return picture;
}

ScratchFolder::ScratchFolder() {
  std::string name = (std::filesystem::temp_directory_path() / "hexmap-XXXXXX").string();
  if (mkdtemp(name.data())) path_ = name;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

Outcome<std::filesystem::path> engine_sheet(const LoadedMap& loaded, const ScratchFolder& scratch) {
  if (!is_png_name(loaded.sheet)) return loaded.sheet;
  if (scratch.path().empty()) return Failure{"cannot create a temporary folder"};
  auto picture = read_png_file(loaded.sheet);
  if (!picture) return picture.failure();
  const std::filesystem::path bmp = scratch.path() / "sheet.bmp";
  if (std::string why = write_file_atomically(bmp, encode_bmp_sheet(*picture, loaded.transparent));
      !why.empty())
    return Failure{why};
  return bmp;
}

std::string relative_name(const std::filesystem::path& target,
                          const std::filesystem::path& folder) {
  const std::filesystem::path from = std::filesystem::absolute(folder).lexically_normal();
  const std::filesystem::path to = std::filesystem::absolute(target).lexically_normal();
  const std::filesystem::path rel = to.lexically_relative(from);
  return rel.empty() ? to.string() : rel.generic_string();
}

}  // namespace hexmap::tool
