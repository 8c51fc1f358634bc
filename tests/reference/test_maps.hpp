// Maps and small helpers shared by the search tests and benchmarks (grid coordinates).
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "hexmap/hexagon_map.hpp"

namespace hexmap::reference {

// A silent width x height map with ground everywhere.
inline void make_open_map(HEXAGON_MAP& map, int32_t width, int32_t height) {
  map.LOG_OFF();
  map.CREATE_MAP(width, height);
  for (MAP_CELL& c : map.CELLS)
    c.ID_GROUND = 1;
}

// Ground everywhere except a share of cells picked with a fixed seed.
inline void make_holed_map(HEXAGON_MAP& map, int32_t size, double hole_share, uint32_t seed) {
  make_open_map(map, size, size);
  std::mt19937 rng(seed);
  std::bernoulli_distribution hole(hole_share);
  for (MAP_CELL& c : map.CELLS) {
    if (hole(rng)) c.ID_GROUND = 0;
  }
}

// Walls on both cells of the edge between (x, y) and its neighbour in direction d.
inline void wall_both_sides(HEXAGON_MAP& map, int32_t x, int32_t y, int32_t d) {
  const int32_t nx = HEXAGON_MAP::ADJACENT_X(x, y, d);
  const int32_t ny = HEXAGON_MAP::ADJACENT_Y(x, y, d);
  map.SET_ID_WALL(x, y, map.GET_ID_WALL(x, y) | (1 << d));
  if (map.INSIDE(nx, ny) != 0) {
    map.SET_ID_WALL(nx, ny, map.GET_ID_WALL(nx, ny) | (1 << ((d + 3) % 6)));
  }
}

// A serpentine: every fourth row is cut off from the row below by a wall line across the whole
// map but for a gap of two columns, at the right and left end in turn.
inline void make_maze_map(HEXAGON_MAP& map, int32_t size) {
  make_open_map(map, size, size);
  bool gap_right = true;
  for (int32_t y = 3; y + 1 < size; y += 4) {
    for (int32_t x = 0; x < size; ++x) {
      const bool in_gap = gap_right ? x >= size - 2 : x < 2;
      if (in_gap) continue;
      // Seal every side between row y and the row below: down, and from odd columns (half a
      // row lower) also both downward diagonals.
      wall_both_sides(map, x, y, 3);
      if ((x & 1) != 0) {
        wall_both_sides(map, x, y, 2);
        wall_both_sides(map, x, y, 4);
      }
    }
    gap_right = !gap_right;
  }
}

// Directions of the traced path, followed from the start cell; at most cell-count steps.
inline std::vector<int32_t> path_directions(const HEXAGON_MAP& map) {
  std::vector<int32_t> out;
  if (map.ASTAR_START_INDEX < 0 || map.ASTAR_START_INDEX >= map.CELL_COUNT) return out;
  VECTOR2D p = map.CELLS[static_cast<size_t>(map.ASTAR_START_INDEX)].POSITION;
  for (int32_t guard = 0; guard < map.CELL_COUNT && map.INSIDE(p) != 0; ++guard) {
    const int32_t d = map.GET_ID(p).ASTAR_PATH_DIRECTION;
    if (d == -1) break;
    out.push_back(d);
    HEXAGON_MAP::MOVE_FORWARD(p, d);
  }
  return out;
}

inline int32_t count_list(const HEXAGON_MAP& map, int32_t mark) {
  int32_t n = 0;
  for (const MAP_CELL& c : map.CELLS)
    n += c.ASTAR_LIST == mark ? 1 : 0;
  return n;
}

inline int32_t count_flooded(const HEXAGON_MAP& map) {
  int32_t n = 0;
  for (const MAP_CELL& c : map.CELLS)
    n += c.FLOOD > 0 ? 1 : 0;
  return n;
}

}  // namespace hexmap::reference
