// Projection between grid, map pixels and screen pixels, and the camera (the map pixel shown
// at screen pixel (0, 0)). Nothing here clamps: any camera is kept, off-map areas simply show
// nothing.
#include "hexmap/hexagon_map.hpp"
#include "hexmap/pixel_geometry.hpp"

namespace hexmap {

VECTOR2D HEXAGON_MAP::GET_ABS_POSITION_FOR_GRID(int32_t x, int32_t y) const {
  return detail::wrap_add(detail::tile_origin(detail::cell_steps(*this), x, y),
                          VECTOR2D(CELL_CENTER_X, CELL_CENTER_Y));
}
VECTOR2D HEXAGON_MAP::GET_ABS_POSITION_FOR_GRID(VECTOR2D cell) const {
  return GET_ABS_POSITION_FOR_GRID(cell.X, cell.Y);
}

VECTOR2D HEXAGON_MAP::GET_POSITION_ON_SCREEN_FOR_GRID(int32_t x, int32_t y) const {
  return detail::wrap_sub(GET_ABS_POSITION_FOR_GRID(x, y), CAMERA);
}

VECTOR2D HEXAGON_MAP::GET_CENTER_CAMERA_POSITION_FOR_GRID(int32_t x, int32_t y) const {
  return detail::wrap_add(detail::tile_origin(detail::cell_steps(*this), x, y), CENTER_OFFSET);
}
VECTOR2D HEXAGON_MAP::GET_CENTER_CAMERA_POSITION_FOR_GRID(VECTOR2D cell) const {
  return GET_CENTER_CAMERA_POSITION_FOR_GRID(cell.X, cell.Y);
}

VECTOR2D HEXAGON_MAP::GET_CAMERA() const {
  return CAMERA;
}
void HEXAGON_MAP::GET_CAMERA(VECTOR2D& out) const {
  out = CAMERA;
}
void HEXAGON_MAP::GET_CAMERA(int32_t& x, int32_t& y) const {
  CAMERA.GET_XY(x, y);
}

void HEXAGON_MAP::SET_CAMERA(int32_t x, int32_t y) {
  CAMERA = VECTOR2D(x, y);
}
void HEXAGON_MAP::SET_CAMERA(VECTOR2D camera) {
  CAMERA = camera;
}

void HEXAGON_MAP::MOVE_CAMERA(int32_t dx, int32_t dy) {
  CAMERA = detail::wrap_add(CAMERA, VECTOR2D(dx, dy));
}
void HEXAGON_MAP::MOVE_CAMERA(VECTOR2D delta) {
  MOVE_CAMERA(delta.X, delta.Y);
}

// Built from CENTER_OFFSET rather than WIN_CENTER, as the two are kept equivalent by every
// operation that changes either.
void HEXAGON_MAP::SET_CAMERA_TO_ABS_POSITION_ON_MAP(int32_t ax, int32_t ay) {
  const VECTOR2D to_centre =
      detail::wrap_sub(CENTER_OFFSET, VECTOR2D(CELL_CENTER_X, CELL_CENTER_Y));
  CAMERA = detail::wrap_add(to_centre, VECTOR2D(ax, ay));
}
void HEXAGON_MAP::SET_CAMERA_TO_ABS_POSITION_ON_MAP(VECTOR2D position) {
  SET_CAMERA_TO_ABS_POSITION_ON_MAP(position.X, position.Y);
}

void HEXAGON_MAP::SCROLL(int32_t tx, int32_t ty, int32_t speed) {
  CAMERA =
      VECTOR2D(detail::step_toward(CAMERA.X, tx, speed), detail::step_toward(CAMERA.Y, ty, speed));
  SCROLL_DONE = CAMERA == VECTOR2D(tx, ty) ? -1 : 0;
}
void HEXAGON_MAP::SCROLL(VECTOR2D target, int32_t speed) {
  SCROLL(target.X, target.Y, speed);
}

void HEXAGON_MAP::SCROLL_TO_GRID(int32_t x, int32_t y, int32_t speed) {
  SCROLL(GET_CENTER_CAMERA_POSITION_FOR_GRID(x, y), speed);
}
void HEXAGON_MAP::SCROLL_TO_GRID(VECTOR2D cell, int32_t speed) {
  SCROLL_TO_GRID(cell.X, cell.Y, speed);
}

void HEXAGON_MAP::SCROLL_AS_CENTER(int32_t ax, int32_t ay, int32_t speed) {
  SCROLL(detail::wrap_sub(VECTOR2D(ax, ay), WIN_CENTER), speed);
}
void HEXAGON_MAP::SCROLL_AS_CENTER(VECTOR2D position, int32_t speed) {
  SCROLL_AS_CENTER(position.X, position.Y, speed);
}

}  // namespace hexmap
