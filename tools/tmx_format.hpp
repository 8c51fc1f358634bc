// Tiled maps (.tmx) and the engine's map, both ways. Tiled's staggered hexagonal layout with
// stagger axis x and odd index is the engine's layout: odd columns sit half a row lower.
// Pure functions: files other than the map itself are reached through callbacks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/map_document.hpp"
#include "tools/outcome.hpp"

namespace hexmap::tool {

struct ImageSize {
  int32_t width = 0;  // pixels
  int32_t height = 0;
};

// How the reader reaches the files a map refers to; each gives nothing when it cannot.
struct TmxSources {
  std::function<std::optional<std::string>(const std::filesystem::path&)> read_text;
  std::function<std::optional<ImageSize>(const std::filesystem::path&)> image_size;
};

// Colour of the tileset's see-through pixels as 0xRRGGBB, when the tileset names one.
using TransparentColour = std::optional<uint32_t>;

// Where one tile of an assembled sheet comes from: a tileset image and the tile's top-left
// corner in that image's pixels.
struct SheetPiece {
  std::filesystem::path image;
  TransparentColour transparent;
  int32_t x = 0;
  int32_t y = 0;
};

// The hexagon inside a tile, in the tile's pixels from its top-left corner: flat-topped,
// `width` wide, `height` high, its top and bottom sides `side` long.
struct HexShape {
  int32_t width = 0;
  int32_t height = 0;
  int32_t side = 0;
};

// A sheet put together from several tileset images, in tile order: tile i is cut from
// tiles[i], or left see-through when it has no piece.
struct SheetPlan {
  int32_t tile_width = 0;  // pixels
  int32_t tile_height = 0;
  std::vector<std::optional<SheetPiece>> tiles;
  // The converter draws the panels the map does not name: solid marker, flood tint and the six
  // wall bars, at these tile indices; -1 for one the map names itself.
  int32_t solid_panel = -1;
  int32_t flood_panel = -1;
  int32_t first_wall_panel = -1;
  HexShape hexagon;
};

struct TmxImport {
  MapDocument map;  // tile_filename is left to the caller, who places the sheet
  // The tileset image the engine draws as it is, resolved against its tileset's folder; empty
  // when the sheet is assembled by `packed`.
  std::filesystem::path sheet;
  TransparentColour transparent;
  std::optional<SheetPlan> packed;
  std::vector<Failure> warnings;  // what was left out, located as failures are
};

// Layer names, from the bottom up; walls are one layer per side in direction order.
inline constexpr std::string_view kGroundLayer = "ground";
inline constexpr std::string_view kWallLayers[6] = {
    "wall up", "wall up-right", "wall down-right", "wall down", "wall down-left", "wall up-left"};
inline constexpr std::string_view kSolidLayer = "solid";
inline constexpr std::string_view kOverlayLayer = "overlay";
inline constexpr std::string_view kPropLayer = "prop";

// Map properties for the values Tiled has no place for.
inline constexpr std::string_view kSolidPanelProperty = "solid panel";
inline constexpr std::string_view kFloodPanelProperty = "flood panel";
inline constexpr std::string_view kFirstWallPanelProperty = "first wall panel";
// Written only when the map's tile count is not the tileset's.
inline constexpr std::string_view kTileCountProperty = "number of tiles";
// Tile properties: a tile marked solid makes every cell showing it solid; a ground tile's cost.
inline constexpr std::string_view kSolidProperty = "solid";
inline constexpr std::string_view kCostProperty = "cost";

// Reads a .tmx text; `folder` is the map's own folder, against which relative names resolve.
// A failure names what is wrong and, where it can, the line of the map it is on.
Outcome<TmxImport> read_tmx(std::string_view xml, const std::filesystem::path& folder,
                            const TmxSources& sources);
// The same for Tiled's JSON form (.tmj, .json); failures name the JSON path of the value.
Outcome<TmxImport> read_tiled_json(std::string_view json, const std::filesystem::path& folder,
                                   const TmxSources& sources);

// The tileset image as the written map names it, and its pixel size.
struct TmxSheet {
  std::string source;  // relative to the .tmx file's folder, or absolute
  ImageSize size;
};

// Writes the map as .tmx text with CSV layer data and an embedded tileset. Refuses values that
// have no form in a Tiled map (a cell id outside the tileset, solid flags other than 0 and
// -1, wall bits beyond the six sides, an odd box height).
Outcome<std::string> write_tmx(const MapDocument& map, const TmxSheet& sheet);
// The same map in Tiled's JSON form (.tmj).
Outcome<std::string> write_tiled_json(const MapDocument& map, const TmxSheet& sheet);

}  // namespace hexmap::tool
