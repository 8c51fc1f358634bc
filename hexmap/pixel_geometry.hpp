// Pure arithmetic between grid coordinates, map pixels and screen pixels, shared by the camera,
// the picks, the view window and drawing. Nothing here reads a map; results wrap instead of
// overflowing, so any int input is safe.
#pragma once

#include <cstdint>

#include "hexmap/grid_geometry.hpp"
#include "hexmap/hexagon_map.hpp"

namespace hexmap::detail {

constexpr int32_t wrap_sub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
constexpr int32_t wrap_mul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
constexpr VECTOR2D wrap_add(VECTOR2D a, VECTOR2D b) {
  return {wrap_add(a.X, b.X), wrap_add(a.Y, b.Y)};
}
constexpr VECTOR2D wrap_sub(VECTOR2D a, VECTOR2D b) {
  return {wrap_sub(a.X, b.X), wrap_sub(a.Y, b.Y)};
}

// Division rounding towards minus infinity; divisor > 0.
constexpr int64_t floor_div(int64_t a, int64_t divisor) {
  const int64_t q = a / divisor;
  return q * divisor > a ? q - 1 : q;
}

// The steps between cells, in map pixels. Boxes are BOX_WIDTH x BOX_HEIGHT; odd columns sit
// odd_offset lower.
struct CellSteps {
  int32_t box_width = 0;
  int32_t box_height = 0;
  int32_t odd_offset = 0;

  // Picks and cuts need boxes of at least one pixel.
  constexpr bool usable() const { return box_width > 0 && box_height > 0; }
};

inline CellSteps cell_steps(const HEXAGON_MAP& m) {
  return {m.BOX_WIDTH, m.BOX_HEIGHT, m.ODD_COLUMN_OFFSET};
}

// Map pixel of the top-left corner of cell (x, y)'s tile.
constexpr VECTOR2D tile_origin(CellSteps s, int32_t x, int32_t y) {
  return {wrap_mul(x, s.box_width),
          wrap_add(wrap_mul(y, s.box_height), wrap_mul(column_parity(x), s.odd_offset))};
}

// The box holding a map pixel, and the pixel's offset inside it (0 <= rx < box_width,
// 0 <= ry < box_height). Needs s.usable().
struct BoxHit {
  int64_t col = 0;
  int64_t row = 0;
  int64_t rx = 0;
  int64_t ry = 0;
};
constexpr BoxHit box_at(CellSteps s, int64_t ax, int64_t ay) {
  BoxHit h;
  h.col = floor_div(ax, s.box_width);
  const int64_t shifted = ay - (h.col & 1) * s.odd_offset;
  h.row = floor_div(shifted, s.box_height);
  h.rx = ax - h.col * s.box_width;
  h.ry = shifted - h.row * s.box_height;
  return h;
}

// The hexagon holding a map pixel. A hexagon covers its box minus two left corners, cut by
// lines from the left corner at mid-height rising two rows per column pixel; a pixel exactly
// on such a line belongs to the column to the left. Needs s.usable().
constexpr VECTOR2D hexagon_at(CellSteps s, int64_t ax, int64_t ay) {
  const BoxHit h = box_at(s, ax, ay);
  const int64_t from_middle = h.ry - s.odd_offset;
  int64_t col = h.col;
  int64_t row = h.row;
  if (2 * h.rx <= (from_middle < 0 ? -from_middle : from_middle)) {
    const bool odd = (h.col & 1) != 0;
    col -= 1;
    if (h.ry < s.odd_offset) {
      row -= odd ? 0 : 1;
    } else {
      row += odd ? 1 : 0;
    }
  }
  return {static_cast<int32_t>(col), static_cast<int32_t>(row)};
}

// The side of the box cell a wall pick at box offset (rx, ry) (map pixels) lands on: up-left or
// down-left in the strip left of the hexagon's top and bottom edges (overlap_width wide), up in
// the top quarter, down in the bottom quarter, -1 in the middle. The up-right and down-right
// sides are picked as the down-left and up-left sides of the next column.
constexpr int32_t wall_side_at(CellSteps s, int32_t overlap_width, int64_t rx, int64_t ry) {
  const int64_t quarter = s.odd_offset / 2;
  if (rx < overlap_width) {
    return direction_index(ry < s.odd_offset ? Direction::up_left : Direction::down_left);
  }
  if (ry < quarter) return direction_index(Direction::up);
  if (ry > s.odd_offset + quarter) return direction_index(Direction::down);
  return -1;
}

// A view window whose four corner values are all 0 counts as never set (screen pixels).
constexpr bool window_never_set(VECTOR2D clip_start, VECTOR2D clip_end) {
  return clip_start == VECTOR2D(0, 0) && clip_end == VECTOR2D(0, 0);
}

// One step of the camera (map pixels) on one axis: at most `speed` towards target, landing
// exactly.
constexpr int32_t step_toward(int32_t from, int32_t target, int32_t speed) {
  const int64_t gap = int64_t{target} - from;
  if (speed < 1 || (gap < 0 ? -gap : gap) < speed) return target;
  return static_cast<int32_t>(from + (gap < 0 ? -int64_t{speed} : int64_t{speed}));
}

}  // namespace hexmap::detail
