// A* search over the grid. The working state lives in the cells' A* fields; the buffers in
// Scratch only make it fast. Both searches here expand the same cells in the same order as the
// documented scan for the lowest F, and leave every cell as the full reset and that scan would.
//
// The bucketed search serves ordinary maps; the heap search serves mazes and narrow ways,
// chosen per map by how many cells the last search kept open. While every cell's POSITION is
// its own grid position the estimate is consistent: after the start (whose F stays 0) the
// selected F never falls, a closed cell is never reached more cheaply, and every open F lies
// within the lowest open F plus 30. Four buckets by F / 10 mod 4 then each hold one F, and the
// lowest index in a bucket is the scan's choice among equal F. The bucketed search checks each
// of these as it relies on it; when one fails it undoes what it wrote and the heap search,
// exact on any cells, runs instead.

#include <algorithm>
#include <array>
#include <bit>
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

// Open F / 10 values span at most this many steps above the lowest one.
constexpr int32_t kBucketSpan = 3;
// Grid positions this far from the origin keep every distance and difference below in int
// range; a goal beyond it (a foreign POSITION) sends the search to the heap.
constexpr int32_t kGoalReach = 1 << 26;
// The largest F / 10 the search can meet: the most steps a path can take plus the farthest
// estimate. F itself must not wrap, nor F / 10 plus the bucket span.
constexpr int64_t kMaxLevel = int64_t{kMaxCellCount} + 2 * (int64_t{kGoalReach} + kMaxCellCount);
static_assert((kMaxLevel + kBucketSpan) * kStepCost <= std::numeric_limits<int32_t>::max());

// A fresh epoch for the next bucketed search, in the side words' high half.
uint64_t next_epoch(SearchScratch& s) {
  if (++s.epoch == 0) {  // the epochs wrapped: start afresh
    std::fill(s.side.begin(), s.side.end(), SideWord{0});
    s.epoch = 1;
  }
  return uint64_t{s.epoch} << detail::kEpochShift;
}

// The step count of detail::distance for positions within kGoalReach, in 32 bits and without
// a branch (which way a search meets the goal's rows and columns follows no pattern): when
// dy <= dx / 2 the second term is at most dx, otherwise at least dx.
[[gnu::always_inline]] inline int32_t near_distance(int32_t x1, int32_t y1, int32_t x2,
                                                    int32_t y2) {
  const int32_t dx = x1 > x2 ? x1 - x2 : x2 - x1;
  const int32_t dy = y1 > y2 ? y1 - y2 : y2 - y1;
  const int32_t lean = static_cast<int32_t>(y1 < y2) ^ (x1 & 1);  // odd columns lean the other way
  return std::max(dx, dy + ((dx + lean) >> 1));
}

// What the bucketed search keeps between expansions.
struct Frontier {
  MAP_CELL* cells;
  SideWord* side;
  int32_t* opened;  // astar_opening's items
  int32_t opened_count;
  int32_t width;
  VECTOR2D goal;
  uint64_t epoch;  // in the side words' high half
  int32_t open;    // the list marks
  int32_t closed;
};

// Returned by OpenBuckets::take(): nothing is open, or an assumption failed.
constexpr int32_t kNoneOpen = -1;
constexpr int32_t kBroken = -2;

// The open cells in four buckets by F / 10 mod 4, for a consistent estimate: each bucket then
// holds one F, and its lowest index is the scan's choice. Suits many open cells (open ground).
class OpenBuckets {
 public:
  explicit OpenBuckets(std::array<LowestIndexSet, 4>& sets) : sets_(sets.data()) {}

  // Whether F / 10 = level fits beside the open cells. While nothing else is open (the start,
  // or a way through a single cell) the lowest open F is set afresh from the cells opened
  // next, which must fit together.
  template <bool kAlone>
  [[gnu::always_inline]] bool admit(int32_t level) {
    if constexpr (kAlone) {
      alone_low_ = std::min(alone_low_, level);
      alone_high_ = std::max(alone_high_, level);
      return true;
    }
    return static_cast<uint32_t>(level - low_) <= static_cast<uint32_t>(kBucketSpan);
  }
  void begin_alone() {
    alone_low_ = std::numeric_limits<int32_t>::max();
    alone_high_ = 0;
  }
  // After the cells opened alone: false when they do not fit the buckets together.
  bool end_alone(bool opened_any) {
    if (!opened_any) return true;
    low_ = alone_low_;
    set_ = &sets_[low_ & 3];
    return alone_high_ - alone_low_ <= kBucketSpan;
  }
  [[gnu::always_inline]] void insert(int32_t level, int32_t n) {
    sets_[level & 3].insert(static_cast<uint32_t>(n));
  }
  [[gnu::always_inline]] void move(int32_t old_level, int32_t level, int32_t n) {
    sets_[old_level & 3].erase(static_cast<uint32_t>(n));
    sets_[level & 3].insert(static_cast<uint32_t>(n));
  }
  // The open cell with the lowest F and index, removed; `open_count` cells are open.
  [[gnu::always_inline]] int32_t take(int32_t open_count) {
    if (open_count == 0) return kNoneOpen;
    uint32_t i = 0;
    for (int32_t skipped = 0; !set_->take_lowest(i);) {
      if (++skipped == 4) return kBroken;  // an open F outside the buckets
      set_ = &sets_[++low_ & 3];
    }
    return static_cast<int32_t>(i);
  }
  void clear() {
    for (int i = 0; i < 4; ++i)
      sets_[i].clear();
  }

 private:
  LowestIndexSet* sets_;
  LowestIndexSet* set_ = sets_;  // the bucket of low_
  int32_t low_ = 0;  // the lowest open F / 10; every open one lies within kBucketSpan above it
  int32_t alone_low_ = 0;
  int32_t alone_high_ = 0;
};

// Neighbour steps by column parity and direction: index, column and row offsets.
struct Steps {
  std::array<std::array<ptrdiff_t, detail::kDirectionCount>, 2> index;
  std::array<std::array<int32_t, detail::kDirectionCount>, 2> row;
};
Steps make_steps(int32_t width) {
  Steps t{};
  for (int32_t parity = 0; parity < 2; ++parity) {
    for (int32_t d = 0; d < detail::kDirectionCount; ++d) {
      t.row[parity][d] = detail::step_y(parity, d);
      t.index[parity][d] = detail::step_x(d) + ptrdiff_t{t.row[parity][d]} * width;
    }
  }
  return t;
}
constexpr std::array<int32_t, detail::kDirectionCount> kColumnStep{0, 1, 1, 0, -1, -1};

// Relaxes the step in direction d from the closed cell c at grid (x, y) to its neighbour,
// which is on the grid; the step arrives with G / 10 = steps. Returns false when an
// assumption failed.
template <bool kAlone>
[[gnu::always_inline]] inline bool relax(Frontier& f, OpenBuckets& open, const Steps& t, int32_t c,
                                         int32_t x, int32_t y, uint32_t steps, int32_t d) {
  const int32_t parity = x & 1;
  const auto n = static_cast<int32_t>(c + t.index[parity][d]);
  const int32_t nx = x + kColumnStep[d];
  const int32_t ny = y + t.row[parity][d];
  const uint64_t epoch = f.epoch;
  SideWord& word = f.side[n];
  const SideWord seen = word;
  if (seen - epoch <= steps) return true;  // met in this search and not reached more cheaply
  MAP_CELL& to = f.cells[n];
  const uint32_t sides = detail::entry_sides<detail::SolidStops::minus_one>(to);
  uint32_t stored = detail::kNotOpened;
  if (seen < epoch) {  // first met in this search
    if (sides == 0) {
      word = epoch | detail::kNoEntry;  // passed over from now on
      return true;
    }
    if (to.POSITION.X != nx || to.POSITION.Y != ny) return false;
    word = epoch | detail::kNotOpened;
  } else {
    stored = static_cast<uint32_t>(seen);
  }
  if (((sides >> d) & 1u) == 0) return true;
  if (stored == detail::kNotOpened) {
    const int32_t h = near_distance(nx, ny, f.goal.X, f.goal.Y);
    const int32_t level = static_cast<int32_t>(steps) + h;
    if (!open.admit<kAlone>(level)) return false;
    to.ASTAR_PARENT = VECTOR2D(x, y);
    to.ASTAR_PARENT_INDEX = c;
    to.ASTAR_DIRECTION = d;
    to.ASTAR_LIST = f.open;
    to.ASTAR_PATH_DIRECTION = -1;
    to.ASTAR_F = level * kStepCost;
    to.ASTAR_G = static_cast<int32_t>(steps) * kStepCost;
    to.ASTAR_H = h * kStepCost;
    word = epoch | steps;
    f.opened[f.opened_count++] = n;
    open.insert(level, n);
    return true;
  }
  // A cheaper way to a cell this search opened.
  if (to.ASTAR_LIST == f.closed) return false;
  const int32_t old_level = to.ASTAR_F / kStepCost;
  const int32_t level = old_level - static_cast<int32_t>(stored - steps);
  if (!open.admit<kAlone>(level)) return false;
  to.ASTAR_PARENT = VECTOR2D(x, y);
  to.ASTAR_PARENT_INDEX = c;
  to.ASTAR_DIRECTION = d;
  to.ASTAR_F = level * kStepCost;
  to.ASTAR_G = static_cast<int32_t>(steps) * kStepCost;
  word = epoch | steps;
  open.move(old_level, level, n);
  return true;
}

// The directions from an inner cell at column x whose neighbour needs a closer look: not yet
// met in this search, or reached more cheaply now. `at` is the cell's side word; the column
// parity places the diagonal neighbours in its own row or the rows above and below, chosen
// without a branch since the parity of the cells taken in turn follows no pattern.
[[gnu::always_inline]] inline uint32_t directions_to_relax(const SideWord* at, int32_t x,
                                                           ptrdiff_t width, uint64_t epoch,
                                                           uint64_t steps) {
  const ptrdiff_t odd = x & 1;
  const SideWord* upper = at - (width & (odd - 1));  // the row of the diagonals leaning up
  const SideWord* lower = at + (width & -odd);
  // Direction 5 first, so that the doublings leave direction d at bit d; no branch, since
  // which neighbours are new follows the map.
  const auto far = [&](uint32_t mask, SideWord word) {
    return mask + mask + static_cast<uint32_t>(steps < word - epoch);
  };
  uint32_t mask = far(0, upper[-1]);
  mask = far(mask, lower[-1]);
  mask = far(mask, at[width]);
  mask = far(mask, lower[1]);
  mask = far(mask, upper[1]);
  return far(mask, at[-width]);
}

// The directions from grid (x, y) that stay on a grid of width x height cells.
inline uint32_t directions_on_grid(int32_t x, int32_t y, int32_t width, int32_t height) {
  uint32_t mask = 0;
  for (int32_t d = 0; d < detail::kDirectionCount; ++d) {
    const int32_t nx = x + detail::step_x(d);
    const int32_t ny = y + detail::step_y(x, d);
    const bool on = static_cast<uint32_t>(nx) < static_cast<uint32_t>(width) &&
                    static_cast<uint32_t>(ny) < static_cast<uint32_t>(height);
    mask |= static_cast<uint32_t>(on) << d;
  }
  return mask;
}

// Relaxes the directions in `mask` from cell c while nothing else is open.
[[gnu::noinline]] bool relax_alone(Frontier& f, OpenBuckets& open, const Steps& t, int32_t c,
                                   int32_t x, int32_t y, uint32_t steps, uint32_t mask) {
  open.begin_alone();
  const int32_t before = f.opened_count;
  for (; mask != 0; mask &= mask - 1) {
    if (!relax<true>(f, open, t, c, x, y, steps, std::countr_zero(mask))) return false;
  }
  return open.end_alone(f.opened_count != before);
}

// How sparse the open cells were: sampled every kSampleEvery expansions.
constexpr int32_t kSampleEvery = 8;
struct Sparsity {
  int32_t expanded = 0;
  int32_t samples = 0;
  int64_t open_sum = 0;
};

// The expansion loop of the bucketed search, from the start. Returns false when an assumption
// failed.
[[gnu::always_inline]] inline bool run_buckets(Frontier& f, OpenBuckets& open,
                                               const SearchSetup& setup, int32_t height,
                                               Sparsity& sparsity) {
  const int32_t width = f.width;
  const int32_t start = setup.start;
  MAP_CELL& first = f.cells[start];
  if (first.POSITION != VECTOR2D(start % width, start / width)) return false;
  detail::reset_cell(first, setup.none);
  first.ASTAR_LIST = setup.open;
  f.side[start] = f.epoch;  // G 0: nothing reaches it more cheaply
  f.opened[f.opened_count++] = start;
  open.insert(0, start);
  const Steps t = make_steps(width);
  const int32_t last = width * height - 1;

  int32_t expanded = 0;
  for (;;) {
    const int32_t c = open.take(f.opened_count - expanded);
    if (c < 0 || c == setup.end) {
      sparsity.expanded = expanded;
      return c != kBroken;
    }
    ++expanded;
    const int32_t others = f.opened_count - expanded;  // open beside c
    if (expanded % kSampleEvery == 0) {
      ++sparsity.samples;
      sparsity.open_sum += others + 1;
    }

    // The cells two rows on are met soon on open ground, and later than the hardware would
    // fetch them on large grids.
    const int32_t ahead = std::min(c + 2 * width + 2, last);
    __builtin_prefetch(&f.cells[ahead], 1);
    __builtin_prefetch(&f.side[ahead], 1);
    MAP_CELL& from = f.cells[c];
    from.ASTAR_LIST = setup.closed;
    const int32_t x = from.POSITION.X;  // checked against the index when it was opened
    const int32_t y = from.POSITION.Y;
    const uint32_t steps = static_cast<uint32_t>(f.side[c]) + 1;
    const bool inner = static_cast<uint32_t>(x - 1) < static_cast<uint32_t>(width - 2) &&
                       static_cast<uint32_t>(y - 1) < static_cast<uint32_t>(height - 2);
    uint32_t mask = inner ? directions_to_relax(f.side + c, x, width, f.epoch, steps)
                          : directions_on_grid(x, y, width, height);
    if (others == 0) [[unlikely]] {
      if (!relax_alone(f, open, t, c, x, y, steps, mask)) return false;
      mask = 0;
    }
    for (; mask != 0; mask &= mask - 1) {
      if (!relax<false>(f, open, t, c, x, y, steps, std::countr_zero(mask))) return false;
    }
    if (expanded >= setup.limit) {
      sparsity.expanded = expanded;
      return true;
    }
  }
}

// The bucketed search. Cells written outside a search are reset; the cells the last search
// opened may still hold its values. Returns false when an assumption failed; the cells it
// opened are then listed in astar_opening. Costs are counted in steps here (F / 10, G / 10).
bool bucket_search(HEXAGON_MAP& map, SearchScratch& s, OpenBuckets& open,
                   const SearchSetup& setup) {
  const VECTOR2D goal = map.CELLS[static_cast<size_t>(setup.end)].POSITION;
  if (goal.X < -kGoalReach || goal.X > kGoalReach || goal.Y < -kGoalReach || goal.Y > kGoalReach) {
    return false;
  }
  Frontier f{.cells = map.CELLS.data(),
             .side = s.side.data(),
             .opened = s.astar_opening.data(),
             .opened_count = 0,
             .width = map.MAP_WIDTH,
             .goal = goal,
             .epoch = next_epoch(s),
             .open = setup.open,
             .closed = setup.closed};
  Sparsity sparsity;
  const bool done = run_buckets(f, open, setup, map.MAP_HEIGHT, sparsity);
  s.astar_opening.set_size(static_cast<size_t>(f.opened_count));
  s.astar_prefer_heap = detail::prefer_heap(map.CELL_COUNT, sparsity.expanded, sparsity.samples,
                                            sparsity.open_sum, s.astar_prefer_heap);
  return done;
}

// Whether the last bucketed search opened cell i: the side word carries its epoch and a G.
bool opened_now(const SearchScratch& s, int32_t i, int32_t start) {
  const SideWord word = s.side[static_cast<size_t>(i)];
  const auto stored = static_cast<uint32_t>(word);
  return (word >> detail::kEpochShift) == s.epoch && stored != detail::kNotOpened &&
         (stored != detail::kNoEntry || i == start);
}

// Runs the search into reset cells; the cells the last search opened may still hold its
// values, and are reset unless this search opened them again.
void search(HEXAGON_MAP& map, SearchScratch& s, const SearchSetup& setup) {
  MAP_CELL* const cells = map.CELLS.data();
  bool done = false;
  if (!s.astar_prefer_heap) {
    OpenBuckets open(s.buckets);
    done = bucket_search(map, s, open, setup);
    open.clear();
  }
  if (done) {
    for (const int32_t i : s.astar_searched) {
      if (!opened_now(s, i, setup.start)) detail::reset_cell(cells[i], setup.none);
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
