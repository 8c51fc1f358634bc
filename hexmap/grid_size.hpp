// The one guard of every operation that reads the cells by grid position.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hexmap/hexagon_map.hpp"

namespace hexmap::detail {

// The size fields are public and writable: the cells are read by row-major index only while
// MAP_WIDTH x MAP_HEIGHT, CELL_COUNT and the cells all agree.
inline bool size_fields_match(const HEXAGON_MAP& map) {
  return map.MAP_WIDTH > 0 && map.MAP_HEIGHT > 0 &&
         int64_t{map.MAP_WIDTH} * map.MAP_HEIGHT == map.CELL_COUNT &&
         map.CELLS.size() == static_cast<size_t>(map.CELL_COUNT);
}

}  // namespace hexmap::detail
