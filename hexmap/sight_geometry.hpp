// Exact geometry of sight in the sight space: grid coordinates with rows stretched so that
// every cell centre and corner has integer coordinates. Scaling the true picture's y by
// 1/sqrt(3) is affine, so which side of a line a point lies on is kept, and integer cross
// products decide every case. Internal to the engine.
#pragma once

#include <array>
#include <cstdint>

#include "hexmap/grid_geometry.hpp"

namespace hexmap::detail {

// A point or direction in the sight space. Coordinates of cells on a map stay below 2^26, so
// their products stay far inside int64.
struct SightPoint {
  int64_t x, y;
  constexpr SightPoint operator+(SightPoint o) const { return {x + o.x, y + o.y}; }
  constexpr SightPoint operator-(SightPoint o) const { return {x - o.x, y - o.y}; }
  constexpr SightPoint operator*(int64_t k) const { return {x * k, y * k}; }
};

// Centre of grid cell (x, y): column 3x, and odd columns half a row (one unit) lower.
constexpr SightPoint sight_centre(int64_t x, int64_t y) {
  return {3 * x, 2 * y + (x & 1)};
}

// > 0 when v turns clockwise on screen from u (y grows downwards), 0 when parallel.
constexpr int64_t cross(SightPoint u, SightPoint v) {
  return u.x * v.y - u.y * v.x;
}
// Dot product of the true picture, in which rows are sqrt(3) times taller.
constexpr int64_t true_dot(SightPoint u, SightPoint v) {
  return u.x * v.x + 3 * u.y * v.y;
}

// From a cell's centre to its neighbour's centre in direction d, read from the grid steps of an
// even column.
constexpr SightPoint centre_step(int32_t d) {
  const int32_t column = column_step(d);
  return {int64_t{3} * column, int64_t{2} * row_step(0, d) + (column & 1)};
}

// From a cell's centre to the corner where sides d - 1 and d meet: the centroid of the cell and
// the two neighbours across those sides.
constexpr SightPoint corner_step(int32_t d) {
  const SightPoint sum = centre_step((d + kDirectionCount - 1) % kDirectionCount) + centre_step(d);
  return {sum.x / 3, sum.y / 3};
}

struct SideCorners {
  SightPoint first, second;  // clockwise around the cell
};
constexpr std::array<SideCorners, kDirectionCount> make_side_corners() {
  std::array<SideCorners, kDirectionCount> sides{};
  for (int32_t d = 0; d < kDirectionCount; ++d) {
    sides[static_cast<size_t>(d)] = {corner_step(d), corner_step((d + 1) % kDirectionCount)};
  }
  return sides;
}
// Side d of a cell runs between these two corners (offsets from the cell's centre).
inline constexpr std::array<SideCorners, kDirectionCount> kSideCorners = make_side_corners();

// A neighbour's centre is 12 away squared (true_dot of a step with itself), so a side of the
// cell at offset p from the viewer faces the viewer (the neighbour across it is strictly
// nearer) when true_dot(p, step) < -12 / 2.
inline constexpr int64_t kHalfStepSquared = 6;
constexpr bool side_faces_viewer(SightPoint p, int32_t d) {
  return true_dot(p, centre_step(d)) < -kHalfStepSquared;
}

}  // namespace hexmap::detail
