// A* search over the grid. The working state lives in the cells' A* fields; the buffers in
// Scratch only make it fast. Both searches here expand the same cells in the same order as the
// documented scan for the lowest F, and leave every cell as the full reset and that scan would.
//
// The bucketed search serves ordinary maps. While every cell's POSITION is its own grid
// position the estimate is consistent: after the start (whose F stays 0) the selected F never
// falls, a closed cell is never reached more cheaply, and every open F lies within the lowest
// open F plus 30. Four buckets by F / 10 mod 4 then each hold one F, and the lowest index in a
// bucket is the scan's choice among equal F. It checks each of these as it relies on it; when
// one fails it undoes what it wrote and the heap search, exact on any cells, runs instead.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "hexmap/astar_heap.hpp"
#include "hexmap/grid_geometry.hpp"
#include "hexmap/hexagon_map.hpp"
#include "hexmap/search_scratch.hpp"

namespace hexmap {
namespace {

using detail::kStepCost;
using detail::LowestIndexSet;
using detail::SearchScratch;
using detail::SearchSetup;
using detail::SideWord;

constexpr std::string_view kSizeMismatch =
    ":   A* refused, the map size fields do not match the cells";

constexpr uint32_t kTagEpoch = ~((1u << detail::kEpochShift) - 1);
// Open F / 10 values span at most this many steps above the lowest one.
constexpr int32_t kBucketSpan = 3;
// Above this F / 10 the buckets would see F values that wrap.
constexpr int32_t kMaxBucketLevel = std::numeric_limits<int32_t>::max() / kStepCost - kBucketSpan;

uint32_t next_epoch(SearchScratch& s) {
  ++s.epoch;
  if (s.epoch > (kTagEpoch >> detail::kEpochShift)) {  // the tags would wrap: start afresh
    std::fill(s.side.begin(), s.side.end(), SideWord{0, 0});
    s.epoch = 1;
  }
  return s.epoch << detail::kEpochShift;
}

// Grid positions this far from the origin keep every distance and difference below in int
// range; a goal beyond it (a foreign POSITION) sends the search to the heap.
constexpr int32_t kGoalReach = 1 << 28;

// The step count of detail::distance for positions within kGoalReach, in 32 bits.
[[gnu::always_inline]] inline int32_t near_distance(int32_t x1, int32_t y1, int32_t x2,
                                                    int32_t y2) {
  const int32_t dx = x1 > x2 ? x1 - x2 : x2 - x1;
  const int32_t dy = y1 > y2 ? y1 - y2 : y2 - y1;
  if (dy <= dx / 2) return dx;
  const int32_t lean =
      (x1 & 1) != 0 ? static_cast<int32_t>(y1 >= y2) : static_cast<int32_t>(y1 < y2);
  return dy + (dx + lean) / 2;
}

// What the bucketed search keeps between expansions.
struct Frontier {
  MAP_CELL* cells;
  SideWord* side;
  LowestIndexSet* buckets;
  int32_t* opened;  // astar_opening's items
  size_t opened_count;
  int32_t width;
  int32_t height;
  VECTOR2D goal;
  uint32_t epoch;
  int32_t open;
  int32_t low;  // the lowest open F / 10; every open one lies within kBucketSpan above it
  int32_t open_count;
  int32_t expanded;
  int64_t open_sum;  // open cells summed over the expansions, each counted before it
};

// Checks the six neighbours of the closed cell c at grid (x, y), whose G / 10 is steps - 1.
// Inner cells skip the border tests; the column parity fixes each neighbour's row, so every
// neighbour's index is c plus a constant and a multiple of the width. Returns false when an
// assumption failed.
template <bool kInner, int32_t kParity>
[[gnu::always_inline]] inline bool expand(Frontier& f, int32_t c, int32_t x, int32_t y,
                                          int32_t steps) {
  MAP_CELL* const cells = f.cells;
  SideWord* const side = f.side;
  LowestIndexSet* const buckets = f.buckets;
  const int32_t width = f.width;
  const uint32_t epoch = f.epoch;
  const int32_t open = f.open;
  const int32_t low = f.low;
  const int32_t gx = f.goal.X;
  const int32_t gy = f.goal.Y;
  const int32_t g = steps * kStepCost;
  // With nothing else open the next lowest F is free; the F values opened now must still
  // fit the buckets together.
  const bool rebase = f.open_count == 0;
  int32_t rebase_low = std::numeric_limits<int32_t>::max();
  int32_t rebase_high = 0;
  int32_t* const opened = f.opened;
  const size_t opened_before = f.opened_count;
  size_t opened_count = opened_before;
  const auto admit = [&](int32_t level) __attribute__((always_inline)) {
    if (rebase) {
      rebase_low = std::min(rebase_low, level);
      rebase_high = std::max(rebase_high, level);
      return level >= 0 && level <= kMaxBucketLevel;
    }
    return static_cast<uint32_t>(level - low) <= static_cast<uint32_t>(kBucketSpan);
  };

  // Called with constant directions, so the neighbour arithmetic folds away.
  const auto relax = [&](int32_t d) __attribute__((always_inline)) {
    const int32_t dx = detail::step_x(d);
    const int32_t dy = detail::step_y(kParity, d);
    const int32_t nx = x + dx;
    const int32_t ny = y + dy;
    if constexpr (!kInner) {
      if (static_cast<uint32_t>(nx) >= static_cast<uint32_t>(width) ||
          static_cast<uint32_t>(ny) >= static_cast<uint32_t>(f.height)) {
        return true;
      }
    }
    const int32_t n = c + dx + (dy < 0 ? -width : dy > 0 ? width : 0);
    SideWord& to_side = side[n];
    uint32_t tag = to_side.tag;
    if ((tag & kTagEpoch) != epoch) {  // first met in this search
      const MAP_CELL& to = cells[n];
      const uint32_t sides = detail::entry_sides<detail::SolidStops::minus_one>(to);
      if (sides != 0 && (to.POSITION.X != nx || to.POSITION.Y != ny)) return false;
      tag = epoch | sides;
      to_side.tag = tag;
    }
    if (((tag >> d) & 1u) == 0) return true;
    MAP_CELL& to = cells[n];
    if ((tag & detail::kTagList) == 0) {
      const int32_t h = near_distance(nx, ny, gx, gy);
      if (h > kMaxBucketLevel) return false;
      const int32_t level = steps + h;
      if (!admit(level)) return false;
      to.ASTAR_PARENT = VECTOR2D(x, y);
      to.ASTAR_PARENT_INDEX = c;
      to.ASTAR_DIRECTION = d;
      to.ASTAR_LIST = open;
      to.ASTAR_PATH_DIRECTION = -1;
      to.ASTAR_F = level * kStepCost;
      to.ASTAR_G = g;
      to.ASTAR_H = h * kStepCost;
      to_side = {tag | detail::kTagOpen, steps};
      opened[opened_count++] = n;
      buckets[level & 3].insert(static_cast<uint32_t>(n));
      return true;
    }
    if (steps >= to_side.steps) return true;
    if ((tag & detail::kTagList) == detail::kTagClosed) return false;
    const int32_t old_level = to.ASTAR_F / kStepCost;
    const int32_t level = old_level - (to_side.steps - steps);
    if (!admit(level)) return false;
    buckets[old_level & 3].erase(static_cast<uint32_t>(n));
    to.ASTAR_PARENT = VECTOR2D(x, y);
    to.ASTAR_PARENT_INDEX = c;
    to.ASTAR_DIRECTION = d;
    to.ASTAR_F = level * kStepCost;
    to.ASTAR_G = g;
    to_side.steps = steps;
    buckets[level & 3].insert(static_cast<uint32_t>(n));
    return true;
  };
  const bool ok = relax(0) && relax(1) && relax(2) && relax(3) && relax(4) && relax(5);
  f.opened_count = opened_count;
  if (!ok) return false;
  const auto opened_now = static_cast<int32_t>(opened_count - opened_before);
  f.open_count += opened_now;
  if (rebase && opened_now > 0) {
    if (rebase_high - rebase_low > kBucketSpan) return false;
    f.low = rebase_low;
  }
  return true;
}

// The expansion loop of the bucketed search, from the start.
[[gnu::always_inline]] inline bool run_buckets(Frontier& f, const SearchSetup& setup) {
  const int32_t width = f.width;
  const int32_t height = f.height;
  const int32_t start = setup.start;
  MAP_CELL& first = f.cells[start];
  if (first.POSITION != VECTOR2D(start % width, start / width)) return false;
  detail::reset_cell(first, setup.none);
  first.ASTAR_LIST = setup.open;
  f.side[start] = {
      f.epoch | detail::entry_sides<detail::SolidStops::minus_one>(first) | detail::kTagOpen, 0};
  f.opened[f.opened_count++] = start;
  f.buckets[0].insert(static_cast<uint32_t>(start));
  f.open_count = 1;

  int32_t& expanded = f.expanded;
  while (f.open_count != 0) {
    int32_t skipped = 0;
    for (; f.buckets[f.low & 3].empty(); ++f.low) {
      if (++skipped == 4) return false;  // cannot happen while every open F fits the buckets
    }
    LowestIndexSet& bucket = f.buckets[f.low & 3];
    const auto c = static_cast<int32_t>(bucket.lowest());
    if (c == setup.end) break;
    bucket.erase(static_cast<uint32_t>(c));
    ++expanded;
    f.open_sum += f.open_count--;

    MAP_CELL& from = f.cells[c];
    from.ASTAR_LIST = setup.closed;
    SideWord& from_side = f.side[c];
    from_side.tag = (from_side.tag & ~detail::kTagList) | detail::kTagClosed;
    const int32_t x = from.POSITION.X;  // checked against the index when it was opened
    const int32_t y = from.POSITION.Y;
    const int32_t steps = from_side.steps + 1;
    const bool inner = x > 0 && y > 0 && x < width - 1 && y < height - 1;
    const bool odd = (x & 1) != 0;
    const bool ok =
        inner ? (odd ? expand<true, 1>(f, c, x, y, steps) : expand<true, 0>(f, c, x, y, steps))
              : (odd ? expand<false, 1>(f, c, x, y, steps) : expand<false, 0>(f, c, x, y, steps));
    if (!ok) return false;
    if (expanded >= setup.limit) break;
  }
  return true;
}

// The bucketed search. Cells written outside a search are reset; the cells the last search
// opened may still hold its values. Returns false when an assumption failed; the cells it
// opened are then listed in astar_opening. Costs are counted in steps here (F / 10, G / 10).
bool bucket_search(HEXAGON_MAP& map, SearchScratch& s, const SearchSetup& setup) {
  const VECTOR2D goal = map.CELLS[static_cast<size_t>(setup.end)].POSITION;
  if (goal.X < -kGoalReach || goal.X > kGoalReach || goal.Y < -kGoalReach || goal.Y > kGoalReach) {
    return false;
  }
  Frontier f{map.CELLS.data(),
             s.side.data(),
             s.buckets.data(),
             s.astar_opening.data(),
             0,
             map.MAP_WIDTH,
             map.MAP_HEIGHT,
             goal,
             next_epoch(s),
             setup.open,
             0,
             0,
             0,
             0};
  const bool done = run_buckets(f, setup);
  s.astar_opening.set_size(f.opened_count);
  s.astar_prefer_heap =
      detail::prefer_heap(map.CELL_COUNT, f.expanded, f.open_sum, s.astar_prefer_heap);
  return done;
}

// Runs the search into reset cells; the cells the last search opened may still hold its
// values, and are reset unless this search opened them again.
void search(HEXAGON_MAP& map, SearchScratch& s, const SearchSetup& setup) {
  MAP_CELL* const cells = map.CELLS.data();
  if (s.astar_prefer_heap) {
    detail::reset_list(cells, s.astar_searched, setup.none);
    detail::reset_list(cells, s.astar_opening, setup.none);
    detail::run_heap_search(map, s, setup);
    return;
  }
  const bool done = bucket_search(map, s, setup);
  for (LowestIndexSet& bucket : s.buckets)
    bucket.clear();
  if (done) {
    const uint32_t epoch = s.epoch << detail::kEpochShift;
    for (const int32_t i : s.astar_searched) {
      const uint32_t tag = s.side[static_cast<size_t>(i)].tag;
      if ((tag & kTagEpoch) != epoch || (tag & detail::kTagList) == 0) {
        detail::reset_cell(cells[i], setup.none);
      }
    }
    s.astar_searched.clear();
    std::swap(s.astar_searched, s.astar_opening);
    return;
  }
  detail::reset_list(cells, s.astar_searched, setup.none);
  detail::reset_list(cells, s.astar_opening, setup.none);
  detail::run_heap_search(map, s, setup);
}

bool on_grid(const HEXAGON_MAP& map, int32_t index) {
  return index >= 0 && index < map.CELL_COUNT;
}

}  // namespace

void HEXAGON_MAP::ASTAR_CELLCLEARALL() {
  if (!detail::grid_matches(*this, *scratch_)) {
    log_line(kSizeMismatch);
    return;
  }
  MAP_CELL* cells = CELLS.data();
  for (int32_t y = 0; y < MAP_HEIGHT; ++y) {
    for (int32_t x = 0; x < MAP_WIDTH; ++x) {
      MAP_CELL& c = cells[y * MAP_WIDTH + x];
      c.POSITION = VECTOR2D(x, y);
      c.SOLID = 0;
    }
  }
}

void HEXAGON_MAP::ASTAR_CELLSETSOLID(int32_t x, int32_t y, int32_t value) {
  if (MAP_CELL* c = cell_at(x, y)) c->SOLID = value;
}
void HEXAGON_MAP::ASTAR_CELLSETSOLID(VECTOR2D p, int32_t value) {
  ASTAR_CELLSETSOLID(p.X, p.Y, value);
}

void HEXAGON_MAP::ASTAR_CELLTOGGLESOLID(int32_t x, int32_t y) {
  if (MAP_CELL* c = cell_at(x, y)) c->SOLID = c->SOLID != 0 ? 0 : -1;
}
void HEXAGON_MAP::ASTAR_CELLTOGGLESOLID(VECTOR2D p) {
  ASTAR_CELLTOGGLESOLID(p.X, p.Y);
}

void HEXAGON_MAP::ASTAR_CELLSETSTART(int32_t x, int32_t y) {
  if (INSIDE(x, y) == 0) return;
  ASTAR_START_INDEX = y * MAP_WIDTH + x;
  ASTAR_START = VECTOR2D(x, y);
}
void HEXAGON_MAP::ASTAR_CELLSETSTART(VECTOR2D p) {
  ASTAR_CELLSETSTART(p.X, p.Y);
}

void HEXAGON_MAP::ASTAR_CELLSETEND(int32_t x, int32_t y) {
  if (INSIDE(x, y) == 0) return;
  ASTAR_END_INDEX = y * MAP_WIDTH + x;
  ASTAR_END = VECTOR2D(x, y);
}
void HEXAGON_MAP::ASTAR_CELLSETEND(VECTOR2D p) {
  ASTAR_CELLSETEND(p.X, p.Y);
}

void HEXAGON_MAP::ASTAR_CHECKNEIGHBOUR(int32_t index, int32_t direction, int32_t x, int32_t y,
                                       int32_t cost) {
  if (!detail::grid_matches(*this, *scratch_)) {
    log_line(kSizeMismatch);
    return;
  }
  if (!on_grid(*this, index)) {
    log_line(":   A* neighbour check refused, cell " + std::to_string(index) + " is off the map");
    return;
  }
  if (!detail::is_direction(direction)) {
    log_line(":   A* neighbour check refused, direction " + std::to_string(direction));
    return;
  }
  if (INSIDE(x, y) == 0) return;
  const int32_t n = y * MAP_WIDTH + x;
  MAP_CELL& to = CELLS[static_cast<size_t>(n)];
  if (!detail::can_enter<detail::SolidStops::minus_one>(to, direction)) return;
  const MAP_CELL& from = CELLS[static_cast<size_t>(index)];
  const int32_t g = detail::wrap_add(from.ASTAR_G, cost);
  const bool reopen =
      (to.ASTAR_LIST == ASTAR_OPEN || to.ASTAR_LIST == ASTAR_CLOSED) && g < to.ASTAR_G;
  if (!reopen && to.ASTAR_LIST != ASTAR_NONE) return;
  if (!on_grid(*this, ASTAR_END_INDEX)) {
    log_line(":   A* neighbour check refused, end cell " + std::to_string(ASTAR_END_INDEX) +
             " is off the map");
    return;
  }
  const VECTOR2D goal = CELLS[static_cast<size_t>(ASTAR_END_INDEX)].POSITION;
  to.ASTAR_LIST = ASTAR_OPEN;
  to.ASTAR_G = g;
  to.ASTAR_H = detail::wrap_times10(detail::distance(to.POSITION.X, to.POSITION.Y, goal.X, goal.Y));
  to.ASTAR_F = detail::wrap_add(g, to.ASTAR_H);
  to.ASTAR_PARENT = from.POSITION;
  to.ASTAR_PARENT_INDEX = detail::wrap_index(from.POSITION, MAP_WIDTH);
  to.ASTAR_DIRECTION = direction;
  detail::mark_astar_touched(*scratch_, n);
}

void HEXAGON_MAP::ASTAR_CHECKNEIGHBOURS(int32_t index, int32_t x, int32_t y) {
  if (!detail::grid_matches(*this, *scratch_)) {
    log_line(kSizeMismatch);
    return;
  }
  if (!on_grid(*this, index)) {
    log_line(":   A* neighbour check refused, cell " + std::to_string(index) + " is off the map");
    return;
  }
  for (int32_t d = 0; d < detail::kDirectionCount; ++d) {
    ASTAR_CHECKNEIGHBOUR(index, d, detail::adjacent_x(x, d), detail::adjacent_y(x, y, d),
                         kStepCost);
  }
}

int32_t HEXAGON_MAP::ASTAR_GETLOWESTF() {
  int32_t best = -1;
  const size_t count = std::min(CELLS.size(), static_cast<size_t>(std::max(CELL_COUNT, 0)));
  for (size_t i = 0; i < count; ++i) {
    const MAP_CELL& c = CELLS[i];
    if (c.ASTAR_LIST != ASTAR_OPEN) continue;
    if (best == -1 || c.ASTAR_F < CELLS[static_cast<size_t>(best)].ASTAR_F) {
      best = static_cast<int32_t>(i);
    }
  }
  return best;
}

void HEXAGON_MAP::ASTAR_COMPUTE(int32_t limit) {
  detail::SearchScratch& s = *scratch_;
  if (!detail::grid_matches(*this, s)) {
    log_line(kSizeMismatch);
    return;
  }
  ASTAR_PATH_LENGTH = 0;
  ASTAR_PATH_FOUND = 0;
  ASTAR_FIRST_DIRECTION = -1;

  const auto refuse = [&](std::string_view why) {
    detail::reset_astar(*this, s);
    log_line(why);
  };
  if (ASTAR_NONE == ASTAR_OPEN || ASTAR_NONE == ASTAR_CLOSED || ASTAR_OPEN == ASTAR_CLOSED) {
    refuse(":   A* search refused, the list marks are not distinct");
    return;
  }
  // A start or end set on an earlier, larger grid may no longer exist.
  if (!on_grid(*this, ASTAR_START_INDEX) || INSIDE(ASTAR_START) == 0) {
    refuse(":   A* start " + to_string(ASTAR_START) + " is off the map, no search");
    return;
  }
  if (!on_grid(*this, ASTAR_END_INDEX) || INSIDE(ASTAR_END) == 0) {
    refuse(":   A* end " + to_string(ASTAR_END) + " is off the map, no search");
    return;
  }

  detail::reset_outside_writes(*this, s);
  const int32_t start = ASTAR_START_INDEX;
  const int32_t end = ASTAR_END_INDEX;
  search(*this, s, {start, end, limit, ASTAR_NONE, ASTAR_OPEN, ASTAR_CLOSED});
  if (!detail::trace_path(*this, start, end)) log_line(":   A* path trace is broken, no path");
}

void HEXAGON_MAP::ASTAR_COMPUTE(int32_t start_x, int32_t start_y, int32_t end_x, int32_t end_y,
                                int32_t limit) {
  ASTAR_CELLSETSTART(start_x, start_y);
  ASTAR_CELLSETEND(end_x, end_y);
  ASTAR_COMPUTE(limit);
}

void HEXAGON_MAP::ASTAR_COMPUTE(VECTOR2D start, VECTOR2D end, int32_t limit) {
  ASTAR_CELLSETSTART(start);
  ASTAR_CELLSETEND(end);
  ASTAR_COMPUTE(limit);
}

}  // namespace hexmap
