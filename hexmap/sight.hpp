// Line of sight and field of view over a map (grid coordinates).
//
// Cell B is seen from cell A when the straight segment between their centres can be moved
// sideways by an arbitrarily small distance, to one side or the other (the same side along its
// whole length), so that it crosses no wall and passes through the inside of no opaque cell
// other than A and B.
//  - A wall is a side whose bit (bits 0 to 5 of ID_WALL) is set in either of the two cells it
//    separates, so sight has no one-way walls. Higher bits mean nothing.
//  - A cell is opaque when SOLID != 0. Cells without ground do not block sight, and neither
//    does anything off the map except the walls of the cells on it.
// So sight is symmetric (A sees B exactly when B sees A), and adding a wall or an opaque cell
// never reveals a cell. The geometry is exact integer arithmetic: no rounding decides a case.
//
// Both functions only read the map and keep no state, so any number of threads may call them
// at once on a map that nobody writes meanwhile.
#pragma once

#include <cstdint>
#include <vector>

#include "hexmap/hexagon_map.hpp"

namespace hexmap {

// Whether `to` is seen from `from`, at any distance; false when either cell is off the map or
// the map's size fields do not match its cells. A cell always sees itself.
[[gnu::visibility("default")]] bool line_of_sight(const HEXAGON_MAP& map, VECTOR2D from,
                                                  VECTOR2D to);

// Replaces `visible` with every map cell within `radius` steps (DISTANCE) that is seen from
// `viewer`, the viewer included, in row-major order. Empty for a viewer off the map, a negative
// radius, or a map whose size fields do not match its cells.
// Allocates nothing once `visible` has the capacity (at most 3 r (r + 1) + 1 cells). Its
// scratch lives on the stack (24 KB); a field whose bounding box on the map exceeds
// 65536 cells, or whose shadows split into more than 512 pieces in one sixth of the circle,
// is answered cell by cell through line_of_sight instead: the same result, only slower.
[[gnu::visibility("default")]] void field_of_view(const HEXAGON_MAP& map, VECTOR2D viewer,
                                                  int32_t radius, std::vector<VECTOR2D>& visible);

// Darkens, inside the map's view window on the screen, every pixel of a map cell that is not in
// `visible` (row-major, as field_of_view lists it). Does nothing until the map has found the
// screen.
[[gnu::visibility("default")]] void shade_out_of_sight(const HEXAGON_MAP& map,
                                                       const std::vector<VECTOR2D>& visible);

}  // namespace hexmap
