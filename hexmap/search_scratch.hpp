// Working buffers of the A* search and the flood map, sized once per grid so that a search
// or a flood allocates nothing. They also remember which cells hold values of an earlier run,
// so the next run resets those cells instead of the whole grid.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hexmap/hexagon_map.hpp"

namespace hexmap {

// A list of cell indices with room for every cell of the grid.
class CellList {
 public:
  void resize(int32_t cell_count) {
    items_.assign(static_cast<size_t>(cell_count), 0);
    size_ = 0;
  }
  void push(int32_t index) { items_[size_++] = index; }
  void clear() { size_ = 0; }
  [[nodiscard]] size_t size() const { return size_; }
  [[nodiscard]] const int32_t* begin() const { return items_.data(); }
  [[nodiscard]] const int32_t* end() const { return items_.data() + size_; }

 private:
  std::vector<int32_t> items_;
  size_t size_ = 0;
};

namespace detail {

struct SearchScratch {
  // Bits of `marks`: the cell sits in `astar_touched` or `flood_touched`.
  static constexpr uint8_t kAstarTouched = 1;
  static constexpr uint8_t kFloodTouched = 2;

  int32_t cell_count = 0;  // the grid the buffers were sized for

  // A*: cells the last search wrote, each once (a cell enters on its first opening).
  CellList astar_searched;
  // A*: cells whose A* values were written outside a search (SET_ID, a direct neighbour check).
  CellList astar_touched;
  // Every cell needs the reset: the grid is new, or the list marks changed since the last one.
  bool astar_reset_all = true;
  std::array<int32_t, 3> astar_reset_marks{};  // ASTAR_NONE, ASTAR_OPEN, ASTAR_CLOSED then

  // Open cells keyed by (F, index), stale entries skipped when they surface. Room for every
  // cell and half as many again; when it fills up, stale entries are squeezed out in place.
  std::vector<uint64_t> heap;
  size_t heap_size = 0;

  // Flood: cells the last flood reached, in breadth-first order. kFloodNoExpand flags a cell
  // outside the flood's window, which the flood marks but does not spread from.
  static constexpr uint32_t kFloodNoExpand = 0x80000000u;
  std::vector<uint32_t> flood_queue;
  size_t flood_size = 0;
  // Flood: cells whose FLOOD was written outside a flood.
  CellList flood_touched;

  std::vector<uint8_t> marks;
};

// The size fields are public and writable: searches run only while they agree with the cells
// and with the buffers.
inline bool grid_matches(const HEXAGON_MAP& map, const SearchScratch& scratch) {
  return map.MAP_WIDTH > 0 && map.MAP_HEIGHT > 0 &&
         int64_t{map.MAP_WIDTH} * map.MAP_HEIGHT == map.CELL_COUNT &&
         map.CELLS.size() == static_cast<size_t>(map.CELL_COUNT) &&
         scratch.cell_count == map.CELL_COUNT;
}

// Lists a cell whose values were written outside a search or a flood, once.
inline void mark_touched(SearchScratch& s, CellList& list, uint8_t bit, int32_t index) {
  uint8_t& mark = s.marks[static_cast<size_t>(index)];
  if ((mark & bit) != 0) return;
  mark |= bit;
  list.push(index);
}
inline void mark_astar_touched(SearchScratch& s, int32_t index) {
  mark_touched(s, s.astar_touched, SearchScratch::kAstarTouched, index);
}
inline void mark_flood_touched(SearchScratch& s, int32_t index) {
  mark_touched(s, s.flood_touched, SearchScratch::kFloodTouched, index);
}

}  // namespace detail

struct HEXAGON_MAP::Scratch : detail::SearchScratch {};

}  // namespace hexmap
