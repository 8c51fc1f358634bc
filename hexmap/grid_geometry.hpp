// Inline neighbourhood and distance arithmetic on grid coordinates, for the engine's hot loops,
// all read from the direction table. Nothing here is range-checked; arithmetic wraps instead of
// overflowing so that any int input is safe.
#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "hexmap/directions.hpp"

namespace hexmap::detail {

using hexmap::is_direction;
using hexmap::kDirectionCount;
using hexmap::opposite;

constexpr int32_t wrap_add(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
// 1 for odd columns, negative ones included (two's complement AND).
constexpr int32_t column_parity(int32_t x) {
  return x & 1;
}

// Grid column and row of the neighbour of (x, y) in direction d; 0 for any other d.
constexpr int32_t adjacent_x(int32_t x, int32_t d) {
  return is_direction(d) ? wrap_add(x, column_step(d)) : 0;
}
constexpr int32_t adjacent_y(int32_t x, int32_t y, int32_t d) {
  return is_direction(d) ? wrap_add(y, row_step(x, d)) : 0;
}

// Index offset of the neighbour in direction d (0 to 5) on a row-major grid `width` cells wide.
// `odd_row` is width from an odd column and 0 from an even one (width & -parity), so that with
// a constant d no branch and no multiply is left.
template <typename Int>
constexpr Int index_step(int32_t d, Int width, Int odd_row) {
  const DirectionStep& s = kDirectionSteps[static_cast<size_t>(d)];
  return Int{s.column} + Int{s.row_from_even} * width +
         Int{s.row_from_odd - s.row_from_even} * odd_row;
}

// Calls f once per direction, 0 to 5, each as a compile-time constant, so that a loop body's
// neighbour arithmetic folds away.
template <typename F, int32_t... D>
[[gnu::always_inline]] inline void each_direction(F& f, std::integer_sequence<int32_t, D...>) {
  (f(std::integral_constant<int32_t, D>{}), ...);
}
template <typename F>
[[gnu::always_inline]] inline void for_each_direction(F&& f) {
  each_direction(f, std::make_integer_sequence<int32_t, kDirectionCount>{});
}

// Single steps between two cells, walls ignored: moving dx columns also moves dx / 2 or
// (dx + 1) / 2 rows for free, depending on which way the first diagonal step leans (odd columns
// lean the other way). Without a branch, as a search meets the cases at random: when
// dy <= dx / 2 the second term is at most dx, otherwise at least dx. Int must hold twice the
// coordinates' spread: int64_t for any int, int32_t for positions within 2^29 of each other.
template <typename Int>
[[gnu::always_inline]] constexpr Int grid_distance(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const Int sx = Int{x1} - x2;
  const Int sy = Int{y1} - y2;
  const Int dx = sx < 0 ? -sx : sx;
  const Int dy = sy < 0 ? -sy : sy;
  const Int lean = static_cast<Int>(y1 < y2) ^ column_parity(x1);
  return std::max(dx, dy + ((dx + lean) >> 1));
}
constexpr int32_t distance(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return static_cast<int32_t>(static_cast<uint32_t>(grid_distance<int64_t>(x1, y1, x2, y2)));
}

}  // namespace hexmap::detail
