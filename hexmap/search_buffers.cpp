#include "hexmap/search_buffers.hpp"

#include <utility>

#include "hexmap/grid_budget.hpp"  // checks the largest grid against the buffers
#include "hexmap/touched_cells.hpp"

namespace hexmap {

void HEXAGON_MAP::note_grid_created() {
  // Built aside and swapped in, so that a failed allocation leaves the buffers of the old grid.
  Scratch fresh;
  detail::size_for_grid(fresh, CELL_COUNT > 0 ? CELL_COUNT : 0);
  *scratch_ = std::move(fresh);
}

void HEXAGON_MAP::note_cell_overwritten(int32_t index) {
  detail::SearchScratch& s = *scratch_;
  if (index < 0 || index >= s.cell_count) return;
  detail::mark_astar_touched(s, index);
  detail::mark_flood_touched(s, index);
}

}  // namespace hexmap
