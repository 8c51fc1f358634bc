// The A* search that is exact on any cells: open cells in a heap keyed by (F, index), the
// scan's choice without the scan. The bucketed search falls back to it whenever one of its
// assumptions fails; the benchmark times it on its own. Also the resets and the trace that
// both searches share. Internal: not installed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "hexmap/cell_list.hpp"
#include "hexmap/entry_rule.hpp"
#include "hexmap/grid_geometry.hpp"
#include "hexmap/hexagon_map.hpp"
#include "hexmap/open_heap.hpp"
#include "hexmap/search_buffers.hpp"

namespace hexmap::detail {

inline constexpr int32_t kStepCost = 10;

constexpr int32_t wrap_times10(int32_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(v) * 10u);
}
// Row-major index of grid position p; garbage positions wrap instead of overflowing.
constexpr int32_t wrap_index(VECTOR2D p, int32_t width) {
  return static_cast<int32_t>(static_cast<uint32_t>(p.Y) * static_cast<uint32_t>(width) +
                              static_cast<uint32_t>(p.X));
}

inline void reset_cell(MAP_CELL& c, int32_t none) {
  c.ASTAR_PARENT = VECTOR2D(-1, -1);
  c.ASTAR_PARENT_INDEX = -1;
  c.ASTAR_DIRECTION = -1;
  c.ASTAR_LIST = none;
  c.ASTAR_PATH_DIRECTION = -1;
  c.ASTAR_F = 0;
  c.ASTAR_G = 0;
  c.ASTAR_H = 0;
}

inline void reset_list(MAP_CELL* cells, CellList& list, int32_t none) {
  for (const int32_t i : list)
    reset_cell(cells[i], none);
  list.clear();
}

// Resets the cells written outside a search, or every cell when the grid is new or the list
// marks changed. Returns false when it reset every cell.
inline bool reset_outside_writes(HEXAGON_MAP& map, SearchScratch& s) {
  const std::array<int32_t, 3> marks{map.ASTAR_NONE, map.ASTAR_OPEN, map.ASTAR_CLOSED};
  const int32_t none = map.ASTAR_NONE;
  bool partial = true;
  if (s.astar_reset_all || marks != s.astar_reset_marks) {
    for (MAP_CELL& c : map.CELLS)
      reset_cell(c, none);
    s.astar_reset_all = false;
    s.astar_reset_marks = marks;
    s.astar_searched.clear();
    partial = false;
  }
  for (const int32_t i : s.astar_touched) {
    s.marks[static_cast<size_t>(i)] &= static_cast<uint8_t>(~SearchScratch::kAstarTouched);
  }
  reset_list(map.CELLS.data(), s.astar_touched, none);
  return partial;
}

// Leaves every cell in the reset state.
inline void reset_astar(HEXAGON_MAP& map, SearchScratch& s) {
  reset_outside_writes(map, s);
  reset_list(map.CELLS.data(), s.astar_searched, map.ASTAR_NONE);
  reset_list(map.CELLS.data(), s.astar_opening, map.ASTAR_NONE);
}

struct SearchSetup {
  int32_t start;
  int32_t end;
  int32_t limit;
  int32_t none;
  int32_t open;
  int32_t closed;
};

// Which open list suits the map, judged after each search by the open cells an expansion sees
// on average (sampled): when few are open (mazes, narrow ways) the buckets' words are nearly
// empty and the heap is the faster. Measured: a 1024 x 1024 maze sees 69 and runs 15% faster
// on the heap, a 64 x 64 open map sees 104 and runs 30% faster on the buckets. Short searches
// leave the choice as it was; on small grids both take microseconds and the buckets stay.
inline constexpr int32_t kJudgedCells = 4096;
inline constexpr int32_t kJudgedExpansions = 64;
inline constexpr int64_t kSparseOpen = 96;
constexpr bool prefer_heap(int32_t cell_count, int32_t expanded, int32_t samples, int64_t open_sum,
                           bool before) {
  if (cell_count < kJudgedCells) return false;
  if (expanded < kJudgedExpansions || samples == 0) return before;
  return open_sum < kSparseOpen * samples;
}

// The expansion loop. Cells are reset, the lists of written cells empty, the start valid.
inline void run_heap_search(HEXAGON_MAP& map, SearchScratch& s, const SearchSetup& setup) {
  MAP_CELL* const cells = map.CELLS.data();
  const int32_t width = map.MAP_WIDTH;
  const auto uwidth = static_cast<uint32_t>(width);
  const int32_t height = map.MAP_HEIGHT;
  const auto uheight = static_cast<uint32_t>(height);
  const VECTOR2D goal = cells[setup.end].POSITION;
  const int32_t none = setup.none;
  const int32_t open = setup.open;

  OpenHeap heap(s.heap.data(), s.heap.size(), cells, open);
  cells[setup.start].ASTAR_LIST = open;
  s.astar_searched.push(setup.start);
  heap.push(cells[setup.start].ASTAR_F, setup.start);

  int32_t expanded = 0;
  int64_t open_count = 1;
  int64_t open_sum = 0;
  for (;;) {
    const int32_t c = heap.pop();
    if (c == -1 || c == setup.end) break;
    ++expanded;
    open_sum += open_count--;
    MAP_CELL& from = cells[c];
    from.ASTAR_LIST = setup.closed;
    const VECTOR2D pos = from.POSITION;
    // G stays below 10 x the cell count within a search; wrapping only guards the type.
    const int32_t g = wrap_add(from.ASTAR_G, kStepCost);
    const int32_t parent_index = wrap_index(pos, width);

    // A foreign POSITION may lie anywhere: only one inside the border counts as inner. The
    // neighbours of an inner cell need no border test and lie at fixed offsets, the rows of
    // its diagonals chosen by column parity without a branch.
    const bool inner = pos.X > 0 && pos.Y > 0 && pos.X < width - 1 && pos.Y < height - 1;
    const int32_t odd_row = width & -column_parity(pos.X);

    // Called with constant directions, so the neighbour arithmetic folds away.
    const auto relax = [&]<bool kInner>(int32_t d) {
      int32_t n = 0;
      if constexpr (kInner) {
        n = parent_index + index_step(d, width, odd_row);
      } else {
        const int32_t nx = adjacent_x(pos.X, d);
        const int32_t ny = adjacent_y(pos.X, pos.Y, d);
        if (static_cast<uint32_t>(nx) >= uwidth || static_cast<uint32_t>(ny) >= uheight) return;
        n = ny * width + nx;
      }
      MAP_CELL& to = cells[n];
      // Listed cells are seldom reached more cheaply: the cheap test first spares most of
      // them the entry test.
      const bool first = to.ASTAR_LIST == none;
      if (!first && g >= to.ASTAR_G) return;  // only a cheaper way (re)opens a listed cell
      if (!can_enter<SolidStops::minus_one>(to, d)) return;
      if (first) s.astar_searched.push(n);  // first opening in this search
      open_count += static_cast<int64_t>(to.ASTAR_LIST != open);
      to.ASTAR_LIST = open;
      to.ASTAR_G = g;
      to.ASTAR_H = wrap_times10(distance(to.POSITION.X, to.POSITION.Y, goal.X, goal.Y));
      to.ASTAR_F = wrap_add(g, to.ASTAR_H);
      to.ASTAR_PARENT = pos;
      to.ASTAR_PARENT_INDEX = parent_index;
      to.ASTAR_DIRECTION = d;
      heap.push(to.ASTAR_F, n);
    };
    if (inner) {
      for_each_direction([&](int32_t d) { relax.template operator()<true>(d); });
    } else {
      for_each_direction([&](int32_t d) { relax.template operator()<false>(d); });
    }
    if (expanded >= setup.limit) break;
  }
  s.astar_prefer_heap =
      prefer_heap(map.CELL_COUNT, expanded, expanded, open_sum, s.astar_prefer_heap);
}

// Traces the path from the end back to the start into the cells and the result fields, which
// hold "no path" on entry. Returns false, writing nothing, when the end's parents do not lead
// to the start: parents taken from overwritten positions may leave the grid or run in a
// circle, while a sound chain reaches the start in fewer steps than there are cells.
inline bool trace_path(HEXAGON_MAP& map, int32_t start, int32_t end) {
  MAP_CELL* const cells = map.CELLS.data();
  if (end == start || cells[end].ASTAR_DIRECTION == -1) return true;
  int32_t i = end;
  for (int32_t steps = 0; i != start; ++steps) {
    const int32_t parent = cells[i].ASTAR_PARENT_INDEX;
    if (steps == map.CELL_COUNT || parent < 0 || parent >= map.CELL_COUNT) return false;
    i = parent;
  }
  i = end;
  while (i != start) {
    const int32_t d = cells[i].ASTAR_DIRECTION;
    i = cells[i].ASTAR_PARENT_INDEX;
    cells[i].ASTAR_PATH_DIRECTION = d;
    ++map.ASTAR_PATH_LENGTH;
    if (i == start) {
      map.ASTAR_PATH_FOUND = -1;
      map.ASTAR_FIRST_DIRECTION = d;
    }
  }
  return true;
}

}  // namespace hexmap::detail
