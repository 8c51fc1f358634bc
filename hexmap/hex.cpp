// Lines, rings, spirals and rotation on grid cells, worked in cube coordinates held in 64 bits
// so that no step of the arithmetic overflows; results wrap to int32 only at the end.
#include "hexmap/hex.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace hexmap {
namespace {

struct Cube64 {
  int64_t q, r, s;
};

Cube64 widen(Cube c) {
  return {c.q, c.r, c.s};
}
VECTOR2D cell_of(Cube64 c) {
  const auto wrap = [](int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); };
  const int64_t half_column = (c.q - (c.q & 1)) / 2;
  return {wrap(c.q), wrap(c.r + half_column)};
}
int64_t abs64(int64_t v) {
  return v < 0 ? -v : v;
}

// ---- Lines ----

__extension__ using Int128 = __int128;  // products of a cube span, a step number and 10^6

// The tie nudge (1e-6, 2e-6, -3e-6) in millionths; it sums to 0, so the point stays on the
// plane q + r + s = 0.
constexpr int64_t kNudgeScale = 1'000'000;
constexpr std::array<int64_t, 3> kNudge{1, 2, -3};

// The nearest integer to x / scale (scale > 0), halves away from zero, and how far x lies from
// it (in 1 / scale).
struct Rounded {
  int64_t value;
  Int128 error;
};
Rounded round_ratio(Int128 x, Int128 scale) {
  const Int128 magnitude = x < 0 ? -x : x;
  Int128 nearest = (2 * magnitude + scale) / (2 * scale);
  if (x < 0) nearest = -nearest;
  const Int128 error = x - nearest * scale;
  return {static_cast<int64_t>(nearest), error < 0 ? -error : error};
}

// Cell i of the n-step line from `from` whose cube span is `span`: the nudged point rounded with
// integers only, the point scaled by n x 10^6. Each coordinate rounds on its own; the one that
// moved furthest is then set from the other two, as cube rounding does.
VECTOR2D line_cell(Cube64 from, const std::array<int64_t, 3>& span, int64_t n, int64_t i) {
  const Int128 scale = Int128{n} * kNudgeScale;
  std::array<Rounded, 3> c{};
  for (size_t k = 0; k < 3; ++k) {
    c[k] = round_ratio(Int128{kNudge[k]} * n + Int128{span[k]} * i * kNudgeScale, scale);
  }
  auto& [q, r, s] = c;
  if (q.error > r.error && q.error > s.error) {
    q.value = -r.value - s.value;
  } else if (r.error > s.error) {
    r.value = -q.value - s.value;
  } else {
    s.value = -q.value - r.value;
  }
  return cell_of({from.q + q.value, from.r + r.value, from.s + s.value});
}

// ---- Rings ----

Cube64 step(Cube64 c, int32_t d, int64_t times) {
  const Cube s = cube_step(d);
  return {c.q + s.q * times, c.r + s.r * times, c.s + s.s * times};
}

// A ring starts at its corner straight up, whose side runs two directions on, clockwise.
constexpr int32_t kRingCorner = direction_index(Direction::up);
constexpr int32_t kRingFirstSide = (kRingCorner + 2) % kDirectionCount;

// Appends the ring of `radius` > 0 about `centre`.
void append_ring(Cube64 centre, int32_t radius, std::vector<VECTOR2D>& out) {
  Cube64 c = step(centre, kRingCorner, radius);
  for (int32_t side = 0; side < kDirectionCount; ++side) {
    const int32_t d = (kRingFirstSide + side) % kDirectionCount;
    for (int32_t k = 0; k < radius; ++k) {
      out.push_back(cell_of(c));
      c = step(c, d, 1);
    }
  }
}

// How many cells a ring or a spiral of `radius` (0 to kMaxHexCells) holds.
int64_t ring_size(int64_t radius) {
  return radius == 0 ? 1 : kDirectionCount * radius;
}
int64_t spiral_size(int64_t radius) {
  return 1 + kDirectionCount / 2 * radius * (radius + 1);
}
bool radius_fits(int32_t radius, int64_t (*size)(int64_t)) {
  return radius >= 0 && radius <= kMaxHexCells && size(radius) <= kMaxHexCells;
}

}  // namespace

std::vector<VECTOR2D> hex_line(VECTOR2D from, VECTOR2D to) {
  const Cube64 a = widen(to_cube(from));
  const Cube64 b = widen(to_cube(to));
  const std::array<int64_t, 3> span{b.q - a.q, b.r - a.r, b.s - a.s};
  const int64_t n = std::max({abs64(span[0]), abs64(span[1]), abs64(span[2])});
  if (n + 1 > kMaxHexCells) return {};
  std::vector<VECTOR2D> cells;
  cells.reserve(static_cast<size_t>(n + 1));
  cells.push_back(from);
  for (int64_t i = 1; i <= n; ++i)
    cells.push_back(line_cell(a, span, n, i));
  return cells;
}

std::vector<VECTOR2D> hex_ring(VECTOR2D centre, int32_t radius) {
  if (!radius_fits(radius, ring_size)) return {};
  if (radius == 0) return {centre};
  std::vector<VECTOR2D> cells;
  cells.reserve(static_cast<size_t>(ring_size(radius)));
  append_ring(widen(to_cube(centre)), radius, cells);
  return cells;
}

std::vector<VECTOR2D> hex_spiral(VECTOR2D centre, int32_t radius) {
  if (!radius_fits(radius, spiral_size)) return {};
  std::vector<VECTOR2D> cells;
  cells.reserve(static_cast<size_t>(spiral_size(radius)));
  cells.push_back(centre);
  const Cube64 c = widen(to_cube(centre));
  for (int32_t k = 1; k <= radius; ++k)
    append_ring(c, k, cells);
  return cells;
}

VECTOR2D hex_rotate(VECTOR2D cell, VECTOR2D centre, int32_t sixths) {
  const Cube64 o = widen(to_cube(centre));
  const Cube64 p = widen(to_cube(cell));
  Cube64 d{p.q - o.q, p.r - o.r, p.s - o.s};
  const int32_t turns = ((sixths % kDirectionCount) + kDirectionCount) % kDirectionCount;
  for (int32_t t = 0; t < turns; ++t)
    d = {-d.r, -d.s, -d.q};  // one clockwise turn
  return cell_of({o.q + d.q, o.r + d.r, o.s + d.s});
}

}  // namespace hexmap
