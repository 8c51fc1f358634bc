#include "hexmap/search_scratch.hpp"

#include <utility>

namespace hexmap {

void HEXAGON_MAP::note_grid_created() {
  // Built aside and swapped in, so that a failed allocation leaves the buffers of the old grid.
  Scratch fresh;
  const int32_t count = CELL_COUNT > 0 ? CELL_COUNT : 0;
  const auto cells = static_cast<size_t>(count);
  fresh.cell_count = count;
  fresh.astar_searched.resize(count);
  fresh.astar_touched.resize(count);
  fresh.heap.assign(cells + cells / 2 + 16, 0);
  fresh.flood_queue.assign(cells, 0);
  fresh.flood_touched.resize(count);
  fresh.marks.assign(cells, 0);
  // The new cells are zero-filled: FLOOD is already clear, the A* values are not in their reset
  // state.
  fresh.astar_reset_all = true;
  *scratch_ = std::move(fresh);
}

void HEXAGON_MAP::note_cell_overwritten(int32_t index) {
  detail::SearchScratch& s = *scratch_;
  if (index < 0 || index >= s.cell_count) return;
  detail::mark_astar_touched(s, index);
  detail::mark_flood_touched(s, index);
}

}  // namespace hexmap
