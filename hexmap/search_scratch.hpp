// Working buffers of the A* search and the flood map, sized once per grid so that a search
// or a flood allocates nothing. They also remember which cells hold values of an earlier run,
// so the next run resets those cells instead of the whole grid.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
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
  // For a loop that keeps the size in a register and pushes through the pointer.
  [[nodiscard]] int32_t* data() { return items_.data(); }
  void set_size(size_t size) { size_ = size; }

 private:
  std::vector<int32_t> items_;
  size_t size_ = 0;
};

// Which steps may enter a cell, the one rule of the search and the flood: bit d set = a step
// in direction d may enter it. Never a cell without ground, never across a wall on the side
// that faces the cell being left (bit (d + 3) mod 6 of ID_WALL; bits 6..31 mean nothing). The
// two differ on SOLID alone: the search is stopped only by -1, the value the toggle writes
// (other values stored directly are walked through); the flood by any non-zero value.
enum class SolidStops { minus_one, any_nonzero };
inline constexpr uint32_t kAllSides = 0x3Fu;

template <SolidStops solid_stops>
constexpr uint32_t entry_sides(const MAP_CELL& c) {
  const bool solid = solid_stops == SolidStops::minus_one ? c.SOLID == -1 : c.SOLID != 0;
  if (c.ID_GROUND == 0 || solid) return 0;
  const uint32_t walls = static_cast<uint32_t>(c.ID_WALL) & kAllSides;
  return ~((walls >> 3) | (walls << 3)) & kAllSides;
}
template <SolidStops solid_stops>
constexpr bool can_enter(const MAP_CELL& c, int32_t direction) {
  return ((entry_sides<solid_stops>(c) >> direction) & 1u) != 0;
}

// A set of cell indices that hands out its lowest member: a 64-ary tree of bit words, one
// find-first-set per level, with no more levels than the grid needs (a sparse set pays one
// word per level on every change). The lowest word that may hold a member is remembered, so
// most look-ups read one word.
class LowestIndexSet {
 public:
  static constexpr int kLevels = 4;  // 64^4 members: the largest grid
  LowestIndexSet() = default;
  LowestIndexSet(const LowestIndexSet&) = delete;  // the level pointers would alias
  LowestIndexSet& operator=(const LowestIndexSet&) = delete;
  LowestIndexSet(LowestIndexSet&&) noexcept = default;  // moving keeps the words in place
  LowestIndexSet& operator=(LowestIndexSet&&) noexcept = default;

  void resize(uint32_t count) {
    for (std::vector<uint64_t>& level : storage_)
      level = {};
    uint32_t words = count;
    levels_used_ = 0;
    do {
      words = std::max<uint32_t>((words + 63) / 64, 1);
      storage_[levels_used_].assign(words, 0);
      levels_[levels_used_] = storage_[levels_used_].data();
      ++levels_used_;
    } while (words > 1);
    top_ = levels_[levels_used_ - 1];
    low_word_ = 0;
  }
  [[nodiscard]] bool empty() const { return *top_ == 0; }

  // The finest word alone on the common path; the words above change only when it empties
  // or fills. A word that already holds members lies at or above low_word_.
  [[gnu::always_inline]] void insert(uint32_t i) {
    uint64_t& w = levels_[0][i >> 6];
    const uint64_t had = w;
    w = had | (uint64_t{1} << (i & 63));
    if (had == 0) insert_above(i);
  }
  [[gnu::always_inline]] void erase(uint32_t i) {
    uint64_t& w = levels_[0][i >> 6];
    w &= ~(uint64_t{1} << (i & 63));
    if (w == 0) erase_above(i);
  }
  // Removes the lowest member into `i`; false when the set is empty. Most calls read one word.
  [[nodiscard, gnu::always_inline]] bool take_lowest(uint32_t& i) {
    uint64_t& w = levels_[0][low_word_];
    if (w == 0) [[unlikely]] {
      if (empty()) return false;
      i = lowest_from_top();
      erase(i);
      return true;
    }
    i = (low_word_ << 6) | static_cast<uint32_t>(std::countr_zero(w));
    w &= w - 1;
    if (w == 0) erase_above(i);
    return true;
  }
  // Empties the set, visiting only the words that hold members.
  void clear() {
    clear_below(levels_used_ - 1, 0);
    low_word_ = 0;
  }

 private:
  [[gnu::noinline]] void insert_above(uint32_t i) {
    low_word_ = std::min(low_word_, i >> 6);
    for (int level = 1; level < levels_used_; ++level) {
      i >>= 6;
      uint64_t& w = levels_[level][i >> 6];
      const bool had_members = w != 0;
      w |= uint64_t{1} << (i & 63);
      if (had_members) return;
    }
  }
  [[gnu::noinline]] void erase_above(uint32_t i) {
    for (int level = 1; level < levels_used_; ++level) {
      i >>= 6;
      uint64_t& w = levels_[level][i >> 6];
      w &= ~(uint64_t{1} << (i & 63));
      if (w != 0) return;
    }
  }
  [[gnu::noinline]] uint32_t lowest_from_top() {
    uint32_t i = 0;
    for (int level = levels_used_; level-- > 0;) {
      i = (i << 6) | static_cast<uint32_t>(std::countr_zero(levels_[level][i]));
    }
    low_word_ = i >> 6;
    return i;
  }
  void clear_below(int level, uint32_t word) {
    uint64_t& w = levels_[level][word];
    if (level > 0) {
      for (uint64_t bits = w; bits != 0; bits &= bits - 1) {
        clear_below(level - 1, (word << 6) | static_cast<uint32_t>(std::countr_zero(bits)));
      }
    }
    w = 0;
  }

  std::array<std::vector<uint64_t>, kLevels> storage_;  // the finest first
  std::array<uint64_t*, kLevels> levels_{};
  int levels_used_ = 1;      // the last one is a single word
  uint64_t* top_ = nullptr;  // that word
  uint32_t low_word_ = 0;    // no member lies in a word below this one
};

// Per cell and per search, for the bucketed search: the epoch of the search that last met the cell
// (high half) and, in steps (G / 10), the cost a step must arrive below to matter there (low
// half): the G of an opened cell, kNoEntry for a cell nothing can enter (and for the start,
// G 0), kNotOpened for a cell met but not yet opened. So a neighbour already met and not
// reached more cheaply is passed over after one subtraction and one compare. Holds nothing an
// earlier search could leave stale, since callers may change any cell between searches.
using SideWord = uint64_t;
inline constexpr uint32_t kNoEntry = 0;  // every step arrives with G / 10 >= 1
inline constexpr uint32_t kNotOpened = 0xFFFFFFFFu;
inline constexpr int kEpochShift = 32;

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

// Bytes each cell of the grid costs: the cell itself and every buffer below. The cell limit
// keeps the largest grid within a budget with it.
inline constexpr size_t kBytesPerCell = sizeof(MAP_CELL)       // the cell
                                        + 3 * sizeof(int32_t)  // A* cell lists
                                        + 12                   // open heap, 1.5 keys per cell
                                        + sizeof(SideWord)     // bucketed search state
                                        + 1  // open buckets, 4 bits and the tree above
                                        + 2 * sizeof(uint32_t)  // flood queue and cell list
                                        + 1;                    // marks
inline constexpr size_t kGridMemoryBudget = size_t{2} << 30;
static_assert(size_t{kMaxCellCount} * kBytesPerCell <= kGridMemoryBudget);
static_assert(uint64_t{kMaxCellCount} <= uint64_t{1} << (6 * LowestIndexSet::kLevels));

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
