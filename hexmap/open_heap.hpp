// A binary heap of 64-bit keys, and the A* open list built on it. Internal: not installed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hexmap/hexagon_map.hpp"

namespace hexmap::detail {

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
  // last entry rise from there: one comparison per level, and no branch on it. A largest key
  // just past the end stands in for a missing right child.
  void remove_root() {
    const uint64_t last = heap_[--size_];
    if (size_ == 0) return;
    heap_[size_] = kNoKey;
    size_t i = 0;
    for (size_t child = 1; child < size_; child = 2 * i + 1) {
      child += static_cast<size_t>(heap_[child + 1] < heap_[child]);
      heap_[i] = heap_[child];
      i = child;
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

  static constexpr uint64_t kNoKey = ~uint64_t{0};  // above every key heap_key makes
  uint64_t* heap_;
  size_t capacity_;
  size_t size_ = 0;
  const MAP_CELL* cells_;
  int32_t open_;
};

}  // namespace hexmap::detail
