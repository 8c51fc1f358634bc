// The heap of open cells must hand out exactly the cell the scan for the lowest F would pick,
// also after stale entries were squeezed out of a full heap.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "hexmap/search_scratch.hpp"

namespace hexmap {
namespace {

constexpr int32_t kOpen = 1;
constexpr int32_t kClosed = 2;

// The scan's choice: lowest F, lowest index among equals.
int32_t scan_lowest(const std::vector<MAP_CELL>& cells) {
  int32_t best = -1;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (cells[i].ASTAR_LIST != kOpen) continue;
    if (best == -1 || cells[i].ASTAR_F < cells[static_cast<size_t>(best)].ASTAR_F) {
      best = static_cast<int32_t>(i);
    }
  }
  return best;
}

TEST(AstarOpenHeap, PicksLikeTheScanWithTheSmallestRoom) {
  constexpr int32_t kCells = 40;
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> any_cell(0, kCells - 1);
  std::uniform_int_distribution<int32_t> small_f(-3, 3);  // many equal F
  std::uniform_int_distribution<int32_t> percent(0, 99);
  for (int round = 0; round < 200; ++round) {
    std::vector<MAP_CELL> cells(kCells);
    std::vector<std::vector<int32_t>> used(kCells);  // every F a cell had in this round
    // One slot more than there are cells: the least the search guarantees.
    std::vector<uint64_t> storage(kCells + 1);
    detail::OpenHeap heap(storage.data(), storage.size(), cells.data(), kOpen);
    int pops = 0;
    for (int op = 0; op < 400; ++op) {
      if (percent(rng) < 75) {
        // (Re)open a cell with an F it never had, as a search does; extremes included.
        const int32_t i = any_cell(rng);
        int32_t f = 0;
        do {
          const int32_t p = percent(rng);
          f = p < 5    ? std::numeric_limits<int32_t>::min() + (small_f(rng) + 3)
              : p < 10 ? std::numeric_limits<int32_t>::max() - (small_f(rng) + 3)
                       : small_f(rng) * 10 + (percent(rng) % 4);
        } while (std::find(used[i].begin(), used[i].end(), f) != used[i].end());
        used[i].push_back(f);
        cells[static_cast<size_t>(i)].ASTAR_LIST = kOpen;
        cells[static_cast<size_t>(i)].ASTAR_F = f;
        heap.push(f, i);
      } else {
        const int32_t expected = scan_lowest(cells);
        ASSERT_EQ(heap.pop(), expected) << "round " << round << ", op " << op;
        if (expected != -1) cells[static_cast<size_t>(expected)].ASTAR_LIST = kClosed;
        ++pops;
      }
    }
    // Drain: every open cell comes out in scan order, then nothing.
    for (int32_t expected = scan_lowest(cells); expected != -1; expected = scan_lowest(cells)) {
      ASSERT_EQ(heap.pop(), expected);
      cells[static_cast<size_t>(expected)].ASTAR_LIST = kClosed;
    }
    EXPECT_EQ(heap.pop(), -1);
    EXPECT_GT(pops, 0);
  }
}

// The bucketed search's sets over every level of the tree, against an ordered set.
TEST(LowestIndexSet, HandsOutTheLowestMemberAcrossAllLevels) {
  constexpr uint32_t kCount = 1u << 22;  // three full levels and part of the top one
  detail::LowestIndexSet set;
  set.resize(kCount);
  std::set<uint32_t> expected;
  std::mt19937 rng(7);
  std::uniform_int_distribution<uint32_t> any(0, kCount - 1);
  for (int round = 0; round < 20000; ++round) {
    const uint32_t i = rng() % 4 == 0 ? kCount - 1 - rng() % 100 : any(rng) >> (rng() % 20);
    if (rng() % 3 != 0) {
      set.insert(i);
      expected.insert(i);
    } else if (!expected.empty()) {
      const uint32_t low = set.lowest();
      ASSERT_EQ(low, *expected.begin()) << "round " << round;
      const uint32_t gone = rng() % 2 == 0 ? low : i;  // i may not be a member
      set.erase(gone);
      expected.erase(gone);
    }
    ASSERT_EQ(set.empty(), expected.empty());
    if (round % 5000 == 4999) {
      set.clear();
      expected.clear();
    }
  }
}

}  // namespace
}  // namespace hexmap
