// Terrains the search and flood benchmarks run on (grid coordinates).
#pragma once

#include <cstdint>
#include <random>

#include "hexmap/hexagon_map.hpp"
#include "tests/reference/test_maps.hpp"

namespace hexmap::bench_maps {

// Ground everywhere except a share of cells picked with a fixed seed.
inline void make_holed_map(HEXAGON_MAP& map, int32_t size, double hole_share, uint32_t seed) {
  reference::make_open_map(map, size, size);
  std::mt19937 rng(seed);
  std::bernoulli_distribution hole(hole_share);
  for (MAP_CELL& c : map.CELLS) {
    if (hole(rng)) c.ID_GROUND = 0;
  }
}

// A serpentine: every fourth row is cut off from the row below by a wall line across the whole
// map but for a gap of two columns, at the right and left end in turn.
inline void make_maze_map(HEXAGON_MAP& map, int32_t size) {
  reference::make_open_map(map, size, size);
  bool gap_right = true;
  for (int32_t y = 3; y + 1 < size; y += 4) {
    for (int32_t x = 0; x < size; ++x) {
      const bool in_gap = gap_right ? x >= size - 2 : x < 2;
      if (in_gap) continue;
      // Seal every side between row y and the row below: down, and from odd columns (half a
      // row lower) also both downward diagonals.
      reference::wall_both_sides(map, x, y, 3);
      if ((x & 1) != 0) {
        reference::wall_both_sides(map, x, y, 2);
        reference::wall_both_sides(map, x, y, 4);
      }
    }
    gap_right = !gap_right;
  }
}

}  // namespace hexmap::bench_maps
