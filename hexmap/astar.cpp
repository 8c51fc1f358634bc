// A* search over the grid. The working state lives in the cells' A* fields; the buffers in
// Scratch only make it fast. Both searches here expand the same cells in the same order as the
// documented scan for the lowest F, and leave every cell as the full reset and that scan would.
//
// The bucketed search serves ordinary maps; the heap search serves mazes and narrow ways,
// chosen per map by how many cells the last search kept open. While every cell's POSITION is
// its own grid position the estimate is consistent: after the start (whose F stays 0) the
// selected F never falls, a closed cell is never reached more cheaply, and every open F lies
// within the lowest open F plus 30. Four buckets by F / 10 mod 4 then each hold one F, and the
// lowest index in a bucket is the scan's choice among equal F. The bucketed search checks each
// of these as it relies on it; when one fails it undoes what it wrote and the heap search,
// exact on any cells, runs instead.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "hexmap/astar_buckets.hpp"
#include "hexmap/astar_heap.hpp"
#include "hexmap/entry_rule.hpp"
#include "hexmap/grid_geometry.hpp"
#include "hexmap/hexagon_map.hpp"
#include "hexmap/search_buffers.hpp"
#include "hexmap/touched_cells.hpp"

namespace hexmap {
namespace {

using detail::kStepCost;
using detail::SearchScratch;
using detail::SearchSetup;

constexpr std::string_view kSizeMismatch =
    ":   A* refused, the map size fields do not match the cells";

// Runs the search into reset cells; the cells the last search opened may still hold its
// values, and are reset unless this search opened them again.
void search(HEXAGON_MAP& map, SearchScratch& s, const SearchSetup& setup) {
  MAP_CELL* const cells = map.CELLS.data();
  bool done = false;
  if (!s.astar_prefer_heap) done = detail::run_bucket_search(map, s, setup);
  if (done) {
    for (const int32_t i : s.astar_searched) {
      if (!detail::opened_by_bucket_search(s, i, setup.start)) {
        detail::reset_cell(cells[i], setup.none);
      }
    }
    s.astar_searched.clear();
    std::swap(s.astar_searched, s.astar_opening);
    return;
  }
  detail::reset_list(cells, s.astar_searched, setup.none);
  detail::reset_list(cells, s.astar_opening, setup.none);
  detail::run_heap_search(map, s, setup);
}

bool on_grid(const HEXAGON_MAP& map, int32_t index) {
  return index >= 0 && index < map.CELL_COUNT;
}

}  // namespace

void HEXAGON_MAP::ASTAR_CELLCLEARALL() {
  if (!detail::grid_matches(*this, *scratch_)) {
    log_line(kSizeMismatch);
    return;
  }
  MAP_CELL* cells = CELLS.data();
  for (int32_t y = 0; y < MAP_HEIGHT; ++y) {
    for (int32_t x = 0; x < MAP_WIDTH; ++x) {
      MAP_CELL& c = cells[y * MAP_WIDTH + x];
      c.POSITION = VECTOR2D(x, y);
      c.SOLID = 0;
    }
  }
}

void HEXAGON_MAP::ASTAR_CELLSETSOLID(int32_t x, int32_t y, int32_t value) {
  if (MAP_CELL* c = cell_at(x, y)) c->SOLID = value;
}
void HEXAGON_MAP::ASTAR_CELLSETSOLID(VECTOR2D p, int32_t value) {
  ASTAR_CELLSETSOLID(p.X, p.Y, value);
}

void HEXAGON_MAP::ASTAR_CELLTOGGLESOLID(int32_t x, int32_t y) {
  if (MAP_CELL* c = cell_at(x, y)) c->SOLID = c->SOLID != 0 ? 0 : -1;
}
void HEXAGON_MAP::ASTAR_CELLTOGGLESOLID(VECTOR2D p) {
  ASTAR_CELLTOGGLESOLID(p.X, p.Y);
}

void HEXAGON_MAP::ASTAR_CELLSETSTART(int32_t x, int32_t y) {
  if (INSIDE(x, y) == 0) return;
  ASTAR_START_INDEX = y * MAP_WIDTH + x;
  ASTAR_START = VECTOR2D(x, y);
}
void HEXAGON_MAP::ASTAR_CELLSETSTART(VECTOR2D p) {
  ASTAR_CELLSETSTART(p.X, p.Y);
}

void HEXAGON_MAP::ASTAR_CELLSETEND(int32_t x, int32_t y) {
  if (INSIDE(x, y) == 0) return;
  ASTAR_END_INDEX = y * MAP_WIDTH + x;
  ASTAR_END = VECTOR2D(x, y);
}
void HEXAGON_MAP::ASTAR_CELLSETEND(VECTOR2D p) {
  ASTAR_CELLSETEND(p.X, p.Y);
}

void HEXAGON_MAP::ASTAR_CHECKNEIGHBOUR(int32_t index, int32_t direction, int32_t x, int32_t y,
                                       int32_t cost) {
  if (!detail::grid_matches(*this, *scratch_)) {
    log_line(kSizeMismatch);
    return;
  }
  if (!on_grid(*this, index)) {
    log_line(":   A* neighbour check refused, cell " + std::to_string(index) + " is off the map");
    return;
  }
  if (!detail::is_direction(direction)) {
    log_line(":   A* neighbour check refused, direction " + std::to_string(direction));
    return;
  }
  if (INSIDE(x, y) == 0) return;
  const int32_t n = y * MAP_WIDTH + x;
  MAP_CELL& to = CELLS[static_cast<size_t>(n)];
  if (!detail::can_enter<detail::SolidStops::minus_one>(to, direction)) return;
  const MAP_CELL& from = CELLS[static_cast<size_t>(index)];
  const int32_t g = detail::wrap_add(from.ASTAR_G, cost);
  const bool reopen =
      (to.ASTAR_LIST == ASTAR_OPEN || to.ASTAR_LIST == ASTAR_CLOSED) && g < to.ASTAR_G;
  if (!reopen && to.ASTAR_LIST != ASTAR_NONE) return;
  if (!on_grid(*this, ASTAR_END_INDEX)) {
    log_line(":   A* neighbour check refused, end cell " + std::to_string(ASTAR_END_INDEX) +
             " is off the map");
    return;
  }
  const VECTOR2D goal = CELLS[static_cast<size_t>(ASTAR_END_INDEX)].POSITION;
  to.ASTAR_LIST = ASTAR_OPEN;
  to.ASTAR_G = g;
  to.ASTAR_H = detail::wrap_times10(detail::distance(to.POSITION.X, to.POSITION.Y, goal.X, goal.Y));
  to.ASTAR_F = detail::wrap_add(g, to.ASTAR_H);
  to.ASTAR_PARENT = from.POSITION;
  to.ASTAR_PARENT_INDEX = detail::wrap_index(from.POSITION, MAP_WIDTH);
  to.ASTAR_DIRECTION = direction;
  detail::mark_astar_touched(*scratch_, n);
}

void HEXAGON_MAP::ASTAR_CHECKNEIGHBOURS(int32_t index, int32_t x, int32_t y) {
  if (!detail::grid_matches(*this, *scratch_)) {
    log_line(kSizeMismatch);
    return;
  }
  if (!on_grid(*this, index)) {
    log_line(":   A* neighbour check refused, cell " + std::to_string(index) + " is off the map");
    return;
  }
  for (int32_t d = 0; d < detail::kDirectionCount; ++d) {
    ASTAR_CHECKNEIGHBOUR(index, d, detail::adjacent_x(x, d), detail::adjacent_y(x, y, d),
                         kStepCost);
  }
}

int32_t HEXAGON_MAP::ASTAR_GETLOWESTF() {
  int32_t best = -1;
  const size_t count = std::min(CELLS.size(), static_cast<size_t>(std::max(CELL_COUNT, 0)));
  for (size_t i = 0; i < count; ++i) {
    const MAP_CELL& c = CELLS[i];
    if (c.ASTAR_LIST != ASTAR_OPEN) continue;
    if (best == -1 || c.ASTAR_F < CELLS[static_cast<size_t>(best)].ASTAR_F) {
      best = static_cast<int32_t>(i);
    }
  }
  return best;
}

void HEXAGON_MAP::ASTAR_COMPUTE(int32_t limit) {
  detail::SearchScratch& s = *scratch_;
  if (!detail::grid_matches(*this, s)) {
    log_line(kSizeMismatch);
    return;
  }
  ASTAR_PATH_LENGTH = 0;
  ASTAR_PATH_FOUND = 0;
  ASTAR_FIRST_DIRECTION = -1;

  const auto refuse = [&](std::string_view why) {
    detail::reset_astar(*this, s);
    log_line(why);
  };
  if (ASTAR_NONE == ASTAR_OPEN || ASTAR_NONE == ASTAR_CLOSED || ASTAR_OPEN == ASTAR_CLOSED) {
    refuse(":   A* search refused, the list marks are not distinct");
    return;
  }
  // A start or end set on an earlier, larger grid may no longer exist.
  if (!on_grid(*this, ASTAR_START_INDEX) || INSIDE(ASTAR_START) == 0) {
    refuse(":   A* start " + to_string(ASTAR_START) + " is off the map, no search");
    return;
  }
  if (!on_grid(*this, ASTAR_END_INDEX) || INSIDE(ASTAR_END) == 0) {
    refuse(":   A* end " + to_string(ASTAR_END) + " is off the map, no search");
    return;
  }

  detail::reset_outside_writes(*this, s);
  const int32_t start = ASTAR_START_INDEX;
  const int32_t end = ASTAR_END_INDEX;
  search(*this, s, {start, end, limit, ASTAR_NONE, ASTAR_OPEN, ASTAR_CLOSED});
  if (!detail::trace_path(*this, start, end)) log_line(":   A* path trace is broken, no path");
}

void HEXAGON_MAP::ASTAR_COMPUTE(int32_t start_x, int32_t start_y, int32_t end_x, int32_t end_y,
                                int32_t limit) {
  ASTAR_CELLSETSTART(start_x, start_y);
  ASTAR_CELLSETEND(end_x, end_y);
  ASTAR_COMPUTE(limit);
}

void HEXAGON_MAP::ASTAR_COMPUTE(VECTOR2D start, VECTOR2D end, int32_t limit) {
  ASTAR_CELLSETSTART(start);
  ASTAR_CELLSETEND(end);
  ASTAR_COMPUTE(limit);
}

}  // namespace hexmap
