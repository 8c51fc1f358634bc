// The hero's movement range, shown with F3: every cell it can reach for a budget of kRangeBudget
// by the demo's terrain costs, marked as flooded (FLOOD 1) for the map's flood display. Water,
// trees and walls stay barred as for the walkers. Grid coordinates.
#pragma once

#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "hexmap/pathfinder.hpp"

namespace demo {

inline constexpr int64_t kRangeBudget = 12;

// The cost of entering each of the demo's grounds: the road cheapest, dunes dearest.
hexmap::TerrainCosts demo_terrain_costs();

class MovementRange {
 public:
  explicit MovementRange(const hexmap::HEXAGON_MAP& map) : finder_(map) {}
  // Marks the range around `hero` and clears the marks of cells that left it.
  void show(hexmap::HEXAGON_MAP& map, hexmap::VECTOR2D hero);
  // Clears every mark.
  void hide(hexmap::HEXAGON_MAP& map);

 private:
  hexmap::PathFinder finder_;
  hexmap::TerrainCosts costs_ = demo_terrain_costs();
  std::vector<hexmap::Reach> reach_;
  std::vector<hexmap::Reach> marked_;
};

}  // namespace demo
