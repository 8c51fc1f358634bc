// Flood map: the engine's breadth-first flood against the literal level-by-level passes, from
// the centre of the 1024 x 1024 maps (open, 25% without ground, serpentine of walls).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "bench/maps.hpp"
#include "hexmap/hexagon_map.hpp"
#include "tests/reference/search_reference.hpp"
#include "tests/reference/test_maps.hpp"

namespace {

using hexmap::HEXAGON_MAP;

constexpr int32_t kSize = 1024;

// One map per terrain and flood: the literal passes write FLOOD behind the engine's back, so
// the two never share a map.
HEXAGON_MAP& map_for(const std::string& terrain, bool literal) {
  static std::map<std::pair<std::string, bool>, std::unique_ptr<HEXAGON_MAP>> all;
  auto& slot = all[{terrain, literal}];
  if (!slot) {
    slot = std::make_unique<HEXAGON_MAP>();
    if (terrain == "open") {
      hexmap::reference::make_open_map(*slot, kSize, kSize);
    } else if (terrain == "holes") {
      hexmap::bench_maps::make_holed_map(*slot, kSize, 0.25, 12345);
    } else {
      hexmap::reference::make_maze_map(*slot, kSize);
    }
  }
  return *slot;
}

void breadth_first(benchmark::State& state, std::string terrain, int32_t steps) {
  HEXAGON_MAP& map = map_for(terrain, false);
  for (auto _ : state) {
    map.FLOODMAP_COMPUTE(kSize / 2, kSize / 2, steps);
    benchmark::DoNotOptimize(map.CELLS[kSize / 2].FLOOD);
  }
  state.counters["reached"] = hexmap::bench_maps::count_flooded(map);
}

void level_by_level(benchmark::State& state, std::string terrain, int32_t steps) {
  HEXAGON_MAP& map = map_for(terrain, true);
  for (auto _ : state) {
    hexmap::reference::Literal{map}.flood_compute(kSize / 2, kSize / 2, steps);
    benchmark::DoNotOptimize(map.CELLS[kSize / 2].FLOOD);
  }
  state.counters["reached"] = hexmap::bench_maps::count_flooded(map);
}

}  // namespace

int main(int argc, char** argv) {
  for (const char* terrain : {"open", "holes", "maze"}) {
    for (const int32_t steps : {10, 50, 200}) {
      const std::string name = std::string(terrain) + "/1024/steps" + std::to_string(steps);
      benchmark::RegisterBenchmark(("flood_bfs/" + name).c_str(), breadth_first,
                                   std::string(terrain), steps)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("flood_levels/" + name).c_str(), level_by_level,
                                   std::string(terrain), steps)
          ->Unit(benchmark::kMicrosecond);
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
