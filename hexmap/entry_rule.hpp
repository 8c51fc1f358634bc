// The one rule of which steps may enter a cell, shared by every search over the grid.
#pragma once

#include <cstdint>

#include "hexmap/directions.hpp"
#include "hexmap/hexagon_map.hpp"

namespace hexmap::detail {

// Which steps may enter a cell, the one rule of the search and the flood: bit d set = a step
// in direction d may enter it. Never a cell without ground, never across a wall on the side
// that faces the cell being left (bit opposite(d) of ID_WALL; bits 6..31 mean nothing). The
// two differ on SOLID alone: the search is stopped only by -1, the value the toggle writes
// (other values stored directly are walked through); the flood by any non-zero value.
enum class SolidStops { minus_one, any_nonzero };
inline constexpr uint32_t kAllSides = (1u << kDirectionCount) - 1;

// Bit d of the result is bit opposite(d) of `sides`: half a turn of the six side bits.
constexpr uint32_t opposite_sides(uint32_t sides) {
  constexpr int32_t kHalfTurn = kDirectionCount / 2;
  static_assert(opposite(0) == kHalfTurn);
  sides &= kAllSides;
  return ((sides >> kHalfTurn) | (sides << kHalfTurn)) & kAllSides;
}

template <SolidStops solid_stops>
constexpr uint32_t entry_sides(const MAP_CELL& c) {
  const bool solid = solid_stops == SolidStops::minus_one ? c.SOLID == -1 : c.SOLID != 0;
  if (c.ID_GROUND == 0 || solid) return 0;
  return ~opposite_sides(static_cast<uint32_t>(c.ID_WALL)) & kAllSides;
}
template <SolidStops solid_stops>
constexpr bool can_enter(const MAP_CELL& c, int32_t direction) {
  return ((entry_sides<solid_stops>(c) >> direction) & 1u) != 0;
}

}  // namespace hexmap::detail
