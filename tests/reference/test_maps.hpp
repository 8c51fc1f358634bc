// Maps and small helpers shared by the search tests and benchmarks (grid coordinates).
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "hexmap/directions.hpp"
#include "hexmap/hexagon_map.hpp"

namespace hexmap::reference {

// A silent width x height map with ground everywhere.
inline void make_open_map(HEXAGON_MAP& map, int32_t width, int32_t height) {
  map.LOG_OFF();
  map.CREATE_MAP(width, height);
  for (MAP_CELL& c : map.CELLS)
    c.ID_GROUND = 1;
}

// Walls on both cells of the edge between (x, y) and its neighbour in direction d.
inline void wall_both_sides(HEXAGON_MAP& map, int32_t x, int32_t y, int32_t d) {
  const int32_t nx = HEXAGON_MAP::ADJACENT_X(x, y, d);
  const int32_t ny = HEXAGON_MAP::ADJACENT_Y(x, y, d);
  map.SET_ID_WALL(x, y, map.GET_ID_WALL(x, y) | (1 << d));
  if (map.INSIDE(nx, ny) != 0) {
    map.SET_ID_WALL(nx, ny, map.GET_ID_WALL(nx, ny) | (1 << opposite(d)));
  }
}

// A serpentine: every fourth row is cut off from the row below by walls on both sides, but for
// a gap of two columns at the right and the left end in turn.
inline void make_maze_map(HEXAGON_MAP& map, int32_t size) {
  make_open_map(map, size, size);
  for (int32_t y = 3; y + 1 < size; y += 4) {
    const bool gap_right = y % 8 == 3;
    for (int32_t x = gap_right ? 0 : 2; x < (gap_right ? size - 2 : size); ++x) {
      // Down, and from odd columns (half a row lower) also both downward diagonals.
      for (const int32_t d : {3, 2, 4}) {
        if (d == 3 || (x & 1) != 0) wall_both_sides(map, x, y, d);
      }
    }
  }
}

// Directions of the traced path, followed from the start cell; at most cell-count steps.
inline std::vector<int32_t> path_directions(const HEXAGON_MAP& map) {
  std::vector<int32_t> out;
  for (VECTOR2D p = map.ASTAR_START; map.INSIDE(p) != 0 && out.size() < map.CELLS.size();) {
    const int32_t d = map.GET_ID(p).ASTAR_PATH_DIRECTION;
    if (d == -1) break;
    out.push_back(d);
    HEXAGON_MAP::MOVE_FORWARD(p, d);
  }
  return out;
}

inline int32_t count_list(const HEXAGON_MAP& map, int32_t mark) {
  return static_cast<int32_t>(std::count_if(
      map.CELLS.begin(), map.CELLS.end(), [&](const MAP_CELL& c) { return c.ASTAR_LIST == mark; }));
}
}  // namespace hexmap::reference
