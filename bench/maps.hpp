// A terrain and a count only the search and flood benchmarks use (grid coordinates).
#pragma once

#include <algorithm>
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

inline int32_t count_flooded(const HEXAGON_MAP& map) {
  return static_cast<int32_t>(std::count_if(map.CELLS.begin(), map.CELLS.end(),
                                            [](const MAP_CELL& c) { return c.FLOOD > 0; }));
}

}  // namespace hexmap::bench_maps
