// Inline neighbourhood and distance arithmetic on grid coordinates, for the engine's hot loops.
// Layout: flat-topped hexagons, odd columns half a row lower. Nothing here is range-checked;
// arithmetic wraps instead of overflowing so that any int input is safe.
#pragma once

#include <algorithm>
#include <cstdint>

namespace hexmap::detail {

inline constexpr int32_t kDirectionCount = 6;

constexpr bool is_direction(int32_t d) {
  return d >= 0 && d < kDirectionCount;
}
constexpr int32_t opposite(int32_t d) {
  return (d + 3) % kDirectionCount;
}
constexpr int32_t wrap_add(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int64_t abs64(int64_t v) {
  return v < 0 ? -v : v;
}
// 1 for odd columns, negative ones included (two's complement AND).
constexpr int32_t column_parity(int32_t x) {
  return x & 1;
}

// Column step of direction d (a valid direction).
constexpr int32_t step_x(int32_t d) {
  return d == 0 || d == 3 ? 0 : (d < 3 ? 1 : -1);
}
// Row step of direction d from column x (a valid direction).
constexpr int32_t step_y(int32_t x, int32_t d) {
  switch (d) {
    case 0:
      return -1;
    case 3:
      return 1;
    case 1:
    case 5:
      return column_parity(x) - 1;
    default:
      return column_parity(x);  // 2 and 4
  }
}

// Grid column and row of the neighbour of (x, y) in direction d; 0 for any other d.
constexpr int32_t adjacent_x(int32_t x, int32_t d) {
  return is_direction(d) ? wrap_add(x, step_x(d)) : 0;
}
constexpr int32_t adjacent_y(int32_t x, int32_t y, int32_t d) {
  return is_direction(d) ? wrap_add(y, step_y(x, d)) : 0;
}

// Single steps between two cells, walls ignored: moving dx columns also moves dx / 2 or
// (dx + 1) / 2 rows for free, depending on which way the first diagonal step leans.
constexpr int32_t distance(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int64_t dx = abs64(int64_t{x1} - x2);
  const int64_t dy = abs64(int64_t{y1} - y2);
  // Odd columns lean the other way. Without a branch, as a search meets the cases at random:
  // when dy <= dx / 2 the second term is at most dx, otherwise at least dx.
  const int64_t lean = static_cast<int64_t>(y1 < y2) ^ column_parity(x1);
  return static_cast<int32_t>(static_cast<uint32_t>(std::max(dx, dy + (dx + lean) / 2)));
}

}  // namespace hexmap::detail
