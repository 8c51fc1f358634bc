// Line of sight as a walk along the segment, and field of view as a sweep of shadows over the
// six sixths of the circle round the viewer. Both decide every case with integer cross products
// in the sight space of sight_geometry.hpp.

#include "hexmap/sight.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hexmap/grid_geometry.hpp"
#include "hexmap/grid_size.hpp"
#include "hexmap/hexagon_map.hpp"
#include "hexmap/sight_geometry.hpp"

namespace hexmap {
namespace {

using detail::centre_step;
using detail::cross;
using detail::kDirectionCount;
using detail::kSideCorners;
using detail::sight_centre;
using detail::SightPoint;

// The sweep marks the cells it sees in a bitmap of the field's box on the map: 8 KB of stack.
constexpr int64_t kMaxBoxCells = int64_t{1} << 16;
// Room for the separate shadows of one sixth of the circle: 16 KB of stack. Open terrain holds
// a few dozen; the room runs out only on contrived patterns.
constexpr size_t kMaxShadows = 512;
// Bits 0 to 5 of ID_WALL; the higher ones mean nothing.
constexpr int32_t kSideBits = (1 << kDirectionCount) - 1;

// A cell's grid coordinates, wide enough for cells just off the map.
struct GridCell {
  int64_t x, y;
};
// The cell whose centre is at c (sight space).
constexpr GridCell grid_of(SightPoint c) {
  const int64_t x = c.x / 3;
  return {x, (c.y - (x & 1)) / 2};
}

// Cells of a map whose size fields match its cells (grid coordinates; anything off the map
// reads as a clear cell without walls).
class CellReader {
 public:
  explicit CellReader(const HEXAGON_MAP& map)
      : cells_(map.CELLS.data()), width_(map.MAP_WIDTH), height_(map.MAP_HEIGHT) {}

  int64_t width() const { return width_; }
  int64_t height() const { return height_; }
  bool inside(int64_t x, int64_t y) const { return x >= 0 && x < width_ && y >= 0 && y < height_; }
  bool opaque(int64_t x, int64_t y) const { return inside(x, y) && at(x, y).SOLID != 0; }
  const MAP_CELL* find(GridCell c) const { return inside(c.x, c.y) ? &at(c.x, c.y) : nullptr; }
  // A wall on side d of (x, y), set in the cell or in the neighbour across it.
  bool wall(int64_t x, int64_t y, int32_t d) const {
    const int64_t nx = x + column_step(d);
    const int64_t ny = y + row_step(static_cast<int32_t>(x & 1), d);
    return (((wall_bits(x, y) >> d) | (wall_bits(nx, ny) >> detail::opposite(d))) & 1) != 0;
  }

 private:
  const MAP_CELL& at(int64_t x, int64_t y) const { return cells_[y * width_ + x]; }
  int32_t wall_bits(int64_t x, int64_t y) const { return inside(x, y) ? at(x, y).ID_WALL : 0; }

  const MAP_CELL* cells_;
  int64_t width_, height_;
};

// Whether the segment between the centres of cells a and b, moved the slightest bit to one side
// (side +1: where cross(segment, point) > 0; -1: the other), reaches b crossing no wall and
// entering no opaque cell on the way. Grid coordinates; a != b.
bool walk_clear(const CellReader& cells, VECTOR2D a, VECTOR2D b, int64_t side) {
  const SightPoint origin = sight_centre(a.X, a.Y);
  const SightPoint segment = sight_centre(b.X, b.Y) - origin;
  // A point on the segment's line lies on the side the segment moved away from.
  const auto side_of = [&](SightPoint p) {
    const int64_t c = cross(segment, p - origin);
    return c > 0 ? 1 : (c < 0 ? -1 : -side);
  };
  int64_t x = a.X;
  int64_t y = a.Y;
  // Every step leaves a cell forwards, so the walk meets b; the bound only guards that.
  const int64_t max_steps = 4 * int64_t{HEXAGON_MAP::DISTANCE(a, b)} + 4;
  for (int64_t step = 0; step < max_steps; ++step) {
    if (x == b.X && y == b.Y) return true;
    const SightPoint centre = sight_centre(x, y);
    int32_t exit = -1;
    for (int32_t d = 0; d < kDirectionCount && exit < 0; ++d) {
      const detail::SideCorners& s = kSideCorners[static_cast<size_t>(d)];
      if (detail::true_dot(segment, centre_step(d)) > 0 &&
          side_of(centre + s.first) != side_of(centre + s.second)) {
        exit = d;
      }
    }
    if (exit < 0 || cells.wall(x, y, exit)) return false;
    y += row_step(static_cast<int32_t>(x & 1), exit);
    x += column_step(exit);
    if ((x != b.X || y != b.Y) && cells.opaque(x, y)) return false;
  }
  return false;
}

bool seen_by_walk(const CellReader& cells, VECTOR2D from, VECTOR2D to) {
  return from == to || walk_clear(cells, from, to, 1) || walk_clear(cells, from, to, -1);
}

// Directions from the viewer's centre (sight space) clockwise from `first` to `last`.
struct Arc {
  SightPoint first, last;
};

// The directions of the whole cell at p (sight space, from the viewer's centre): between its
// two outermost corners.
Arc silhouette(SightPoint p) {
  Arc arc{p + kSideCorners[0].first, p + kSideCorners[0].first};
  for (const detail::SideCorners& side : kSideCorners) {
    const SightPoint corner = p + side.first;
    if (cross(corner, arc.first) > 0) arc.first = corner;
    if (cross(arc.last, corner) > 0) arc.last = corner;
  }
  return arc;
}

// The shadows cast into one sixth of the circle: directions from the viewer's centre (sight
// space), as sorted arcs that neither overlap nor touch, each running clockwise from `first` to
// `last`. An arc hides every ray strictly inside it, and at either end the ray turned the
// slightest bit inwards; directions compare by cross product, all within half a turn.
class Shadows {
 public:
  void clear() {
    count_ = 0;
    overflowed_ = false;
  }
  bool overflowed() const { return overflowed_; }

  // Whether the ray r is hidden whichever way it is turned the slightest bit: arcs do not
  // touch, so that is strictly inside one.
  bool hide(SightPoint r) const {
    const Arc* arc = std::partition_point(arcs_.data(), end(),
                                          [&](const Arc& s) { return cross(s.last, r) > 0; });
    return arc != end() && cross(r, arc->last) > 0 && cross(arc->first, r) > 0;
  }
  // Whether one arc holds all of `a`: then nothing inside `a` is seen or casts a new shadow.
  bool hold(Arc a) const {
    const Arc* arc = std::partition_point(arcs_.data(), end(),
                                          [&](const Arc& s) { return cross(s.last, a.first) > 0; });
    return arc != end() && cross(arc->first, a.first) >= 0 && cross(a.last, arc->last) >= 0;
  }
  // Whether one arc holds the whole sixth from ray `from` clockwise to ray `to`.
  bool cover(SightPoint from, SightPoint to) const {
    return count_ == 1 && cross(arcs_[0].first, from) >= 0 && cross(to, arcs_[0].last) >= 0;
  }

  // Adds the arc between two rays, given in either order.
  void add(SightPoint a, SightPoint b) {
    Arc arc = cross(a, b) > 0 ? Arc{a, b} : Arc{b, a};
    Arc* begin = arcs_.data();
    Arc* const stop = begin + count_;
    Arc* const low = std::partition_point(
        begin, stop, [&](const Arc& s) { return cross(s.last, arc.first) > 0; });
    Arc* high = low;
    while (high != stop && cross(high->first, arc.last) >= 0)
      ++high;
    if (low == high) {
      if (count_ == kMaxShadows) {
        overflowed_ = true;
        return;
      }
      std::copy_backward(low, stop, stop + 1);
      *low = arc;
      ++count_;
      return;
    }
    if (cross(low->first, arc.first) > 0) arc.first = low->first;
    if (cross(arc.last, (high - 1)->last) > 0) arc.last = (high - 1)->last;
    *low = arc;
    std::copy(high, stop, low + 1);
    count_ -= static_cast<size_t>(high - low - 1);
  }

 private:
  const Arc* end() const { return arcs_.data() + count_; }

  std::array<Arc, kMaxShadows> arcs_;
  size_t count_ = 0;
  bool overflowed_ = false;
};

// The field's box on the map (grid coordinates, inclusive corners).
struct FieldBox {
  int64_t x0, y0, x1, y1;
  int64_t width() const { return x1 - x0 + 1; }
  int64_t cells() const { return width() * (y1 - y0 + 1); }
};

// A bit for each cell of the box: seen or not.
class FieldMarks {
 public:
  explicit FieldMarks(FieldBox box) : box_(box) {
    std::fill_n(bits_.begin(), words(), uint64_t{0});
  }
  void mark(GridCell c) {
    const int64_t i = (c.y - box_.y0) * box_.width() + (c.x - box_.x0);
    bits_[static_cast<size_t>(i / 64)] |= uint64_t{1} << (i % 64);
  }
  // Appends the marked cells in row-major order.
  void list(std::vector<VECTOR2D>& out) const {
    for (int64_t w = 0; w < words(); ++w) {
      for (uint64_t bits = bits_[static_cast<size_t>(w)]; bits != 0; bits &= bits - 1) {
        const int64_t i = w * 64 + std::countr_zero(bits);
        out.emplace_back(static_cast<int32_t>(box_.x0 + i % box_.width()),
                         static_cast<int32_t>(box_.y0 + i / box_.width()));
      }
    }
  }

 private:
  int64_t words() const { return (box_.cells() + 63) / 64; }

  FieldBox box_;
  std::array<uint64_t, kMaxBoxCells / 64> bits_;
};

// Casts the walls among the side bits `walls` of the cell at p (sight space, from the viewer's
// centre) on the sides facing the viewer (`facing`) or on the others. A side seen edge-on
// hides nothing.
void add_walls(Shadows& shadows, SightPoint p, int32_t walls, bool facing) {
  for (; walls != 0; walls &= walls - 1) {
    const int32_t d = std::countr_zero(static_cast<uint32_t>(walls));
    const int64_t towards = detail::true_dot(p, centre_step(d));
    if (facing ? towards < -detail::kHalfStepSquared : towards > -detail::kHalfStepSquared) {
      const detail::SideCorners& side = kSideCorners[static_cast<size_t>(d)];
      shadows.add(p + side.first, p + side.second);
    }
  }
}

// Marks the cells seen in the sixth between directions s and s + 1; false when the shadows ran
// out of room. Ring k of the sixth is the row k * step(s) + i * step(s + 2), i = 0 to k, and
// exactly its cells cast shadows into the sixth.
bool sweep_sixth(const CellReader& cells, VECTOR2D viewer, int64_t radius, int32_t s,
                 FieldMarks& marks, Shadows& shadows) {
  const SightPoint from = centre_step(s);
  const SightPoint to = centre_step((s + 1) % kDirectionCount);
  const SightPoint along = centre_step((s + 2) % kDirectionCount);
  const SightPoint viewer_centre = sight_centre(viewer.X, viewer.Y);
  shadows.clear();
  // The viewer's own cell hides nothing, but its walls do: those of the two sides that face
  // into this sixth, as the others lie half a turn away.
  const int32_t facing_sides = (1 << s) | (1 << ((s + 1) % kDirectionCount));
  add_walls(shadows, SightPoint{0, 0}, cells.find({viewer.X, viewer.Y})->ID_WALL & facing_sides,
            false);
  for (int64_t k = 1; k <= radius && !shadows.cover(from, to); ++k) {
    // Along a ray, cells never fall back to a nearer ring, and the segment to a centre of ring
    // k meets no other cell of ring k: so the cells of a ring may go in any order.
    // The ring's cells lie rows apart in memory: ask for all of them before reading any.
    for (int64_t i = 0; i <= k; ++i) {
      if (const MAP_CELL* const cell = cells.find(grid_of(viewer_centre + from * k + along * i))) {
        __builtin_prefetch(cell);
      }
    }
    for (int64_t i = 0; i <= k; ++i) {
      const SightPoint p = from * k + along * i;
      const Arc whole = silhouette(p);
      const GridCell at = grid_of(viewer_centre + p);
      const MAP_CELL* const cell = cells.find(at);
      if (cell == nullptr || shadows.hold(whole)) continue;
      // Every wall is cast from the bits of its own cell, which the neighbour across needs
      // first only when that neighbour lies in a further ring.
      const int32_t walls = cell->ID_WALL & kSideBits;
      add_walls(shadows, p, walls, true);
      if (!shadows.hide(p)) marks.mark(at);
      if (cell->SOLID != 0) {
        shadows.add(whole.first, whole.last);  // which holds every side of the cell
      } else {
        add_walls(shadows, p, walls, false);
      }
      if (shadows.overflowed()) return false;
    }
  }
  return true;
}

}  // namespace

bool line_of_sight(const HEXAGON_MAP& map, VECTOR2D from, VECTOR2D to) {
  if (!detail::size_fields_match(map)) return false;
  const CellReader cells(map);
  return cells.inside(from.X, from.Y) && cells.inside(to.X, to.Y) && seen_by_walk(cells, from, to);
}

void field_of_view(const HEXAGON_MAP& map, VECTOR2D viewer, int32_t radius,
                   std::vector<VECTOR2D>& visible) {
  visible.clear();
  if (!detail::size_fields_match(map) || radius < 0) return;
  const CellReader cells(map);
  if (!cells.inside(viewer.X, viewer.Y)) return;
  // No two cells of the map are further apart than its width plus its height.
  const int64_t r = std::min<int64_t>(radius, cells.width() + cells.height());
  const FieldBox box{std::max<int64_t>(0, viewer.X - r), std::max<int64_t>(0, viewer.Y - r),
                     std::min<int64_t>(cells.width() - 1, viewer.X + r),
                     std::min<int64_t>(cells.height() - 1, viewer.Y + r)};
  if (box.cells() <= kMaxBoxCells) {
    FieldMarks marks(box);
    marks.mark({viewer.X, viewer.Y});
    Shadows shadows;
    bool swept = true;
    for (int32_t s = 0; s < kDirectionCount && swept; ++s) {
      swept = sweep_sixth(cells, viewer, r, s, marks, shadows);
    }
    if (swept) {
      marks.list(visible);
      return;
    }
  }
  // Cell by cell: the same answer without the marks or the shadows.
  for (int64_t y = box.y0; y <= box.y1; ++y) {
    for (int64_t x = box.x0; x <= box.x1; ++x) {
      const VECTOR2D cell(static_cast<int32_t>(x), static_cast<int32_t>(y));
      if (HEXAGON_MAP::DISTANCE(viewer, cell) <= r && seen_by_walk(cells, viewer, cell)) {
        visible.push_back(cell);
      }
    }
  }
}

}  // namespace hexmap
