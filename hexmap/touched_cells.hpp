// Which cells hold search or flood values written outside a search or a flood, each listed
// once, so that the next run resets those cells alone.
#pragma once

#include <cstdint>

#include "hexmap/search_buffers.hpp"

namespace hexmap::detail {

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
