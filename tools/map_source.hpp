// Reading a map from a file of any of its forms, told apart by content, and finding its sheet.
#pragma once

#include <filesystem>
#include <optional>

#include "tools/map_document.hpp"
#include "tools/outcome.hpp"
#include "tools/picture.hpp"
#include "tools/tmx_format.hpp"

namespace hexmap::tool {

enum class MapFormat { text, tmx, json };
// By extension, for files to write: ".txt" a map file, ".tmx" a Tiled map, ".tmj" and ".json"
// Tiled's JSON form; anything else is none.
std::optional<MapFormat> format_of(const std::filesystem::path& file);
// By content, for files read: XML, JSON or a map file's first line; else why `file` is no map
// ("FILE is a PNG picture, not a map").
Outcome<MapFormat> detect_format(const std::filesystem::path& file, std::string_view bytes);
// Whether a sheet is a PNG picture, by its extension (the engine reads BMP sheets only).
bool is_png_name(const std::filesystem::path& file);
// The folder a file name is relative to: its parent, or "." for a bare name.
std::filesystem::path folder_of(const std::filesystem::path& file);

struct LoadedMap {
  MapFormat format = MapFormat::text;
  MapDocument map;
  // The tile sheet's file. The tool resolves a map file's relative sheet name against the map
  // file's folder, as a program run from that folder would.
  std::filesystem::path sheet;
  TransparentColour transparent;    // from a Tiled tileset's see-through colour
  std::optional<SheetPlan> packed;  // the sheet assembled from several Tiled tileset images
};

// A failure's reason is complete: "FILE:LINE: why" or "FILE: why". What a Tiled map loses on
// the way is said on standard error, one "hexmap: warning: FILE:LINE: what" line each.
Outcome<LoadedMap> load_map(const std::filesystem::path& file);

// The picture of a sheet that is not a BMP the engine can read as it is: a PNG sheet's, or
// the one assembled from several tileset images; nothing for a BMP sheet.
Outcome<std::optional<Picture>> converted_sheet(const LoadedMap& loaded);

// The sheet's pixel size from its header.
Outcome<ImageSize> sheet_size(const std::filesystem::path& sheet);

// A PNG file's pixels.
Outcome<Picture> read_png_file(const std::filesystem::path& file);
// A PNG or BMP file's pixels, told apart by the extension.
Outcome<Picture> read_picture_file(const std::filesystem::path& file);

// A temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The sheet as the engine can load it: the BMP itself, or a BMP copy of a PNG sheet written
// into `scratch`.
Outcome<std::filesystem::path> engine_sheet(const LoadedMap& loaded, const ScratchFolder& scratch);

// `target` as a name relative to `folder` when both are relative or both absolute.
std::string relative_name(const std::filesystem::path& target, const std::filesystem::path& folder);

}  // namespace hexmap::tool
