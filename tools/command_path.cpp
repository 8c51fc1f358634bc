#include <iostream>
#include <limits>

#include "tools/commands.hpp"
#include "tools/engine_map.hpp"
#include "tools/map_source.hpp"

namespace hexmap::tool {
namespace {

// Every cell may be expanded; the search itself bounds the work by the map's size.
constexpr int32_t kNoExpansionLimit = std::numeric_limits<int32_t>::max();

}  // namespace

int run_path(const std::filesystem::path& file, GridCell from, GridCell to, bool json) {
  auto loaded = load_map(file);
  if (!loaded) {
    report(loaded.failure().reason);
    return kExitFailure;
  }
  HEXAGON_MAP map;
  if (std::string why = fill_cells(map, loaded->map); !why.empty()) {
    report(file.string() + ": " + why);
    return kExitFailure;
  }
  for (GridCell c : {from, to})
    if (std::string why = outside_map(map, c); !why.empty()) {
      report(why);
      return kExitUsage;
    }
  map.ASTAR_COMPUTE(from.x, from.y, to.x, to.y, kNoExpansionLimit);
  const std::vector<GridCell> cells = path_cells(map);
  const bool found = map.ASTAR_PATH_FOUND != 0;
  if (json) {
    std::cout << "{\"found\": " << (found ? "true" : "false")
              << ", \"length\": " << map.ASTAR_PATH_LENGTH
              << ", \"first_direction\": " << map.ASTAR_FIRST_DIRECTION << ", \"cells\": [";
    for (size_t i = 0; i < cells.size(); ++i)
      std::cout << (i ? ", " : "") << "[" << cells[i].x << ", " << cells[i].y << "]";
    std::cout << "]}\n";
  } else {
    std::cout << "found: " << (found ? "yes" : "no") << "\nlength: " << map.ASTAR_PATH_LENGTH
              << "\nfirst direction: " << map.ASTAR_FIRST_DIRECTION << "\ncells:";
    for (GridCell c : cells)
      std::cout << " (" << c.x << "," << c.y << ")";
    std::cout << "\n";
  }
  return kExitOk;
}

}  // namespace hexmap::tool
