#include "tools/engine_map.hpp"

#include "raster/raster.hpp"

namespace hexmap::tool {

std::string fill_cells(HEXAGON_MAP& map, const MapDocument& doc) {
  map.CREATE_MAP(doc.width, doc.height);
  if (map.MAP_WIDTH != doc.width || map.MAP_HEIGHT != doc.height)
    return "the engine refused a grid of " + std::to_string(doc.width) + " x " +
           std::to_string(doc.height) + " cells";
  for (int32_t y = 0; y < doc.height; ++y)
    for (int32_t x = 0; x < doc.width; ++x) {
      const CellDocument& c = doc.cells[static_cast<size_t>(y) * static_cast<size_t>(doc.width) +
                                        static_cast<size_t>(x)];
      map.SET_ID_GROUND(x, y, c.ground);
      map.SET_ID_WALL(x, y, c.wall);
      map.SET_ID_OVERLAY(x, y, c.overlay);
      map.SET_ID_PROP(x, y, c.prop);
      map.ASTAR_CELLSETSOLID(x, y, c.solid);
    }
  return {};
}

std::string load_tiles(HEXAGON_MAP& map, const MapDocument& doc,
                       const std::filesystem::path& bmp_sheet) {
  // The engine says why it refuses a sheet in its log; the tool keeps the last line.
  std::string last_line;
  set_log_sink([&last_line](std::string_view line) { last_line = line; });
  map.LOAD_TILES(bmp_sheet.string(), doc.tile_width, doc.tile_height, doc.tile_count);
  set_log_sink({});
  if (map.TILE_COUNT < 1 || map.TILE_FILENAME != bmp_sheet.string())
    return "the engine could not cut tiles of " + std::to_string(doc.tile_width) + " x " +
           std::to_string(doc.tile_height) + " from " + bmp_sheet.string() + " (" + last_line + ")";
  map.SET_OVERLAP_SIZE(doc.box_width, doc.box_height);
  map.SET_SOLID_PANEL(doc.solid_panel);
  map.SET_FLOODMAP_PANEL(doc.flood_panel);
  map.SET_WALL_PANELS(doc.first_wall_panel);
  return {};
}

std::string open_headless_screen(int32_t width, int32_t height) {
  raster::select_backend(raster::Backend::headless);
  if (raster::screen_set_mode(width, height, 32) == 0) return {};
  return "cannot draw a picture of " + std::to_string(width) + " x " + std::to_string(height) +
         " pixels: " + std::string(raster::failure_reason());
}

std::vector<GridCell> path_cells(const HEXAGON_MAP& map) {
  std::vector<GridCell> cells;
  if (map.ASTAR_PATH_FOUND == 0) return cells;
  VECTOR2D p = map.ASTAR_START;
  cells.push_back({p.X, p.Y});
  // A traced path has ASTAR_PATH_LENGTH steps; the bound keeps a damaged trace finite.
  for (int32_t step = 0; step < map.ASTAR_PATH_LENGTH; ++step) {
    const int32_t index = p.Y * map.MAP_WIDTH + p.X;
    HEXAGON_MAP::MOVE_FORWARD(p, map.CELLS[static_cast<size_t>(index)].ASTAR_PATH_DIRECTION);
    cells.push_back({p.X, p.Y});
  }
  return cells;
}

std::string outside_map(const HEXAGON_MAP& map, GridCell cell) {
  if (map.INSIDE(cell.x, cell.y)) return {};
  return "(" + std::to_string(cell.x) + "," + std::to_string(cell.y) + ") is outside the " +
         std::to_string(map.MAP_WIDTH) + " x " + std::to_string(map.MAP_HEIGHT) + " map";
}

}  // namespace hexmap::tool
