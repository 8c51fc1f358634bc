// The bucketed A* search: the open cells in four buckets by F / 10 mod 4, for ordinary maps.
// Grid coordinates throughout; the cells' A* fields hold the search's state, as for the heap
// search, and each assumption is checked as the search relies on it (see astar.cpp).

#include "hexmap/astar_buckets.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "hexmap/entry_rule.hpp"
#include "hexmap/grid_geometry.hpp"
#include "hexmap/lowest_index_set.hpp"
#include "hexmap/search_words.hpp"

namespace hexmap::detail {
namespace {

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
  return uint64_t{s.epoch} << kEpochShift;
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
  std::array<std::array<ptrdiff_t, kDirectionCount>, 2> index;
  std::array<std::array<int32_t, kDirectionCount>, 2> row;
};
Steps make_steps(int32_t width) {
  Steps t{};
  for (int32_t parity = 0; parity < 2; ++parity) {
    for (int32_t d = 0; d < kDirectionCount; ++d) {
      t.row[parity][d] = row_step(parity, d);
      t.index[parity][d] = index_step<ptrdiff_t>(d, width, ptrdiff_t{width} * parity);
    }
  }
  return t;
}

// Relaxes the step in direction d from the closed cell c at grid (x, y) to its neighbour,
// which is on the grid; the step arrives with G / 10 = steps. Returns false when an
// assumption failed.
template <bool kAlone>
[[gnu::always_inline]] inline bool relax(Frontier& f, OpenBuckets& open, const Steps& t, int32_t c,
                                         int32_t x, int32_t y, uint32_t steps, int32_t d) {
  const int32_t parity = x & 1;
  const auto n = static_cast<int32_t>(c + t.index[parity][d]);
  const int32_t nx = x + column_step(d);
  const int32_t ny = y + t.row[parity][d];
  const uint64_t epoch = f.epoch;
  SideWord& word = f.side[n];
  const SideWord seen = word;
  if (seen - epoch <= steps) return true;  // met in this search and not reached more cheaply
  MAP_CELL& to = f.cells[n];
  const uint32_t sides = entry_sides<SolidStops::minus_one>(to);
  uint32_t stored = kNotOpened;
  if (seen < epoch) {  // first met in this search
    if (sides == 0) {
      word = epoch | kNoEntry;  // passed over from now on
      return true;
    }
    if (to.POSITION.X != nx || to.POSITION.Y != ny) return false;
    word = epoch | kNotOpened;
  } else {
    stored = static_cast<uint32_t>(seen);
  }
  if (((sides >> d) & 1u) == 0) return true;
  if (stored == kNotOpened) {
    // Within kGoalReach of the goal: in 32 bits.
    const int32_t h = grid_distance<int32_t>(nx, ny, f.goal.X, f.goal.Y);
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
  const ptrdiff_t odd_row = width & -ptrdiff_t{column_parity(x)};
  // The last direction first, so that the doublings leave direction d at bit d; no branch,
  // since which neighbours are new follows the map.
  uint32_t mask = 0;
  for_each_direction([&](int32_t i) {
    const SideWord word = at[index_step(kDirectionCount - 1 - i, width, odd_row)];
    mask = mask + mask + static_cast<uint32_t>(steps < word - epoch);
  });
  return mask;
}

// The directions from grid (x, y) that stay on a grid of width x height cells.
inline uint32_t directions_on_grid(int32_t x, int32_t y, int32_t width, int32_t height) {
  uint32_t mask = 0;
  for (int32_t d = 0; d < kDirectionCount; ++d) {
    const int32_t nx = x + column_step(d);
    const int32_t ny = y + row_step(x, d);
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
  reset_cell(first, setup.none);
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

// Costs are counted in steps here (F / 10, G / 10).
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
  s.astar_prefer_heap = prefer_heap(map.CELL_COUNT, sparsity.expanded, sparsity.samples,
                                    sparsity.open_sum, s.astar_prefer_heap);
  return done;
}

}  // namespace

bool run_bucket_search(HEXAGON_MAP& map, SearchScratch& s, const SearchSetup& setup) {
  OpenBuckets open(s.buckets);
  const bool done = bucket_search(map, s, open, setup);
  open.clear();
  return done;
}

}  // namespace hexmap::detail
