// The six directions of the grid and the one table of their steps (grid coordinates).
// Flat-topped hexagons, odd columns half a row lower; directions run clockwise from up.
// Everything that steps from a cell to its neighbour reads its step here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace hexmap {

enum class Direction : int32_t { up, up_right, down_right, down, down_left, up_left };
inline constexpr int32_t kDirectionCount = 6;

// One step in grid coordinates. The row moved depends on the parity of the column left.
struct DirectionStep {
  int32_t column;
  int32_t row_from_even;  // leaving an even column
  int32_t row_from_odd;   // leaving an odd column, which sits half a row lower
};

// Indexed by Direction.
inline constexpr std::array<DirectionStep, kDirectionCount> kDirectionSteps{{
    {0, -1, -1},  // up
    {1, -1, 0},   // up_right
    {1, 0, 1},    // down_right
    {0, 1, 1},    // down
    {-1, 0, 1},   // down_left
    {-1, -1, 0},  // up_left
}};

constexpr int32_t direction_index(Direction d) {
  return static_cast<int32_t>(d);
}
constexpr bool is_direction(int32_t d) {
  return d >= 0 && d < kDirectionCount;
}
// The direction back; d is a direction (0 to 5).
constexpr int32_t opposite(int32_t d) {
  return (d + kDirectionCount / 2) % kDirectionCount;
}
// Columns moved by a step in direction d (0 to 5).
constexpr int32_t column_step(int32_t d) {
  return kDirectionSteps[static_cast<size_t>(d)].column;
}
// Rows moved by a step in direction d (0 to 5) from column x, negative columns included. The two
// rows differ by 0 or 1, so with a constant d this folds to x & 1, (x & 1) - 1 or a constant.
constexpr int32_t row_step(int32_t x, int32_t d) {
  const DirectionStep& s = kDirectionSteps[static_cast<size_t>(d)];
  return s.row_from_even + (s.row_from_odd - s.row_from_even) * (x & 1);
}

}  // namespace hexmap
