// A map as its files describe it: the header values and, per cell, the stored ids. The tool's
// readers produce it and its writers consume it; the engine is filled from it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace hexmap::tool {

// The dearest step a ground may cost, wherever its cost comes from (a Tiled tile's "cost"
// property or the command line): a route's total stays far inside int64.
inline constexpr int32_t kMaxStepCost = 1'000'000;

struct CellDocument {
  int32_t ground = 0;
  int32_t solid = 0;  // -1 = solid; other values are kept as they are
  int32_t wall = 0;   // bit d = wall on side d
  int32_t overlay = 0;
  int32_t prop = 0;

  friend bool operator==(const CellDocument&, const CellDocument&) = default;
};

struct MapDocument {
  int32_t width = 0;   // columns
  int32_t height = 0;  // rows
  std::string tile_filename;
  int32_t tile_width = 0;  // pixels
  int32_t tile_height = 0;
  int32_t tile_count = 0;
  int32_t box_width = 0;   // map pixels between column origins
  int32_t box_height = 0;  // map pixels between row origins
  int32_t solid_panel = 0;
  int32_t flood_panel = 0;
  int32_t first_wall_panel = 0;
  std::vector<CellDocument> cells;  // row after row: (x, y) at y * width + x
  // ground id -> movement cost from a tile's "cost" property; absent ids cost 1
  std::map<int32_t, int32_t> ground_costs;

  friend bool operator==(const MapDocument&, const MapDocument&) = default;
};

}  // namespace hexmap::tool
