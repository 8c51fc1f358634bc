// Field of view against the flood over the same cells: radius 20 and 20 steps from 64 viewers on
// a 256 x 256 map with 15% opaque cells and walls on 4% of the sides (grid coordinates).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "hexmap/sight.hpp"
#include "tests/reference/test_maps.hpp"

namespace {

using hexmap::HEXAGON_MAP;
using hexmap::VECTOR2D;

constexpr int32_t kSize = 256;
constexpr int32_t kRadius = 20;
constexpr int32_t kViewers = 64;

struct Terrain {
  HEXAGON_MAP map;
  std::vector<VECTOR2D> viewers;
  Terrain() {
    hexmap::reference::make_open_map(map, kSize, kSize);
    std::mt19937 rng(2026);
    std::bernoulli_distribution opaque(0.15);
    // Three sides per cell cover every side once; a wall is set on both of its cells.
    std::bernoulli_distribution wall(0.04);
    for (int32_t y = 0; y < kSize; ++y) {
      for (int32_t x = 0; x < kSize; ++x) {
        if (opaque(rng)) map.ASTAR_CELLSETSOLID(x, y, -1);
        for (const int32_t d : {2, 3, 4}) {
          if (wall(rng)) hexmap::reference::wall_both_sides(map, x, y, d);
        }
      }
    }
    std::uniform_int_distribution<int32_t> at(kRadius, kSize - 1 - kRadius);
    while (viewers.size() < kViewers) {
      const VECTOR2D v(at(rng), at(rng));
      if (map.GET_ID(v).SOLID == 0) viewers.push_back(v);
    }
  }
};

Terrain& terrain() {
  static Terrain t;
  return t;
}

void field_of_view(benchmark::State& state) {
  Terrain& t = terrain();
  std::vector<VECTOR2D> visible;
  visible.reserve(3 * kRadius * (kRadius + 1) + 1);
  int64_t seen = 0;
  for (auto _ : state) {
    seen = 0;
    for (const VECTOR2D v : t.viewers) {
      hexmap::field_of_view(t.map, v, kRadius, visible);
      seen += static_cast<int64_t>(visible.size());
    }
    benchmark::DoNotOptimize(seen);
  }
  state.counters["cells_per_viewer"] = static_cast<double>(seen) / kViewers;
}

void flood(benchmark::State& state) {
  Terrain& t = terrain();
  for (auto _ : state) {
    for (const VECTOR2D v : t.viewers)
      t.map.FLOODMAP_COMPUTE(v, kRadius);
    benchmark::DoNotOptimize(t.map.CELLS[0].FLOOD);
  }
}

}  // namespace

// Times are for all 64 viewers; divide by 64 for one.
BENCHMARK(field_of_view)->Unit(benchmark::kMicrosecond);
BENCHMARK(flood)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
