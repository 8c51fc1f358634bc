// The cost of entering each ground, for the cost-aware commands: the map's own (a Tiled
// tile's `cost`; 1 for a ground without one), with the command line's GROUND=COST pairs over
// them. A cost of 0 bars a ground.
#pragma once

#include "hexmap/pathfinder.hpp"
#include "tools/arguments.hpp"
#include "tools/map_document.hpp"
#include "tools/outcome.hpp"

namespace hexmap::tool {

Outcome<TerrainCosts> terrain_costs(const MapDocument& map, const GroundCosts& overrides);

}  // namespace hexmap::tool
