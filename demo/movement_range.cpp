#include "demo/movement_range.hpp"

#include <algorithm>

#include "demo/assets/assets.hpp"

namespace demo {
namespace {

void set_flood(hexmap::HEXAGON_MAP& map, hexmap::VECTOR2D cell, int32_t flood) {
  hexmap::MAP_CELL c = map.GET_ID(cell);
  if (c.FLOOD == flood) return;
  c.FLOOD = flood;
  map.SET_ID(cell, c);
}

}  // namespace

hexmap::TerrainCosts demo_terrain_costs() {
  hexmap::TerrainCosts costs{std::vector<int32_t>(assets::kTileCount, 0)};
  const auto cost = [&costs](assets::Tile ground, int32_t c) { costs.by_ground[ground] = c; };
  cost(assets::kCobbles, 1);  // the road
  cost(assets::kDirt, 1);
  cost(assets::kGrass, 2);
  cost(assets::kMeadow, 2);
  cost(assets::kMoss, 2);
  cost(assets::kFlowers, 3);
  cost(assets::kSand, 3);
  cost(assets::kDunes, 4);
  return costs;
}

void MovementRange::show(hexmap::HEXAGON_MAP& map, hexmap::VECTOR2D hero) {
  finder_.reachable(hero, kRangeBudget, costs_, reach_);
  const auto by_row = [](const hexmap::Reach& a, const hexmap::Reach& b) {
    return a.cell.Y != b.cell.Y ? a.cell.Y < b.cell.Y : a.cell.X < b.cell.X;
  };
  for (const hexmap::Reach& r : marked_)  // both lists run row by row
    if (!std::binary_search(reach_.begin(), reach_.end(), r, by_row)) set_flood(map, r.cell, 0);
  for (const hexmap::Reach& r : reach_)
    set_flood(map, r.cell, 1);
  marked_.swap(reach_);
}

void MovementRange::hide(hexmap::HEXAGON_MAP& map) {
  for (const hexmap::Reach& r : marked_)
    set_flood(map, r.cell, 0);
  marked_.clear();
}

}  // namespace demo
