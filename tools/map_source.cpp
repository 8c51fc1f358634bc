#include "tools/map_source.hpp"

#include <stdlib.h>

#include <algorithm>
#include <iostream>
#include <map>

#include "raster/bmp.hpp"
#include "tools/file_io.hpp"
#include "tools/map_text.hpp"
#include "tools/output_file.hpp"
#include "tools/tile_panels.hpp"

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
  if (ext == ".tmj" || ext == ".json") return MapFormat::json;
  return std::nullopt;
}

Outcome<MapFormat> detect_format(const std::filesystem::path& file, std::string_view bytes) {
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  constexpr std::string_view kMapFileFirstLine = "- map property -";
  constexpr std::pair<std::string_view, std::string_view> kPictures[] = {
      {"\x89PNG\r\n\x1A\n", "PNG"}, {"BM", "BMP"}, {"GIF8", "GIF"}, {"\xFF\xD8\xFF", "JPEG"}};
  const std::string name = file.string();
  for (const auto& [magic, kind] : kPictures)
    if (bytes.starts_with(magic))
      return Failure{name + " is a " + std::string(kind) + " picture, not a map"};
  if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  const size_t first = bytes.find_first_not_of(" \t\r\n");
  if (first != std::string_view::npos && bytes[first] == '<') {
    if (bytes.find("<map") != std::string_view::npos) return MapFormat::tmx;
    if (bytes.find("<tileset") != std::string_view::npos)
      return Failure{name + " is a Tiled tileset, not a map"};
    return Failure{name + " is an XML file, not a map"};
  }
  if (first != std::string_view::npos && bytes[first] == '{') return MapFormat::json;
  if (bytes.find('\0') != std::string_view::npos)
    return Failure{name + " is not a map file (binary data)"};
  if (bytes.starts_with(kMapFileFirstLine) || format_of(file) == MapFormat::text)
    return MapFormat::text;
  return Failure{name + " is not a map: a map file starts with '" + std::string(kMapFileFirstLine) +
                 "', a Tiled map is XML or JSON"};
}

Outcome<LoadedMap> load_map(const std::filesystem::path& file) {
  const FileRead read = read_file(file);
  if (!read.bytes) return Failure{read.reason};
  auto format = detect_format(file, *read.bytes);
  if (!format) return format.failure();
  LoadedMap out;
  out.format = *format;
  if (*format != MapFormat::text) {
    const TmxSources sources{[](const std::filesystem::path& p) { return read_file(p).bytes; },
                             [](const std::filesystem::path& p) -> std::optional<ImageSize> {
                               const FileRead image = read_file(p);
                               if (!image.bytes) return std::nullopt;
                               return image_file_size(bytes_of(*image.bytes));
                             }};
    auto tiled = *format == MapFormat::tmx ? read_tmx(*read.bytes, folder_of(file), sources)
                                           : read_tiled_json(*read.bytes, folder_of(file), sources);
    if (!tiled) return located(file, tiled.failure());
    for (const Failure& warning : tiled->warnings)
      std::cerr << "hexmap: warning: " << located(file, warning).reason << "\n";
    out.map = std::move(tiled->map);
    out.sheet = std::move(tiled->sheet);
    out.transparent = tiled->transparent;
    out.packed = std::move(tiled->packed);
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

Outcome<Picture> read_picture_file(const std::filesystem::path& file) {
  if (is_png_name(file)) return read_png_file(file);
  const FileRead read = read_file(file);
  if (!read.bytes) return Failure{read.reason};
  raster::detail::Picture bmp;
  if (raster::detail::bmp_decode(bytes_of(*read.bytes), bmp) != 0)
    return Failure{file.string() + " is not a BMP picture the engine reads"};
  return Picture{bmp.width, bmp.height, std::move(bmp.pixels)};
}

ScratchFolder::ScratchFolder() {
  std::string name = (std::filesystem::temp_directory_path() / "hexmap-XXXXXX").string();
  if (mkdtemp(name.data())) path_ = name;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

Outcome<std::optional<Picture>> converted_sheet(const LoadedMap& loaded) {
  if (loaded.packed) {
    std::map<std::filesystem::path, Picture> decoded;
    const PictureSource source =
        [&decoded](const std::filesystem::path& image) -> Outcome<const Picture*> {
      if (const auto it = decoded.find(image); it != decoded.end()) return &it->second;
      auto picture = read_picture_file(image);
      if (!picture) return picture.failure();
      return &decoded.emplace(image, std::move(*picture)).first->second;
    };
    auto sheet = assemble_sheet(*loaded.packed, source);
    if (!sheet) return sheet.failure();
    return std::optional<Picture>(std::move(*sheet));
  }
  if (!is_png_name(loaded.sheet)) return std::optional<Picture>();
  auto picture = read_png_file(loaded.sheet);
  if (!picture) return picture.failure();
  return std::optional<Picture>(std::move(*picture));
}

Outcome<std::filesystem::path> engine_sheet(const LoadedMap& loaded, const ScratchFolder& scratch) {
  auto picture = converted_sheet(loaded);
  if (!picture) return picture.failure();
  if (!*picture) return loaded.sheet;
  if (scratch.path().empty()) return Failure{"cannot create a temporary folder"};
  const std::filesystem::path bmp = scratch.path() / "sheet.bmp";
  if (std::string why = write_file_atomically(bmp, encode_bmp_sheet(**picture, loaded.transparent));
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
