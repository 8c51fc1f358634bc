// What both of Tiled's file forms hold for an exported map: the layout, one tileset over the
// engine's sheet, the panels as map properties and one layer of gids per cell value.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/tmx_format.hpp"

namespace hexmap::tool {

// What Tiled 1.8 writes and reads.
inline constexpr const char* kTiledVersion = "1.8";
inline constexpr const char* kTransparentKey = "ff00ff";  // the engine's see-through colour

struct TiledExport {
  int32_t hex_width = 0;  // Tiled's tilewidth, map pixels
  int32_t hex_side = 0;
  int32_t tile_count = 0;  // of the tileset
  int32_t columns = 0;
  int32_t offset_y = 0;  // the tileset's drawing offset, screen pixels
  std::string tileset_name;
  std::vector<std::pair<std::string_view, int32_t>> properties;  // in the order written
  std::map<int32_t, int32_t> costs;                              // tile id -> its "cost" property
  std::vector<std::pair<std::string_view, std::vector<uint32_t>>> layers;  // bottom first
};

// Refuses values that have no form in a Tiled map, as write_tmx says.
Outcome<TiledExport> tiled_export(const MapDocument& map, const TmxSheet& sheet);

}  // namespace hexmap::tool
