// Cheapest costs over a map by the textbook Dijkstra: a plain binary heap with stale entries
// skipped, every cell's cost held in a vector (grid coordinates). A step exists where the A*
// search may enter the cell and the step costs more than 0. Tests hold PathFinder to it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <queue>
#include <span>
#include <utility>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "tests/reference/search_reference.hpp"

namespace hexmap::reference {

using StepCostFn = std::function<int32_t(VECTOR2D from, VECTOR2D to, int32_t direction)>;

// The cost of entering a cell from a ground table; 0 (barred) without an entry.
inline StepCostFn table_step_cost(const HEXAGON_MAP& m, const std::vector<int32_t>& table) {
  return [&m, &table](VECTOR2D, VECTOR2D to, int32_t) {
    const int32_t g = m.GET_ID_GROUND(to);
    return g >= 0 && static_cast<size_t>(g) < table.size() ? table[static_cast<size_t>(g)] : 0;
  };
}

struct Dijkstra {
  HEXAGON_MAP& m;
  StepCostFn cost;

  // The step from `from` into `to` in direction d exists: its cost, else 0.
  int32_t step(VECTOR2D from, VECTOR2D to, int32_t d) {
    if (!Literal{m}.passable(d, to.X, to.Y, false)) return 0;
    return std::max(cost(from, to, d), 0);
  }

  // Per cell in row-major order, the cheapest cost from any source on the map; -1 elsewhere.
  std::vector<int64_t> costs_from(std::span<const VECTOR2D> sources) {
    std::vector<int64_t> best(m.CELLS.size(), -1);
    using Entry = std::pair<int64_t, int32_t>;  // cost, cell index
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    for (VECTOR2D s : sources) {
      if (m.INSIDE(s) == 0) continue;
      best[static_cast<size_t>(s.Y * m.MAP_WIDTH + s.X)] = 0;
      open.emplace(0, s.Y * m.MAP_WIDTH + s.X);
    }
    while (!open.empty()) {
      const auto [g, i] = open.top();
      open.pop();
      if (g != best[static_cast<size_t>(i)]) continue;
      const VECTOR2D p(i % m.MAP_WIDTH, i / m.MAP_WIDTH);
      for (int32_t d = 0; d < 6; ++d) {
        const VECTOR2D q(HEXAGON_MAP::ADJACENT_X(p.X, p.Y, d),
                         HEXAGON_MAP::ADJACENT_Y(p.X, p.Y, d));
        const int32_t c = m.INSIDE(q) != 0 ? step(p, q, d) : 0;
        if (c == 0) continue;
        int64_t& to = best[static_cast<size_t>(q.Y * m.MAP_WIDTH + q.X)];
        if (to == -1 || g + c < to) {
          to = g + c;
          open.emplace(to, q.Y * m.MAP_WIDTH + q.X);
        }
      }
    }
    return best;
  }

  // The cheapest route from `from` to `to`, by the tie rule: walked back from the goal, each
  // cell comes from its neighbour in the lowest direction on a cheapest route to it. Empty when
  // there is none.
  std::vector<VECTOR2D> route(VECTOR2D from, VECTOR2D to) {
    if (m.INSIDE(from) == 0 || m.INSIDE(to) == 0) return {};
    const std::vector<int64_t> best = costs_from(std::span(&from, 1));
    const auto at = [&](VECTOR2D p) { return best[static_cast<size_t>(p.Y * m.MAP_WIDTH + p.X)]; };
    if (at(to) == -1) return {};
    std::vector<VECTOR2D> cells{to};
    for (VECTOR2D v = to; v != from;) {
      for (int32_t k = 0; k < 6; ++k) {
        const VECTOR2D u(HEXAGON_MAP::ADJACENT_X(v.X, v.Y, k),
                         HEXAGON_MAP::ADJACENT_Y(v.X, v.Y, k));
        if (m.INSIDE(u) == 0 || at(u) == -1) continue;
        const int32_t c = step(u, v, opposite(k));
        if (c > 0 && at(u) + c == at(v)) {
          v = u;
          break;
        }
      }
      cells.push_back(v);
    }
    std::reverse(cells.begin(), cells.end());
    return cells;
  }
};

}  // namespace hexmap::reference
