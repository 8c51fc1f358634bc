// The A* search and the flood map as documented, step by step: the full reset, the scan of every
// cell for the lowest F and the level-by-level flood passes, on a HEXAGON_MAP through its public
// fields. Tests hold the engine to it; benchmarks time it. Where the engine refuses bad input
// (size fields that disagree with the cells, a stale start or end, list marks that are not
// distinct, parents that lead nowhere) this refuses alike, silently. Sums wrap as the engine's.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "hexmap/directions.hpp"
#include "hexmap/hexagon_map.hpp"

namespace hexmap::reference {

struct Literal {
  HEXAGON_MAP& m;

  static int32_t wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }
  bool on_grid(int32_t index) const { return index >= 0 && index < m.CELL_COUNT; }
  bool inside(int32_t x, int32_t y) const { return m.INSIDE(x, y) != 0; }
  MAP_CELL& at(int32_t index) { return m.CELLS[static_cast<size_t>(index)]; }
  MAP_CELL& at(int32_t x, int32_t y) { return at(y * m.MAP_WIDTH + x); }
  bool grid_ok() const {
    return m.MAP_WIDTH > 0 && m.MAP_HEIGHT > 0 &&
           int64_t{m.MAP_WIDTH} * m.MAP_HEIGHT == m.CELL_COUNT &&
           m.CELLS.size() == static_cast<size_t>(m.CELL_COUNT);
  }

  void cell_clear_all() {
    if (!grid_ok()) return;
    for (int32_t i = 0; i < m.CELL_COUNT; ++i) {  // row by row
      at(i).POSITION = VECTOR2D(i % m.MAP_WIDTH, i / m.MAP_WIDTH);
      at(i).SOLID = 0;
    }
  }
  // Off the map nothing is stored.
  void cell_set_solid(int32_t x, int32_t y, int32_t value) {
    if (inside(x, y)) at(x, y).SOLID = value;
  }
  void cell_toggle_solid(int32_t x, int32_t y) {
    if (inside(x, y)) at(x, y).SOLID = at(x, y).SOLID != 0 ? 0 : -1;
  }
  // ASTAR_CELLSETSTART and ASTAR_CELLSETEND.
  void set_point(int32_t x, int32_t y, int32_t& index, VECTOR2D& point) {
    if (!inside(x, y)) return;
    index = y * m.MAP_WIDTH + x;
    point = VECTOR2D(x, y);
  }

  // May a step in direction d enter the grid cell (x, y)? The A* search is stopped by SOLID -1
  // alone, the flood by any non-zero SOLID.
  bool passable(int32_t d, int32_t x, int32_t y, bool any_solid) {
    if (!inside(x, y)) return false;
    const MAP_CELL& n = at(x, y);
    if (n.ID_GROUND == 0 || (any_solid ? n.SOLID != 0 : n.SOLID == -1)) return false;
    return (n.ID_WALL & (1 << opposite(d))) == 0;
  }

  void astar_check_neighbour(int32_t index, int32_t d, int32_t x, int32_t y, int32_t cost) {
    if (!grid_ok() || !on_grid(index) || d < 0 || d > 5 || !passable(d, x, y, false)) return;
    MAP_CELL& n = at(x, y);
    const MAP_CELL& p = at(index);
    const int32_t g = wrap(int64_t{p.ASTAR_G} + cost);
    int32_t list = n.ASTAR_LIST;
    // An open or a closed cell reached more cheaply counts as new: it is (re)opened.
    if ((list == m.ASTAR_OPEN || list == m.ASTAR_CLOSED) && g < n.ASTAR_G) list = m.ASTAR_NONE;
    if (list != m.ASTAR_NONE || !on_grid(m.ASTAR_END_INDEX)) return;
    n.ASTAR_LIST = m.ASTAR_OPEN;
    n.ASTAR_G = g;
    n.ASTAR_H =
        wrap(int64_t{10} * HEXAGON_MAP::DISTANCE(n.POSITION, at(m.ASTAR_END_INDEX).POSITION));
    n.ASTAR_F = wrap(int64_t{n.ASTAR_G} + n.ASTAR_H);
    n.ASTAR_PARENT = p.POSITION;
    n.ASTAR_PARENT_INDEX = wrap(int64_t{p.POSITION.Y} * m.MAP_WIDTH + p.POSITION.X);
    n.ASTAR_DIRECTION = d;
  }

  void astar_check_neighbours(int32_t index, int32_t x, int32_t y) {
    if (!grid_ok() || !on_grid(index)) return;
    for (int32_t d = 0; d < 6; ++d) {
      astar_check_neighbour(index, d, HEXAGON_MAP::ADJACENT_X(x, y, d),
                            HEXAGON_MAP::ADJACENT_Y(x, y, d), 10);
    }
  }

  int32_t astar_get_lowest_f() {
    int32_t best = -1;
    for (int32_t i = 0; i < m.CELL_COUNT; ++i) {
      if (at(i).ASTAR_LIST != m.ASTAR_OPEN) continue;
      if (best == -1 || at(i).ASTAR_F < at(best).ASTAR_F) best = i;
    }
    return best;
  }

  // Returns the number of expansions.
  int32_t astar_compute(int32_t limit) {
    if (!grid_ok()) return 0;
    for (MAP_CELL& c : m.CELLS) {
      c.ASTAR_PARENT = -1;
      c.ASTAR_PARENT_INDEX = c.ASTAR_DIRECTION = c.ASTAR_PATH_DIRECTION = -1;
      c.ASTAR_LIST = m.ASTAR_NONE;
      c.ASTAR_F = c.ASTAR_G = c.ASTAR_H = 0;
    }
    m.ASTAR_PATH_LENGTH = m.ASTAR_PATH_FOUND = 0;
    m.ASTAR_FIRST_DIRECTION = -1;
    const bool distinct = m.ASTAR_NONE != m.ASTAR_OPEN && m.ASTAR_NONE != m.ASTAR_CLOSED &&
                          m.ASTAR_OPEN != m.ASTAR_CLOSED;
    if (!distinct) return 0;
    const int32_t start = m.ASTAR_START_INDEX;
    const int32_t end = m.ASTAR_END_INDEX;
    if (!on_grid(start) || !inside(m.ASTAR_START.X, m.ASTAR_START.Y)) return 0;
    if (!on_grid(end) || !inside(m.ASTAR_END.X, m.ASTAR_END.Y)) return 0;

    at(start).ASTAR_LIST = m.ASTAR_OPEN;
    int32_t expanded = 0;
    for (;;) {
      const int32_t c = astar_get_lowest_f();
      if (c != -1 && c != end) {
        ++expanded;
        at(c).ASTAR_LIST = m.ASTAR_CLOSED;
        astar_check_neighbours(c, at(c).POSITION.X, at(c).POSITION.Y);
      }
      if (c == -1 || c == end || expanded >= limit) break;
    }

    if (end == start || at(end).ASTAR_DIRECTION == -1) return expanded;
    // A chain that leaves the grid or needs as many steps as there are cells is no path.
    int32_t i = end;
    for (int32_t steps = 0; i != start; ++steps) {
      if (steps == m.CELL_COUNT || !on_grid(at(i).ASTAR_PARENT_INDEX)) return expanded;
      i = at(i).ASTAR_PARENT_INDEX;
    }
    for (i = end; i != start;) {
      const int32_t d = at(i).ASTAR_DIRECTION;
      i = at(i).ASTAR_PARENT_INDEX;
      at(i).ASTAR_PATH_DIRECTION = d;
      m.ASTAR_PATH_LENGTH += 1;
      if (i == start) {
        m.ASTAR_PATH_FOUND = -1;
        m.ASTAR_FIRST_DIRECTION = d;
      }
    }
    return expanded;
  }

  int32_t astar_compute(int32_t sx, int32_t sy, int32_t ex, int32_t ey, int32_t limit) {
    set_point(sx, sy, m.ASTAR_START_INDEX, m.ASTAR_START);
    set_point(ex, ey, m.ASTAR_END_INDEX, m.ASTAR_END);
    return astar_compute(limit);
  }

  void flood_check_neighbor(int32_t index, int32_t d, int32_t value) {
    if (!grid_ok() || !on_grid(index) || d < 0 || d > 5) return;
    const VECTOR2D p = at(index).POSITION;
    const int32_t x = HEXAGON_MAP::ADJACENT_X(p.X, p.Y, d);
    const int32_t y = HEXAGON_MAP::ADJACENT_Y(p.X, p.Y, d);
    if (passable(d, x, y, true) && at(x, y).FLOOD < value) at(x, y).FLOOD = value - 1;
  }

  void flood_compute(int32_t x, int32_t y, int32_t steps) {
    if (!grid_ok()) return;
    for (MAP_CELL& c : m.CELLS)
      c.FLOOD = 0;
    if (steps < 0 || !inside(x, y)) return;
    // The origin holds steps + 1: one short of the int range at most.
    steps = std::min(steps, std::numeric_limits<int32_t>::max() - 1);
    at(x, y).FLOOD = steps + 1;
    const auto x0 = static_cast<int32_t>(std::max<int64_t>(0, int64_t{x} - steps));
    const auto x1 = static_cast<int32_t>(std::min<int64_t>(m.MAP_WIDTH - 1, int64_t{x} + steps));
    const auto y0 = static_cast<int32_t>(std::max<int64_t>(0, int64_t{y} - steps));
    const auto y1 = static_cast<int32_t>(std::min<int64_t>(m.MAP_HEIGHT - 1, int64_t{y} + steps));
    for (int32_t v = steps + 1; v >= 1; --v) {
      bool found = false;
      for (int32_t row = y0; row <= y1; ++row) {
        for (int32_t col = x0; col <= x1; ++col) {
          if (at(col, row).FLOOD != v) continue;
          found = true;
          for (int32_t d = 0; d < 6; ++d)
            flood_check_neighbor(row * m.MAP_WIDTH + col, d, v);
        }
      }
      // A pass that finds no cell of its level writes nothing, so every later one finds none.
      if (!found) break;
    }
  }
};

}  // namespace hexmap::reference
