// A user's program: the engine and the graphics layer through their public headers alone.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "hexmap/hex.hpp"
#include "hexmap/hexagon_map.hpp"
#include "hexmap/pathfinder.hpp"
#include "raster/raster.hpp"

#if __has_include("hexmap/search_buffers.hpp") || __has_include("raster/internal.hpp")
#error "internal headers are on the include path"
#endif

int main() {
  std::vector<std::string> log;
  hexmap::set_log_sink([&](std::string_view line) { log.emplace_back(line); });
  raster::select_backend(raster::Backend::headless);
  if (raster::screen_set_mode(64, 48) != 0) return 1;
  raster::draw_line(nullptr, 0, 0, 9, 0, 0xFFFFFFFF);  // screen pixels
  const raster::Color drawn = raster::headless::presented_frame()[5];

  hexmap::HEXAGON_MAP map;
  map.CREATE_MAP(8, 6);
  map.MAKE_SAMPLE_MAP(1);
  map.ASTAR_COMPUTE(hexmap::VECTOR2D(0, 0), hexmap::VECTOR2D(7, 5), 1000);
  const size_t ring = hexmap::hex_ring(hexmap::VECTOR2D(0, 0), 2).size();
  hexmap::Route route;
  hexmap::PathFinder(map).find_path(
      {0, 0}, {7, 5}, [](auto, auto, int32_t) { return 1; }, route);
  std::printf("path %s, %d steps, cheapest %lld; ring of %zu; first log line \"%s\"; pixel %08x\n",
              map.ASTAR_PATH_FOUND != 0 ? "found" : "missing", map.ASTAR_PATH_LENGTH,
              static_cast<long long>(route.cost), ring, log.front().c_str(), drawn);
  return 0;
}
