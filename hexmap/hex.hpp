// Hex geometry on grid cells (column, row), no map needed: cube coordinates, straight lines,
// rings, spirals and rotation. Flat-topped hexagons, odd columns half a row lower, directions 0
// (up) to 5 clockwise, as in hexagon_map.hpp; any int32 cell, negative ones included.
//
// Exact range: every result is exact while the columns and rows of the cells passed in and of
// the cells returned lie within -kHexExactLimit to kHexExactLimit (inclusive). Outside it the
// arithmetic wraps around int32 and never overflows. Lines are computed with integers, not
// floating point, so they are exact over the whole range. A list that would hold more than
// kMaxHexCells cells is refused: the function then returns an empty list.
#pragma once

#include <cstdint>
#include <vector>

#include "hexmap/directions.hpp"
#include "hexmap/hexagon_map.hpp"

namespace hexmap {

// Cube coordinates of cells this far out still fit int32: |s| <= 2.5 x 2^29 < 2^31.
inline constexpr int32_t kHexExactLimit = 1 << 29;
// No list longer than the largest grid.
inline constexpr int32_t kMaxHexCells = kMaxCellCount;

// A cell in cube coordinates; q + r + s = 0. A step up is (0, -1, +1), and one clockwise turn
// of 60 degrees about the origin maps (q, r, s) to (-r, -s, -q).
struct Cube {
  int32_t q, r, s;
  friend constexpr bool operator==(const Cube&, const Cube&) = default;
};

// q = column, r = row - (column - (column & 1)) / 2, s = -q - r (wrapping outside the range).
constexpr Cube to_cube(VECTOR2D cell) {
  const int64_t half_column = (int64_t{cell.X} - (cell.X & 1)) / 2;
  const int64_t r = cell.Y - half_column;
  const auto wrap = [](int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); };
  return {cell.X, wrap(r), wrap(-int64_t{cell.X} - r)};
}
// The cell of cube coordinates (q, r, s); s is not read.
constexpr VECTOR2D to_cell(Cube cube) {
  const int64_t half_column = (int64_t{cube.q} - (cube.q & 1)) / 2;
  return {cube.q, static_cast<int32_t>(static_cast<uint32_t>(cube.r + half_column))};
}
// The cube step of direction d (0 to 5), read from the grid step taken from column 0.
constexpr Cube cube_step(int32_t d) {
  return to_cube(VECTOR2D(column_step(d), row_step(0, d)));
}

// The cells of the straight line from `from` to `to`, both included: DISTANCE + 1 cells, each a
// neighbour of the one before. Cell i is the cube rounding of the point i / DISTANCE of the way,
// both ends first moved by (1e-6, 2e-6, -3e-6) in cube coordinates so that a tie always falls
// the same way.
[[gnu::visibility("default")]] std::vector<VECTOR2D> hex_line(VECTOR2D from, VECTOR2D to);

// The cells at exactly `radius` steps from `centre`: the centre for radius 0, 6 x radius cells
// for a larger one, starting `radius` steps straight up and going clockwise (radius steps in
// each of the directions 2, 3, 4, 5, 0 and 1). Nothing for a negative radius.
[[gnu::visibility("default")]] std::vector<VECTOR2D> hex_ring(VECTOR2D centre, int32_t radius);

// The centre, then the rings 1 to radius: 1 + 3 x radius x (radius + 1) cells. Nothing for a
// negative radius.
[[gnu::visibility("default")]] std::vector<VECTOR2D> hex_spiral(VECTOR2D centre, int32_t radius);

// `cell` turned about `centre` by `sixths` turns of 60 degrees, clockwise; negative turns go
// anticlockwise. Any int.
[[gnu::visibility("default")]] VECTOR2D hex_rotate(VECTOR2D cell, VECTOR2D centre, int32_t sixths);

}  // namespace hexmap
