// Shared rules of the map's drawing operations: which tile ids may be drawn, and (through
// grid_size.hpp) when the grid can be read in place. Internal to the engine.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hexmap/grid_size.hpp"
#include "hexmap/hexagon_map.hpp"

namespace hexmap::detail {

// The image of tile `id`, or nullptr when id is no index of a loaded tile. TILE_COUNT and
// TILES are public fields, so both bound the index.
inline raster::Image* tile_image(const HEXAGON_MAP& map, int32_t id) {
  if (id < 0 || id >= map.TILE_COUNT || static_cast<size_t>(id) >= map.TILES.size()) {
    return nullptr;
  }
  return map.TILES[static_cast<size_t>(id)];
}

}  // namespace hexmap::detail
