// Mouse picks: the hexagon, the box cell and the wall side under a screen point. The point is
// taken only inside the view window (screen pixels, corners inclusive) and turned into map
// pixels with the camera; wall bits are flipped on one cell at a time.
#include "hexmap/hexagon_map.hpp"
#include "hexmap/pixel_geometry.hpp"

namespace hexmap {

namespace {

constexpr VECTOR2D kNoCell(-1, -1);
constexpr int32_t kNoSide = -1;
constexpr int32_t kWallBitMask = 31;

bool inside_window(const HEXAGON_MAP& m, int32_t mx, int32_t my) {
  return mx >= m.CLIP_START.X && my >= m.CLIP_START.Y && mx <= m.CLIP_END.X && my <= m.CLIP_END.Y;
}

// The box hit by screen point (mx, my), for the two wall picks; false when no screen is known,
// the point is outside the window or no box size has been set.
bool wall_box_at(const HEXAGON_MAP& m, int32_t mx, int32_t my, detail::BoxHit& hit) {
  if (m.SCREEN_UNCHECKED == -1 || !inside_window(m, mx, my) || !detail::cell_steps(m).usable()) {
    return false;
  }
  hit = detail::box_at(detail::cell_steps(m), int64_t{m.CAMERA.X} + mx, int64_t{m.CAMERA.Y} + my);
  return true;
}

}  // namespace

VECTOR2D HEXAGON_MAP::GET_GRID_POSITION_UNDER_MOUSE(int32_t mx, int32_t my) const {
  if (SCREEN_UNCHECKED == -1) return VECTOR2D(0, 0);
  if (!inside_window(*this, mx, my) || !detail::cell_steps(*this).usable()) return kNoCell;
  return detail::hexagon_at(detail::cell_steps(*this), int64_t{CAMERA.X} + mx,
                            int64_t{CAMERA.Y} + my);
}

VECTOR2D HEXAGON_MAP::GET_WALL_GRID_POSITION_UNDER_MOUSE(int32_t mx, int32_t my) const {
  detail::BoxHit hit;
  if (!wall_box_at(*this, mx, my, hit)) return kNoCell;
  return VECTOR2D(static_cast<int32_t>(hit.col), static_cast<int32_t>(hit.row));
}

int32_t HEXAGON_MAP::GET_WALL_SIDE_POSITION_UNDER_MOUSE(int32_t mx, int32_t my) const {
  detail::BoxHit hit;
  if (!wall_box_at(*this, mx, my, hit)) return kNoSide;
  return detail::wall_side_at(detail::cell_steps(*this), OVERLAP_WIDTH, hit.rx, hit.ry);
}

void HEXAGON_MAP::TOGGLE_WALL(VECTOR2D cell, int32_t side) {
  MAP_CELL* target = cell_at(cell.X, cell.Y);
  if (target == nullptr) return;
  const uint32_t bit = 1u << static_cast<uint32_t>(side & kWallBitMask);
  target->ID_WALL = static_cast<int32_t>(static_cast<uint32_t>(target->ID_WALL) ^ bit);
}

}  // namespace hexmap
