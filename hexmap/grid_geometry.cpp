// Neighbourhood and distance on the grid (grid coordinates throughout).
#include "hexmap/grid_geometry.hpp"

#include "hexmap/hexagon_map.hpp"

namespace hexmap {

int32_t HEXAGON_MAP::ADJACENT_X(int32_t x, int32_t /*y*/, int32_t direction) {
  return detail::adjacent_x(x, direction);
}

int32_t HEXAGON_MAP::ADJACENT_Y(int32_t x, int32_t y, int32_t direction) {
  return detail::adjacent_y(x, y, direction);
}

void HEXAGON_MAP::MOVE_FORWARD(int32_t& x, int32_t& y, int32_t direction) {
  if (!detail::is_direction(direction)) return;
  y = detail::adjacent_y(x, y, direction);  // the row step depends on the old column
  x = detail::adjacent_x(x, direction);
}

void HEXAGON_MAP::MOVE_FORWARD(VECTOR2D& position, int32_t direction) {
  MOVE_FORWARD(position.X, position.Y, direction);
}

int32_t HEXAGON_MAP::DISTANCE(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return detail::distance(x1, y1, x2, y2);
}

int32_t HEXAGON_MAP::DISTANCE(VECTOR2D from, VECTOR2D to) {
  return detail::distance(from.X, from.Y, to.X, to.Y);
}

}  // namespace hexmap
