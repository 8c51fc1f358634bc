// The bucketed A* search, the one the engine tries first. Internal: not installed.
#pragma once

#include <cstdint>

#include "hexmap/astar_heap.hpp"
#include "hexmap/hexagon_map.hpp"
#include "hexmap/search_buffers.hpp"
#include "hexmap/search_words.hpp"

namespace hexmap::detail {

// Runs the bucketed search. Cells written outside a search are reset; the cells the last
// search opened may still hold its values. Returns false when an assumption failed; the cells
// it opened are then listed in astar_opening.
bool run_bucket_search(HEXAGON_MAP& map, SearchScratch& s, const SearchSetup& setup);

// Whether the last bucketed search opened cell i (start: that search's start cell): the side
// word carries the epoch of the search that opened the cell, and its G. Inline, as the reset
// after a search asks it of every cell the search before opened.
inline bool opened_by_bucket_search(const SearchScratch& s, int32_t i, int32_t start) {
  const SideWord word = s.side[static_cast<size_t>(i)];
  const auto stored = static_cast<uint32_t>(word);
  return (word >> kEpochShift) == s.epoch && stored != kNotOpened &&
         (stored != kNoEntry || i == start);
}

}  // namespace hexmap::detail
