// A* search over the grid. The working state lives in the cells' A* fields; the buffers in
// Scratch only make it fast: a heap of open cells replaces the scan for the lowest F, and a
// list of the cells the previous search wrote replaces the reset of the whole grid. Both give
// the same expansions in the same order as the scan and the full reset.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "hexmap/grid_geometry.hpp"
#include "hexmap/hexagon_map.hpp"
#include "hexmap/search_scratch.hpp"

namespace hexmap {
namespace {

using detail::SearchScratch;

constexpr int32_t kStepCost = 10;
constexpr std::string_view kSizeMismatch =
    ":   A* refused, the map size fields do not match the cells";

constexpr int32_t wrap_times10(int32_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(v) * 10u);
}
// Row-major index of (x, y); garbage positions wrap instead of overflowing.
constexpr int32_t wrap_index(VECTOR2D p, int32_t width) {
  return static_cast<int32_t>(static_cast<uint32_t>(p.Y) * static_cast<uint32_t>(width) +
                              static_cast<uint32_t>(p.X));
}

void reset_cell(MAP_CELL& c, int32_t none) {
  c.ASTAR_PARENT = VECTOR2D(-1, -1);
  c.ASTAR_PARENT_INDEX = -1;
  c.ASTAR_DIRECTION = -1;
  c.ASTAR_LIST = none;
  c.ASTAR_PATH_DIRECTION = -1;
  c.ASTAR_F = 0;
  c.ASTAR_G = 0;
  c.ASTAR_H = 0;
}

// Leaves every cell in the reset state. Only cells listed as written since the last reset can
// differ from it, unless the grid is new or the list marks were changed.
void reset_astar(HEXAGON_MAP& map, SearchScratch& s) {
  const std::array<int32_t, 3> marks{map.ASTAR_NONE, map.ASTAR_OPEN, map.ASTAR_CLOSED};
  const int32_t none = map.ASTAR_NONE;
  MAP_CELL* cells = map.CELLS.data();
  if (s.astar_reset_all || marks != s.astar_reset_marks) {
    for (MAP_CELL& c : map.CELLS)
      reset_cell(c, none);
    s.astar_reset_all = false;
    s.astar_reset_marks = marks;
  } else {
    for (const int32_t i : s.astar_searched)
      reset_cell(cells[i], none);
    for (const int32_t i : s.astar_touched)
      reset_cell(cells[i], none);
  }
  for (const int32_t i : s.astar_touched) {
    s.marks[static_cast<size_t>(i)] &= static_cast<uint8_t>(~SearchScratch::kAstarTouched);
  }
  s.astar_searched.clear();
  s.astar_touched.clear();
}

struct SearchSetup {
  int32_t start;
  int32_t end;
  int32_t limit;
  int32_t none;
  int32_t open;
  int32_t closed;
};

// The expansion loop. Cells are reset and the start is valid.
void run_search(HEXAGON_MAP& map, SearchScratch& s, const SearchSetup& setup) {
  MAP_CELL* const cells = map.CELLS.data();
  const int32_t width = map.MAP_WIDTH;
  const auto uwidth = static_cast<uint32_t>(width);
  const auto uheight = static_cast<uint32_t>(map.MAP_HEIGHT);
  const VECTOR2D goal = cells[setup.end].POSITION;
  const int32_t none = setup.none;
  const int32_t open = setup.open;

  detail::OpenHeap heap(s.heap.data(), s.heap.size(), cells, open);
  cells[setup.start].ASTAR_LIST = open;
  s.astar_searched.push(setup.start);
  heap.push(cells[setup.start].ASTAR_F, setup.start);

  int32_t expanded = 0;
  for (;;) {
    const int32_t c = heap.pop();
    if (c == -1 || c == setup.end) break;
    ++expanded;
    MAP_CELL& from = cells[c];
    from.ASTAR_LIST = setup.closed;
    const VECTOR2D pos = from.POSITION;
    // G stays below 10 x the cell count within a search; wrapping only guards the type.
    const int32_t g = detail::wrap_add(from.ASTAR_G, kStepCost);
    const int32_t parent_index = wrap_index(pos, width);

    // Called with constant directions, so the neighbour arithmetic folds away.
    const auto relax = [&](int32_t d) {
      const int32_t nx = detail::adjacent_x(pos.X, d);
      const int32_t ny = detail::adjacent_y(pos.X, pos.Y, d);
      if (static_cast<uint32_t>(nx) >= uwidth || static_cast<uint32_t>(ny) >= uheight) return;
      const int32_t n = ny * width + nx;
      MAP_CELL& to = cells[n];
      if (to.ID_GROUND == 0 || to.SOLID == -1 || ((to.ID_WALL >> detail::opposite(d)) & 1) != 0) {
        return;
      }
      if (to.ASTAR_LIST == none) {
        s.astar_searched.push(n);  // first opening in this search
      } else if (g >= to.ASTAR_G) {
        return;  // open or closed: only a cheaper way (re)opens it
      }
      to.ASTAR_LIST = open;
      to.ASTAR_G = g;
      to.ASTAR_H = wrap_times10(detail::distance(to.POSITION.X, to.POSITION.Y, goal.X, goal.Y));
      to.ASTAR_F = detail::wrap_add(g, to.ASTAR_H);
      to.ASTAR_PARENT = pos;
      to.ASTAR_PARENT_INDEX = parent_index;
      to.ASTAR_DIRECTION = d;
      heap.push(to.ASTAR_F, n);
    };
    relax(0);
    relax(1);
    relax(2);
    relax(3);
    relax(4);
    relax(5);
    if (expanded >= setup.limit) break;
  }
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
  if (to.ID_GROUND == 0 || to.SOLID == -1 ||
      ((to.ID_WALL >> detail::opposite(direction)) & 1) != 0) {
    return;
  }
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
  to.ASTAR_H = wrap_times10(detail::distance(to.POSITION.X, to.POSITION.Y, goal.X, goal.Y));
  to.ASTAR_F = detail::wrap_add(g, to.ASTAR_H);
  to.ASTAR_PARENT = from.POSITION;
  to.ASTAR_PARENT_INDEX = wrap_index(from.POSITION, MAP_WIDTH);
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
  reset_astar(*this, s);
  ASTAR_PATH_LENGTH = 0;
  ASTAR_PATH_FOUND = 0;
  ASTAR_FIRST_DIRECTION = -1;

  if (ASTAR_NONE == ASTAR_OPEN || ASTAR_NONE == ASTAR_CLOSED || ASTAR_OPEN == ASTAR_CLOSED) {
    log_line(":   A* search refused, the list marks are not distinct");
    return;
  }
  // A start or end set on an earlier, larger grid may no longer exist.
  if (!on_grid(*this, ASTAR_START_INDEX) || INSIDE(ASTAR_START) == 0) {
    log_line(":   A* start " + to_string(ASTAR_START) + " is off the map, no search");
    return;
  }
  if (!on_grid(*this, ASTAR_END_INDEX) || INSIDE(ASTAR_END) == 0) {
    log_line(":   A* end " + to_string(ASTAR_END) + " is off the map, no search");
    return;
  }

  const int32_t start = ASTAR_START_INDEX;
  const int32_t end = ASTAR_END_INDEX;
  run_search(*this, s, {start, end, limit, ASTAR_NONE, ASTAR_OPEN, ASTAR_CLOSED});

  if (end == start) return;
  MAP_CELL* const cells = CELLS.data();
  if (cells[end].ASTAR_DIRECTION == -1) return;

  // Parents taken from overwritten positions may lead off the grid or round in a circle; a
  // sound chain reaches the start in fewer steps than there are cells.
  int32_t i = end;
  for (int32_t steps = 0; i != start; ++steps) {
    const int32_t parent = cells[i].ASTAR_PARENT_INDEX;
    if (steps == CELL_COUNT || !on_grid(*this, parent)) {
      log_line(":   A* path trace is broken, no path");
      return;
    }
    i = parent;
  }
  i = end;
  while (i != start) {
    const int32_t d = cells[i].ASTAR_DIRECTION;
    i = cells[i].ASTAR_PARENT_INDEX;
    cells[i].ASTAR_PATH_DIRECTION = d;
    ++ASTAR_PATH_LENGTH;
    if (i == start) {
      ASTAR_PATH_FOUND = -1;
      ASTAR_FIRST_DIRECTION = d;
    }
  }
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
