#include "tools/terrain_costs.hpp"

#include <algorithm>
#include <string>

namespace hexmap::tool {
namespace {

constexpr int32_t kDefaultCost = 1;  // a ground whose tile names no cost

}  // namespace

Outcome<TerrainCosts> terrain_costs(const MapDocument& map, const GroundCosts& overrides) {
  int32_t highest = 0;
  for (const CellDocument& c : map.cells)
    highest = std::max(highest, c.ground);
  for (const GroundCosts* costs : {&map.ground_costs, &overrides})
    if (!costs->empty()) highest = std::max(highest, costs->rbegin()->first);
  // A table entry per ground id up to the highest: an absurd id must not size it.
  if (highest > kMaxCostedGround)
    return Failure{"ground " + std::to_string(highest) +
                   " is beyond the cost table (grounds 1 to " + std::to_string(kMaxCostedGround) +
                   ")"};
  TerrainCosts out{std::vector<int32_t>(static_cast<size_t>(highest) + 1, kDefaultCost)};
  out.by_ground[0] = 0;  // no ground: never entered anyway
  for (const GroundCosts* costs : {&map.ground_costs, &overrides})
    for (const auto& [ground, cost] : *costs)
      if (ground > 0) out.by_ground[static_cast<size_t>(ground)] = cost;
  return out;
}

}  // namespace hexmap::tool
