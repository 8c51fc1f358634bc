// Working buffers of the A* search and the flood map, sized once per grid so that a search
// or a flood allocates nothing. They also remember which cells hold values of an earlier run,
// so the next run resets those cells instead of the whole grid.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hexmap/cell_list.hpp"
#include "hexmap/grid_size.hpp"
#include "hexmap/hexagon_map.hpp"
#include "hexmap/lowest_index_set.hpp"
#include "hexmap/search_words.hpp"

namespace hexmap::detail {

struct SearchScratch {
  // Bits of `marks`: the cell sits in `astar_touched` or `flood_touched`.
  static constexpr uint8_t kAstarTouched = 1;
  static constexpr uint8_t kFloodTouched = 2;

  int32_t cell_count = 0;  // the grid the buffers were sized for

  // A*: cells the last search wrote, each once (a cell enters on its first opening).
  CellList astar_searched;
  // A*: cells the running search has opened so far, while astar_searched still lists the last
  // search's for the reset that follows the search.
  CellList astar_opening;
  // A*: per-cell state of the bucketed search, and the open cells by F / 10 mod 4.
  std::vector<SideWord> side;
  uint32_t epoch = 0;  // of the latest bucketed search
  std::array<LowestIndexSet, 4> buckets;
  // The last search found its open cells sparse (a maze), where the heap is the faster.
  bool astar_prefer_heap = false;
  // A*: cells whose A* values were written outside a search (SET_ID, a direct neighbour check).
  CellList astar_touched;
  // Every cell needs the reset: the grid is new, or the list marks changed since the last one.
  bool astar_reset_all = true;
  std::array<int32_t, 3> astar_reset_marks{};  // ASTAR_NONE, ASTAR_OPEN, ASTAR_CLOSED then

  // Open cells keyed by (F, index), stale entries skipped when they surface. Room for every
  // cell and half as many again; when it fills up, stale entries are squeezed out in place.
  std::vector<uint64_t> heap;

  // Flood: cells the last flood reached, in breadth-first order. kFloodNoExpand flags a cell
  // outside the flood's window, which the flood marks but does not spread from.
  static constexpr uint32_t kFloodNoExpand = 0x80000000u;
  std::vector<uint32_t> flood_queue;
  size_t flood_size = 0;
  // Flood: cells whose FLOOD was written outside a flood.
  CellList flood_touched;

  std::vector<uint8_t> marks;
};

// Sizes every buffer for a grid of `count` cells (count >= 0), all empty.
inline void size_for_grid(SearchScratch& s, int32_t count) {
  const auto cells = static_cast<size_t>(count);
  s.cell_count = count;
  s.astar_searched.resize(count);
  s.astar_opening.resize(count);
  s.astar_touched.resize(count);
  s.side.assign(cells, 0);
  s.epoch = 0;
  for (LowestIndexSet& bucket : s.buckets)
    bucket.resize(static_cast<uint32_t>(count));
  s.heap.assign(cells + cells / 2 + 16, 0);
  s.flood_queue.assign(cells, 0);
  s.flood_size = 0;
  s.flood_touched.resize(count);
  s.marks.assign(cells, 0);
  // New cells are zero-filled: FLOOD is already clear, the A* values are not in their reset
  // state.
  s.astar_reset_all = true;
}

// Searches run only while the size fields agree with the cells and the buffers with both.
inline bool grid_matches(const HEXAGON_MAP& map, const SearchScratch& scratch) {
  return size_fields_match(map) && scratch.cell_count == map.CELL_COUNT;
}

}  // namespace hexmap::detail

namespace hexmap {
struct HEXAGON_MAP::Scratch : detail::SearchScratch {};
}  // namespace hexmap
