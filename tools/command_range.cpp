#include <iostream>

#include "hexmap/pathfinder.hpp"
#include "tools/commands.hpp"

namespace hexmap::tool {

int run_range(const std::filesystem::path& file, GridCell origin, int64_t budget,
              const GroundCosts& overrides, bool json) {
  HEXAGON_MAP map;
  TerrainCosts costs;
  if (auto failed = load_for_search(file, {origin}, &overrides, map, costs)) return *failed;
  PathFinder finder(map);
  std::vector<Reach> reach;
  finder.reachable({origin.x, origin.y}, budget, costs, reach);
  if (json) {
    std::cout << "{\"from\": [" << origin.x << ", " << origin.y << "], \"budget\": " << budget
              << ", \"cells\": [";
    for (size_t i = 0; i < reach.size(); ++i)
      std::cout << (i ? ", " : "") << "[" << reach[i].cell.X << ", " << reach[i].cell.Y << ", "
                << reach[i].cost << "]";
    std::cout << "]}\n";
  } else {
    std::cout << reach.size() << " cells within " << budget << " of (" << origin.x << ","
              << origin.y << "), each with its cost:\n";
    for (const Reach& r : reach)
      std::cout << "(" << r.cell.X << "," << r.cell.Y << ") " << r.cost << "\n";
  }
  return kExitOk;
}

}  // namespace hexmap::tool
