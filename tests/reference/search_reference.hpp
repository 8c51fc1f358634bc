// Literal A* search and flood map: the full reset, the scan of every cell for the lowest F and
// the level-by-level flood passes, step by step as documented, working on a HEXAGON_MAP through
// its public fields. Tests compare the engine with it; benchmarks time it. The guards against
// bad input are the engine's: the same refusals, the same wrapping arithmetic, the same bounds.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "hexmap/hexagon_map.hpp"

namespace hexmap::reference {

inline int32_t wrap_add(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t wrap_times10(int32_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(v) * 10u);
}
inline int32_t wrap_index(VECTOR2D p, int32_t width) {
  return static_cast<int32_t>(static_cast<uint32_t>(p.Y) * static_cast<uint32_t>(width) +
                              static_cast<uint32_t>(p.X));
}

inline bool grid_matches(const HEXAGON_MAP& m) {
  return m.MAP_WIDTH > 0 && m.MAP_HEIGHT > 0 &&
         int64_t{m.MAP_WIDTH} * m.MAP_HEIGHT == m.CELL_COUNT &&
         m.CELLS.size() == static_cast<size_t>(m.CELL_COUNT);
}
inline bool on_grid(const HEXAGON_MAP& m, int32_t index) {
  return index >= 0 && index < m.CELL_COUNT;
}
inline MAP_CELL& cell(HEXAGON_MAP& m, int32_t index) {
  return m.CELLS[static_cast<size_t>(index)];
}

inline void astar_set_start(HEXAGON_MAP& m, int32_t x, int32_t y) {
  if (m.INSIDE(x, y) == 0) return;
  m.ASTAR_START_INDEX = y * m.MAP_WIDTH + x;
  m.ASTAR_START = VECTOR2D(x, y);
}
inline void astar_set_end(HEXAGON_MAP& m, int32_t x, int32_t y) {
  if (m.INSIDE(x, y) == 0) return;
  m.ASTAR_END_INDEX = y * m.MAP_WIDTH + x;
  m.ASTAR_END = VECTOR2D(x, y);
}

inline void astar_check_neighbour(HEXAGON_MAP& m, int32_t index, int32_t direction, int32_t x,
                                  int32_t y, int32_t cost) {
  if (!grid_matches(m) || !on_grid(m, index)) return;
  if (direction < 0 || direction > 5) return;
  // Passability.
  if (x < 0 || x >= m.MAP_WIDTH || y < 0 || y >= m.MAP_HEIGHT) return;
  MAP_CELL& n = cell(m, y * m.MAP_WIDTH + x);
  if (n.ID_GROUND == 0) return;
  if (n.SOLID == -1) return;
  if ((n.ID_WALL & (1 << ((direction + 3) % 6))) != 0) return;
  // Update.
  const MAP_CELL& p = cell(m, index);
  const int32_t g = wrap_add(p.ASTAR_G, cost);
  int32_t list = n.ASTAR_LIST;
  if (list == m.ASTAR_OPEN && g < n.ASTAR_G) {
    list = m.ASTAR_NONE;
  } else if (list == m.ASTAR_CLOSED && g < n.ASTAR_G) {
    list = m.ASTAR_NONE;
  }
  if (list != m.ASTAR_NONE) return;
  if (!on_grid(m, m.ASTAR_END_INDEX)) return;  // no end cell to estimate towards
  const VECTOR2D end = cell(m, m.ASTAR_END_INDEX).POSITION;
  n.ASTAR_LIST = m.ASTAR_OPEN;
  n.ASTAR_G = g;
  n.ASTAR_H = wrap_times10(HEXAGON_MAP::DISTANCE(n.POSITION, end));
  n.ASTAR_F = wrap_add(n.ASTAR_G, n.ASTAR_H);
  n.ASTAR_PARENT = p.POSITION;
  n.ASTAR_PARENT_INDEX = wrap_index(p.POSITION, m.MAP_WIDTH);
  n.ASTAR_DIRECTION = direction;
}

inline void astar_check_neighbours(HEXAGON_MAP& m, int32_t index, int32_t x, int32_t y) {
  if (!grid_matches(m) || !on_grid(m, index)) return;
  for (int32_t d = 0; d < 6; ++d) {
    astar_check_neighbour(m, index, d, HEXAGON_MAP::ADJACENT_X(x, y, d),
                          HEXAGON_MAP::ADJACENT_Y(x, y, d), 10);
  }
}

inline int32_t astar_get_lowest_f(const HEXAGON_MAP& m) {
  int32_t best = -1;
  for (int32_t i = 0; i < m.CELL_COUNT; ++i) {
    const MAP_CELL& c = m.CELLS[static_cast<size_t>(i)];
    if (c.ASTAR_LIST != m.ASTAR_OPEN) continue;
    if (best == -1 || c.ASTAR_F < m.CELLS[static_cast<size_t>(best)].ASTAR_F) best = i;
  }
  return best;
}

// Returns the number of expansions.
inline int32_t astar_compute(HEXAGON_MAP& m, int32_t limit) {
  if (!grid_matches(m)) return 0;
  for (MAP_CELL& c : m.CELLS) {
    c.ASTAR_PARENT = -1;
    c.ASTAR_PARENT_INDEX = -1;
    c.ASTAR_DIRECTION = -1;
    c.ASTAR_PATH_DIRECTION = -1;
    c.ASTAR_LIST = m.ASTAR_NONE;
    c.ASTAR_F = 0;
    c.ASTAR_G = 0;
    c.ASTAR_H = 0;
  }
  m.ASTAR_PATH_LENGTH = 0;
  m.ASTAR_PATH_FOUND = 0;
  m.ASTAR_FIRST_DIRECTION = -1;
  if (m.ASTAR_NONE == m.ASTAR_OPEN || m.ASTAR_NONE == m.ASTAR_CLOSED ||
      m.ASTAR_OPEN == m.ASTAR_CLOSED) {
    return 0;
  }
  if (!on_grid(m, m.ASTAR_START_INDEX) || m.INSIDE(m.ASTAR_START) == 0) return 0;
  if (!on_grid(m, m.ASTAR_END_INDEX) || m.INSIDE(m.ASTAR_END) == 0) return 0;

  cell(m, m.ASTAR_START_INDEX).ASTAR_LIST = m.ASTAR_OPEN;
  int32_t expanded = 0;
  for (;;) {
    const int32_t c = astar_get_lowest_f(m);
    if (c != -1 && c != m.ASTAR_END_INDEX) {
      ++expanded;
      cell(m, c).ASTAR_LIST = m.ASTAR_CLOSED;
      const VECTOR2D p = cell(m, c).POSITION;
      astar_check_neighbours(m, c, p.X, p.Y);
    }
    if (c == -1 || c == m.ASTAR_END_INDEX || expanded >= limit) break;
  }

  if (m.ASTAR_END_INDEX == m.ASTAR_START_INDEX) return expanded;
  if (cell(m, m.ASTAR_END_INDEX).ASTAR_DIRECTION == -1) return expanded;
  // A chain that leaves the grid or needs as many steps as there are cells is no path.
  int32_t i = m.ASTAR_END_INDEX;
  for (int32_t steps = 0; i != m.ASTAR_START_INDEX; ++steps) {
    if (steps == m.CELL_COUNT || !on_grid(m, cell(m, i).ASTAR_PARENT_INDEX)) return expanded;
    i = cell(m, i).ASTAR_PARENT_INDEX;
  }
  i = m.ASTAR_END_INDEX;
  while (i != m.ASTAR_START_INDEX) {
    const int32_t d = cell(m, i).ASTAR_DIRECTION;
    i = cell(m, i).ASTAR_PARENT_INDEX;
    cell(m, i).ASTAR_PATH_DIRECTION = d;
    m.ASTAR_PATH_LENGTH += 1;
    if (i == m.ASTAR_START_INDEX) {
      m.ASTAR_PATH_FOUND = -1;
      m.ASTAR_FIRST_DIRECTION = d;
    }
  }
  return expanded;
}

inline int32_t astar_compute(HEXAGON_MAP& m, int32_t start_x, int32_t start_y, int32_t end_x,
                             int32_t end_y, int32_t limit) {
  astar_set_start(m, start_x, start_y);
  astar_set_end(m, end_x, end_y);
  return astar_compute(m, limit);
}

inline void flood_check_neighbor(HEXAGON_MAP& m, int32_t index, int32_t direction, int32_t value) {
  if (!grid_matches(m) || !on_grid(m, index)) return;
  if (direction < 0 || direction > 5) return;
  const VECTOR2D p = cell(m, index).POSITION;
  const int32_t x = HEXAGON_MAP::ADJACENT_X(p.X, p.Y, direction);
  const int32_t y = HEXAGON_MAP::ADJACENT_Y(p.X, p.Y, direction);
  if (m.INSIDE(x, y) == 0) return;
  MAP_CELL& n = cell(m, y * m.MAP_WIDTH + x);
  if (n.SOLID != 0 || n.ID_GROUND == 0) return;
  if ((n.ID_WALL & (1 << ((direction + 3) % 6))) != 0) return;
  if (n.FLOOD < value) n.FLOOD = value - 1;
}

inline void flood_compute(HEXAGON_MAP& m, int32_t x, int32_t y, int32_t steps) {
  if (!grid_matches(m)) return;
  for (MAP_CELL& c : m.CELLS)
    c.FLOOD = 0;
  if (steps < 0) return;
  if (m.INSIDE(x, y) == 0) return;
  // The origin holds steps + 1: one short of the int range at most.
  steps = std::min(steps, std::numeric_limits<int32_t>::max() - 1);
  cell(m, y * m.MAP_WIDTH + x).FLOOD = steps + 1;
  const auto x0 = static_cast<int32_t>(std::max<int64_t>(0, int64_t{x} - steps));
  const auto x1 = static_cast<int32_t>(std::min<int64_t>(m.MAP_WIDTH - 1, int64_t{x} + steps));
  const auto y0 = static_cast<int32_t>(std::max<int64_t>(0, int64_t{y} - steps));
  const auto y1 = static_cast<int32_t>(std::min<int64_t>(m.MAP_HEIGHT - 1, int64_t{y} + steps));
  for (int32_t v = steps + 1; v >= 1; --v) {
    bool found = false;
    for (int32_t row = y0; row <= y1; ++row) {
      for (int32_t col = x0; col <= x1; ++col) {
        const int32_t i = row * m.MAP_WIDTH + col;
        if (cell(m, i).FLOOD != v) continue;
        found = true;
        for (int32_t d = 0; d < 6; ++d)
          flood_check_neighbor(m, i, d, v);
      }
    }
    // A pass that finds no cell of its level writes nothing, so every later one finds none.
    if (!found) break;
  }
}

}  // namespace hexmap::reference
