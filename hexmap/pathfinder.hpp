// Cheapest routes, movement ranges and distance fields over a map whose cells cost something
// to enter (grid coordinates throughout).
//
// A PathFinder reads its map at each query, as the map is then, and writes nothing into it:
// its working state lives in its own buffers, sized for the map's grid and resized when the
// grid is re-created. After a query on a grid, further queries on it allocate nothing (a
// route's or an output's capacity is reused).
//
// Threads: several PathFinders may query one map at once, each on its own thread, as long as
// nothing writes the map meanwhile. One PathFinder serves one thread at a time.
//
// Memory: kBytesPerCell bytes for every cell of the grid, plus at most 1.2 MB.
//
// Which steps exist: a step may enter a cell exactly when the A* search (ASTAR_COMPUTE) could
// enter it (ground, not SOLID -1, no wall on the side it crosses), and only while it costs
// something: a ground without an entry in the table, or with a cost of 0 or less, is barred,
// as is a step whose callable cost is 0 or less. The start itself need not be enterable.
// Totals are int64_t; a step may cost up to the int32_t maximum.
//
// Ties: of the cheapest routes the one returned is fixed by the costs alone. Walked back from
// the goal, each cell comes from its neighbour in the lowest direction (0 up, then clockwise)
// that lies on a cheapest route to it. The same on every run and every thread.
//
// A start, goal or source off the map (or a map whose size fields disagree with its cells)
// gives false or nothing, without a log line or an exception.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <type_traits>
#include <vector>

#include "hexmap/hexagon_map.hpp"

namespace hexmap {

// The cost of a step is by_ground[ID_GROUND] of the cell it enters.
struct TerrainCosts {
  std::vector<int32_t> by_ground;
};

struct Route {
  int64_t cost = 0;
  std::vector<VECTOR2D> cells;  // start to goal, both included
};

struct Reach {
  VECTOR2D cell;
  int64_t cost;
};

// A borrowed step-cost callable: int32_t(VECTOR2D from, VECTOR2D to, int32_t direction), where
// direction is that of the step from `from` to `to`. It runs on the querying thread, perhaps
// more than once for a step, and must price a step alike each time: a route whose steps are
// priced otherwise on the way back from the goal comes out as none.
class StepCostRef {
 public:
  template <typename F>
  explicit StepCostRef(F& f)
      : target_(const_cast<void*>(static_cast<const void*>(std::addressof(f)))),
        call_([](void* t, VECTOR2D a, VECTOR2D b, int32_t d) {
          return static_cast<int32_t>((*static_cast<F*>(t))(a, b, d));
        }) {}
  int32_t operator()(VECTOR2D from, VECTOR2D to, int32_t direction) const {
    return call_(target_, from, to, direction);
  }

 private:
  void* target_;
  int32_t (*call_)(void*, VECTOR2D, VECTOR2D, int32_t);
};

template <typename F>
concept StepCost = std::is_invocable_r_v<int32_t, F&, VECTOR2D, VECTOR2D, int32_t>;

class __attribute__((visibility("default"))) PathFinder {
 public:
  // Per cell of the grid: the search's node (cost so far, the query's mark, the cost to enter),
  // a place in the heap used for dear steps and one in the buckets used for cheap ones.
  static constexpr size_t kBytesPerCell = 37;

  explicit PathFinder(const HEXAGON_MAP& map);
  ~PathFinder();
  PathFinder(PathFinder&&) noexcept;
  PathFinder& operator=(PathFinder&&) = delete;  // the map reference is fixed
  PathFinder(const PathFinder&) = delete;
  PathFinder& operator=(const PathFinder&) = delete;

  // The cheapest route, or false with an empty route when there is none.
  bool find_path(VECTOR2D from, VECTOR2D to, const TerrainCosts& costs, Route& route);
  // Every cell whose cheapest cost from `from` is within the budget, the start at cost 0, in
  // row-major order.
  void reachable(VECTOR2D from, int64_t budget, const TerrainCosts& costs, std::vector<Reach>& out);
  // For every cell in row-major order, the cost from the cheapest source, -1 where none reaches
  // it. Sources off the map are left out.
  void distance_field(std::span<const VECTOR2D> sources, const TerrainCosts& costs,
                      std::vector<int64_t>& out);

  // The same with costs on steps.
  template <StepCost F>
  bool find_path(VECTOR2D from, VECTOR2D to, F&& step_cost, Route& route) {
    return find_path_by_steps(from, to, StepCostRef(step_cost), route);
  }
  template <StepCost F>
  void reachable(VECTOR2D from, int64_t budget, F&& step_cost, std::vector<Reach>& out) {
    reachable_by_steps(from, budget, StepCostRef(step_cost), out);
  }
  template <StepCost F>
  void distance_field(std::span<const VECTOR2D> sources, F&& step_cost, std::vector<int64_t>& out) {
    distance_field_by_steps(sources, StepCostRef(step_cost), out);
  }

  bool find_path_by_steps(VECTOR2D from, VECTOR2D to, StepCostRef step_cost, Route& route);
  void reachable_by_steps(VECTOR2D from, int64_t budget, StepCostRef step_cost,
                          std::vector<Reach>& out);
  void distance_field_by_steps(std::span<const VECTOR2D> sources, StepCostRef step_cost,
                               std::vector<int64_t>& out);

 private:
  struct Search;
  std::unique_ptr<Search> search_;
};

}  // namespace hexmap
