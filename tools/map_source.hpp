// Reading a map from a file of either format, chosen by its extension, and finding its sheet.
#pragma once

#include <filesystem>
#include <optional>

#include "tools/map_document.hpp"
#include "tools/outcome.hpp"
#include "tools/picture.hpp"
#include "tools/tmx_format.hpp"

namespace hexmap::tool {

enum class MapFormat { text, tmx };
// ".txt" is a map file, ".tmx" a Tiled map; anything else is neither.
std::optional<MapFormat> format_of(const std::filesystem::path& file);
// Whether a sheet is a PNG picture, by its extension (the engine reads BMP sheets only).
bool is_png_name(const std::filesystem::path& file);
// The folder a file name is relative to: its parent, or "." for a bare name.
std::filesystem::path folder_of(const std::filesystem::path& file);

struct LoadedMap {
  MapDocument map;
  // The tile sheet's file. The tool resolves a map file's relative sheet name against the map
  // file's folder, as a program run from that folder would.
  std::filesystem::path sheet;
  TransparentColour transparent;  // from a Tiled tileset's see-through colour
};

// A failure's reason is complete: "FILE:LINE: why" or "FILE: why".
Outcome<LoadedMap> load_map(const std::filesystem::path& file);

// The sheet's pixel size from its header.
Outcome<ImageSize> sheet_size(const std::filesystem::path& sheet);

// A PNG file's pixels.
Outcome<Picture> read_png_file(const std::filesystem::path& file);

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
