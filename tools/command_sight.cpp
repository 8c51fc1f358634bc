#include <iostream>
#include <vector>

#include "hexmap/sight.hpp"
#include "tools/commands.hpp"

namespace hexmap::tool {

int run_sight(const std::filesystem::path& file, GridCell viewer, int32_t radius, bool json) {
  HEXAGON_MAP map;
  TerrainCosts no_costs;
  if (auto failed = load_for_search(file, {viewer}, nullptr, map, no_costs)) return *failed;
  std::vector<VECTOR2D> cells;
  field_of_view(map, VECTOR2D(viewer.x, viewer.y), radius, cells);
  if (json) {
    std::cout << "{\"viewer\": [" << viewer.x << ", " << viewer.y << "], \"radius\": " << radius
              << ", \"cells\": [";
    for (size_t i = 0; i < cells.size(); ++i)
      std::cout << (i ? ", " : "") << "[" << cells[i].X << ", " << cells[i].Y << "]";
    std::cout << "]}\n";
  } else {
    std::cout << "seen: " << cells.size() << " cells\ncells:";
    for (VECTOR2D c : cells)
      std::cout << " " << c;
    std::cout << "\n";
  }
  return kExitOk;
}

}  // namespace hexmap::tool
