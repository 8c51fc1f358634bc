// The demo's mouse handling: the last valid reading, press detection, and the wall toggles of
// a right click. Screen pixels for the pointer, grid for cells.
#pragma once

#include <cstdint>

#include "hexmap/directions.hpp"
#include "hexmap/hexagon_map.hpp"

namespace demo {

using hexmap::VECTOR2D;

inline constexpr int32_t kLeftButton = 1;   // bit 0
inline constexpr int32_t kRightButton = 2;  // bit 1

struct MOUSE_STATE {
  int32_t X = 0;  // screen pixels
  int32_t Y = 0;
  int32_t WHEEL = 0;
  int32_t BUTTONS = 0;
  int32_t CLIP = 0;  // 0 for a valid reading; -1 everywhere when there was none
};

// Frame step 1: keeps the last valid reading in `previous`, then reads the mouse into
// `current` through `read` (raster::mouse_state in the demo).
template <typename Read>
void read_mouse(MOUSE_STATE& current, MOUSE_STATE& previous, Read read) {
  if (current.CLIP == 0) previous = current;
  read(current.X, current.Y, current.WHEEL, current.BUTTONS, current.CLIP);
}

// A button counts once: newly set in a valid reading against the last valid one.
bool pressed(const MOUSE_STATE& current, const MOUSE_STATE& previous, int32_t button);

// The cell across side 0, 3, 4 or 5 of a wall-grid cell (the sides the wall pick returns);
// the cell itself for any other side.
VECTOR2D wall_neighbour(VECTOR2D cell, int32_t side);

// What the mouse did to the map this frame.
struct MouseResult {
  VECTOR2D mouse_grid;        // grid cell under the pointer
  bool wall_toggled = false;  // a right click flipped a wall
  VECTOR2D wall_grid;         // grid: the wall-grid cell of that click
  int32_t wall_side = 0;
  bool target_set = false;  // a left click chose a cell on the map
};

// Frame step 3: picks the cell under the pointer, toggles the wall under a right click on both
// cells it separates, and reports a left click on the map. `Map` is HEXAGON_MAP in the demo.
template <typename Map>
MouseResult mouse_actions(Map& map, const MOUSE_STATE& current, const MOUSE_STATE& previous) {
  MouseResult result;
  result.mouse_grid = map.GET_GRID_POSITION_UNDER_MOUSE(current.X, current.Y);
  const bool on_map = map.INSIDE(result.mouse_grid) != 0;
  if (pressed(current, previous, kRightButton) && on_map &&
      map.GET_ID_GROUND(result.mouse_grid) != 0) {
    // The ground test uses the hexagon under the pointer; the toggles use the box cell.
    result.wall_grid = map.GET_WALL_GRID_POSITION_UNDER_MOUSE(current.X, current.Y);
    result.wall_side = map.GET_WALL_SIDE_POSITION_UNDER_MOUSE(current.X, current.Y);
    if (result.wall_side != -1) {
      map.TOGGLE_WALL(result.wall_grid, result.wall_side);
      map.TOGGLE_WALL(wall_neighbour(result.wall_grid, result.wall_side),
                      hexmap::opposite(result.wall_side));
      result.wall_toggled = true;
    }
  }
  result.target_set = pressed(current, previous, kLeftButton) && on_map;
  return result;
}

}  // namespace demo
