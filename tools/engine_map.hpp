// Filling the engine's map object from a MapDocument, through the same operations that loading
// a map file uses, so that the engine applies its own rules (panel clamping and the like).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "tools/arguments.hpp"
#include "tools/map_document.hpp"

namespace hexmap::tool {

// The grid and every cell's ground, solid flag, walls, overlay and prop. Empty on success,
// else why the engine refused the grid.
std::string fill_cells(HEXAGON_MAP& map, const MapDocument& doc);

// Tiles from a BMP sheet, the overlap size and the panels; needs a screen. Empty on success,
// else why, with the engine's own last log line.
std::string load_tiles(HEXAGON_MAP& map, const MapDocument& doc,
                       const std::filesystem::path& bmp_sheet);

// Opens the headless screen that tile loading and drawing need. Empty on success.
std::string open_headless_screen(int32_t width, int32_t height);

// The cells of the last search's path from its start to its end, both included; empty when
// no path was found.
std::vector<GridCell> path_cells(const HEXAGON_MAP& map);

// "(x,y) is outside the W x H map", or empty when the cell is on the map.
std::string outside_map(const HEXAGON_MAP& map, GridCell cell);

}  // namespace hexmap::tool
