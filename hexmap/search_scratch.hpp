// Working buffers of the A* search and the flood map, sized once per grid so that a search
// or a flood allocates nothing. They also remember which cells hold values of an earlier run,
// so the next run resets those cells instead of the whole grid.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hexmap/hexagon_map.hpp"

namespace hexmap::detail {

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

  // Flood: cells the last flood reached, in breadth-first order. kFloodNoExpand flags a cell
  // outside the flood's window, which the flood marks but does not spread from.
  static constexpr uint32_t kFloodNoExpand = 0x80000000u;
  std::vector<uint32_t> flood_queue;
  size_t flood_size = 0;
  // Flood: cells whose FLOOD was written outside a flood.
  CellList flood_touched;

  std::vector<uint8_t> marks;
};

// The open cells of a search, for picking the one with the lowest F without a scan.
// Heap keys order by F (signed), then by cell index: the scan's choice among equal F.
inline constexpr uint64_t heap_key(int32_t f, int32_t index) {
  return (uint64_t{static_cast<uint32_t>(f) ^ 0x80000000u} << 32) | static_cast<uint32_t>(index);
}
inline constexpr int32_t key_f(uint64_t key) {
  return static_cast<int32_t>(static_cast<uint32_t>(key >> 32) ^ 0x80000000u);
}
inline constexpr int32_t key_index(uint64_t key) {
  return static_cast<int32_t>(static_cast<uint32_t>(key));
}

inline void sift_down(uint64_t* heap, size_t size, size_t i, uint64_t key) {
  for (;;) {
    size_t child = 2 * i + 1;
    if (child >= size) break;
    if (child + 1 < size && heap[child + 1] < heap[child]) ++child;
    if (key <= heap[child]) break;
    heap[i] = heap[child];
    i = child;
  }
  heap[i] = key;
}

inline void sift_up(uint64_t* heap, size_t i, uint64_t key) {
  while (i > 0) {
    const size_t parent = (i - 1) / 2;
    if (heap[parent] <= key) break;
    heap[i] = heap[parent];
    i = parent;
  }
  heap[i] = key;
}

class OpenHeap {
 public:
  // `storage` holds `capacity` keys, more than the number of cells.
  OpenHeap(uint64_t* storage, size_t capacity, const MAP_CELL* cells, int32_t open)
      : heap_(storage), capacity_(capacity), cells_(cells), open_(open) {}

  void push(int32_t f, int32_t index) {
    if (size_ == capacity_) {
      squeeze();
      // Only A* values written behind the search's back (not through SET_ID) can keep it full;
      // the entry is then dropped rather than written past the end.
      if (size_ == capacity_) return;
    }
    sift_up(heap_, size_++, heap_key(f, index));
  }

  // The open cell with the lowest (F, index), removed from the heap; -1 when none is open.
  int32_t pop() {
    while (size_ > 0) {
      const uint64_t top = heap_[0];
      remove_root();
      if (is_current(top)) return key_index(top);
    }
    return -1;
  }

 private:
  // An entry is current while its cell is open with the same F. Within one search a cell's F
  // differs at each opening (G falls, H stays), so a cell has at most one current entry.
  bool is_current(uint64_t key) const {
    const MAP_CELL& c = cells_[key_index(key)];
    return c.ASTAR_LIST == open_ && c.ASTAR_F == key_f(key);
  }

  // Moves the hole left by the root down along the smaller children to a leaf, then lets the
  // last entry rise from there: one comparison per level, and no branch on it.
  void remove_root() {
    const uint64_t last = heap_[--size_];
    if (size_ == 0) return;
    size_t i = 0;
    size_t child = 2;
    for (; child < size_; child = 2 * i + 2) {
      child -= static_cast<size_t>(heap_[child - 1] < heap_[child]);
      heap_[i] = heap_[child];
      i = child;
    }
    if (child == size_) {  // a lone left child
      heap_[i] = heap_[child - 1];
      i = child - 1;
    }
    sift_up(heap_, i, last);
  }

  // Drops stale entries in place. At most one entry per open cell survives, so a capacity
  // above the cell count always leaves room.
  void squeeze() {
    size_t kept = 0;
    for (size_t i = 0; i < size_; ++i) {
      if (is_current(heap_[i])) heap_[kept++] = heap_[i];
    }
    size_ = kept;
    for (size_t i = size_ / 2; i-- > 0;)
      sift_down(heap_, size_, i, heap_[i]);
  }

  uint64_t* heap_;
  size_t capacity_;
  size_t size_ = 0;
  const MAP_CELL* cells_;
  int32_t open_;
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

}  // namespace hexmap::detail

namespace hexmap {
struct HEXAGON_MAP::Scratch : detail::SearchScratch {};
}  // namespace hexmap
