#include <iostream>
#include <limits>

#include "hexmap/pathfinder.hpp"
#include "tools/commands.hpp"
#include "tools/engine_map.hpp"
#include "tools/map_source.hpp"
#include "tools/terrain_costs.hpp"

namespace hexmap::tool {
namespace {

// Every cell may be expanded; the search itself bounds the work by the map's size.
constexpr int32_t kNoExpansionLimit = std::numeric_limits<int32_t>::max();

void print_cells_json(const std::vector<GridCell>& cells) {
  std::cout << "\"cells\": [";
  for (size_t i = 0; i < cells.size(); ++i)
    std::cout << (i ? ", " : "") << "[" << cells[i].x << ", " << cells[i].y << "]";
  std::cout << "]";
}
void print_cells_text(const std::vector<GridCell>& cells) {
  std::cout << "cells:";
  for (GridCell c : cells)
    std::cout << " (" << c.x << "," << c.y << ")";
  std::cout << "\n";
}

// The cheapest route by the ground costs.
void print_cheapest(const HEXAGON_MAP& map, GridCell from, GridCell to, const TerrainCosts& costs,
                    bool json) {
  PathFinder finder(map);
  Route route;
  const bool found = finder.find_path({from.x, from.y}, {to.x, to.y}, costs, route);
  std::vector<GridCell> cells;
  for (VECTOR2D p : route.cells)
    cells.push_back({p.X, p.Y});
  const int64_t steps = found ? static_cast<int64_t>(cells.size()) - 1 : 0;
  if (json) {
    std::cout << "{\"found\": " << (found ? "true" : "false") << ", \"length\": " << steps
              << ", \"cost\": " << (found ? std::to_string(route.cost) : "null") << ", ";
    print_cells_json(cells);
    std::cout << "}\n";
  } else {
    std::cout << "found: " << (found ? "yes" : "no") << "\nlength: " << steps
              << "\ncost: " << (found ? std::to_string(route.cost) : "none") << "\n";
    print_cells_text(cells);
  }
}

// The engine's A* search, ten per step.
void print_shortest(HEXAGON_MAP& map, GridCell from, GridCell to, bool json) {
  map.ASTAR_COMPUTE(from.x, from.y, to.x, to.y, kNoExpansionLimit);
  const std::vector<GridCell> cells = path_cells(map);
  const bool found = map.ASTAR_PATH_FOUND != 0;
  if (json) {
    std::cout << "{\"found\": " << (found ? "true" : "false")
              << ", \"length\": " << map.ASTAR_PATH_LENGTH
              << ", \"first_direction\": " << map.ASTAR_FIRST_DIRECTION << ", ";
    print_cells_json(cells);
    std::cout << "}\n";
  } else {
    std::cout << "found: " << (found ? "yes" : "no") << "\nlength: " << map.ASTAR_PATH_LENGTH
              << "\nfirst direction: " << map.ASTAR_FIRST_DIRECTION << "\n";
    print_cells_text(cells);
  }
}

}  // namespace

std::optional<int> load_for_search(const std::filesystem::path& file,
                                   std::initializer_list<GridCell> cells,
                                   const GroundCosts* overrides, HEXAGON_MAP& map,
                                   TerrainCosts& costs) {
  auto loaded = load_map(file);
  if (!loaded) {
    report(loaded.failure().reason);
    return kExitFailure;
  }
  if (std::string why = fill_cells(map, loaded->map); !why.empty()) {
    report(file.string() + ": " + why);
    return kExitFailure;
  }
  for (GridCell c : cells)
    if (std::string why = outside_map(map, c); !why.empty()) {
      report(why);
      return kExitUsage;
    }
  if (overrides == nullptr) return std::nullopt;
  auto table = terrain_costs(loaded->map, *overrides);
  if (!table) {
    report(file.string() + ": " + table.failure().reason);
    return kExitFailure;
  }
  costs = std::move(*table);
  return std::nullopt;
}

int run_path(const std::filesystem::path& file, GridCell from, GridCell to, bool json,
             const std::optional<GroundCosts>& costs) {
  HEXAGON_MAP map;
  TerrainCosts table;
  if (auto failed = load_for_search(file, {from, to}, costs ? &*costs : nullptr, map, table))
    return *failed;
  if (costs) {
    print_cheapest(map, from, to, table, json);
  } else {
    print_shortest(map, from, to, json);
  }
  return kExitOk;
}

}  // namespace hexmap::tool
