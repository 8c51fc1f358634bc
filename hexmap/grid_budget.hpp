// What a grid costs in memory, cell and buffers, and the budget that bounds the largest grid.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hexmap/hexagon_map.hpp"
#include "hexmap/lowest_index_set.hpp"
#include "hexmap/search_words.hpp"

namespace hexmap::detail {

// Bytes each cell of the grid costs: the cell itself and every buffer of SearchScratch. The cell
// limit keeps the largest grid within a budget with it.
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

}  // namespace hexmap::detail
