// PathFinder against Boost Graph on a compressed_sparse_row_graph with the same weights, on a
// 1024 x 1024 map of terrain patches (steps cost 1, 2, 3 or 7 by the ground entered; one ground
// barred), holes, one-sided walls and solid cells (grid coordinates):
//  - route/*: 50 random pairs; Boost's astar_search with (cheapest step) x DISTANCE.
//  - field/*: costs from one source to every cell; Boost's dijkstra_shortest_paths.
//  - reach/*: movement ranges within budgets 20 and 200 (ours alone).
//  - threads/*: 100 pairs on one thread, then split over two, each with its own PathFinder.
// Every answer of ours is checked against Boost's before timing.

#include <benchmark/benchmark.h>

#include <boost/graph/astar_search.hpp>
#include <boost/graph/compressed_sparse_row_graph.hpp>
#include <boost/graph/dijkstra_shortest_paths.hpp>
#include <cstdint>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "hexmap/pathfinder.hpp"
#include "tests/reference/search_reference.hpp"
#include "tests/reference/test_maps.hpp"

namespace {

using hexmap::HEXAGON_MAP;
using hexmap::VECTOR2D;

constexpr int32_t kSize = 1024;
constexpr int32_t kPatch = 16;  // side of a terrain patch, in cells
// Ground 1 to 4 cost 1, 2, 3 and 7; ground 5 has no cost and is barred.
const hexmap::TerrainCosts kCosts{{0, 1, 2, 3, 7, 0}};
constexpr int32_t kCheapestStep = 1;

struct World {
  HEXAGON_MAP map;
  std::vector<std::pair<VECTOR2D, VECTOR2D>> pairs;

  World() {
    hexmap::reference::make_open_map(map, kSize, kSize);
    std::mt19937 rng(99);
    std::discrete_distribution<int32_t> ground({0, 30, 30, 20, 14, 6});
    std::vector<int32_t> patches((kSize / kPatch) * (kSize / kPatch));
    for (int32_t& g : patches)
      g = ground(rng);
    std::uniform_int_distribution<int32_t> percent(0, 99);
    std::uniform_int_distribution<int32_t> side(0, 5);
    for (int32_t i = 0; i < map.CELL_COUNT; ++i) {
      hexmap::MAP_CELL& c = map.CELLS[static_cast<size_t>(i)];
      const int32_t x = i % kSize;
      const int32_t y = i / kSize;
      c.ID_GROUND = patches[static_cast<size_t>((y / kPatch) * (kSize / kPatch) + x / kPatch)];
      const int32_t roll = percent(rng);
      if (roll < 5) c.ID_GROUND = 0;            // holes
      if (roll >= 5 && roll < 8) c.SOLID = -1;  // solid cells
      if (roll >= 8 && roll < 14) c.ID_WALL = 1 << side(rng);
    }
    std::uniform_int_distribution<int32_t> coord(0, kSize - 1);
    while (pairs.size() < 100) {
      const VECTOR2D a(coord(rng), coord(rng));
      const VECTOR2D b(coord(rng), coord(rng));
      if (open_ground(a) && open_ground(b)) pairs.emplace_back(a, b);
    }
  }
  bool open_ground(VECTOR2D p) const {
    const hexmap::MAP_CELL& c = map.GET_ID(p);
    return c.ID_GROUND >= 1 && c.ID_GROUND <= 4 && c.SOLID == 0;
  }
};

World& world() {
  static World w;
  return w;
}

// ---- Boost Graph: one vertex per cell, an edge weighted by the cost of every allowed step ----

struct Edge {
  int64_t weight;
};
using Graph = boost::compressed_sparse_row_graph<boost::directedS, boost::no_property, Edge>;
using Vertex = size_t;

Graph make_graph(HEXAGON_MAP& map) {
  std::vector<std::pair<Vertex, Vertex>> edges;
  std::vector<Edge> weights;
  hexmap::reference::Literal literal{map};
  for (int32_t y = 0; y < kSize; ++y) {
    for (int32_t x = 0; x < kSize; ++x) {
      for (int32_t d = 0; d < 6; ++d) {
        const int32_t nx = HEXAGON_MAP::ADJACENT_X(x, y, d);
        const int32_t ny = HEXAGON_MAP::ADJACENT_Y(x, y, d);
        if (!literal.passable(d, nx, ny, false)) continue;
        const int32_t cost = kCosts.by_ground[static_cast<size_t>(map.GET_ID_GROUND(nx, ny))];
        if (cost <= 0) continue;
        edges.emplace_back(Vertex(y * kSize + x), Vertex(ny * kSize + nx));
        weights.push_back({cost});
      }
    }
  }
  return Graph(boost::edges_are_sorted, edges.begin(), edges.end(), weights.begin(),
               static_cast<size_t>(map.CELL_COUNT));
}

class Estimate : public boost::astar_heuristic<Graph, int64_t> {
 public:
  explicit Estimate(Vertex goal) : goal_(goal) {}
  int64_t operator()(Vertex v) const {
    return kCheapestStep * int64_t{HEXAGON_MAP::DISTANCE(static_cast<int32_t>(v % kSize),
                                                         static_cast<int32_t>(v / kSize),
                                                         static_cast<int32_t>(goal_ % kSize),
                                                         static_cast<int32_t>(goal_ / kSize))};
  }

 private:
  Vertex goal_;
};

struct GoalReached {};
struct StopAtGoal : boost::default_astar_visitor {
  Vertex goal;
  template <typename G>
  void examine_vertex(Vertex u, const G& /*g*/) {
    if (u == goal) throw GoalReached{};
  }
};

struct BoostSearch {
  Graph graph = make_graph(world().map);
  std::vector<Vertex> predecessor = std::vector<Vertex>(kSize * kSize);
  std::vector<int64_t> distance = std::vector<int64_t>(kSize * kSize);
  std::vector<int64_t> rank = std::vector<int64_t>(kSize * kSize);
  std::vector<boost::default_color_type> color =
      std::vector<boost::default_color_type>(kSize * kSize);

  // Cost of the cheapest route, -1 when there is none.
  int64_t route(VECTOR2D a, VECTOR2D b) {
    const auto start = Vertex(a.Y * kSize + a.X);
    const auto goal = Vertex(b.Y * kSize + b.X);
    const auto index = boost::get(boost::vertex_index, graph);
    try {
      boost::astar_search(
          graph, start, Estimate(goal),
          boost::weight_map(boost::get(&Edge::weight, graph))
              .predecessor_map(boost::make_iterator_property_map(predecessor.begin(), index))
              .distance_map(boost::make_iterator_property_map(distance.begin(), index))
              .rank_map(boost::make_iterator_property_map(rank.begin(), index))
              .color_map(boost::make_iterator_property_map(color.begin(), index))
              .visitor(StopAtGoal{{}, goal}));
    } catch (const GoalReached&) {
      return distance[goal];
    }
    return -1;
  }
  void field(VECTOR2D source) {
    const auto index = boost::get(boost::vertex_index, graph);
    boost::dijkstra_shortest_paths(
        graph, Vertex(source.Y * kSize + source.X),
        boost::weight_map(boost::get(&Edge::weight, graph))
            .predecessor_map(boost::make_iterator_property_map(predecessor.begin(), index))
            .distance_map(boost::make_iterator_property_map(distance.begin(), index))
            .color_map(boost::make_iterator_property_map(color.begin(), index)));
  }
};

BoostSearch& boost_search() {
  static BoostSearch b;
  return b;
}

std::vector<std::pair<VECTOR2D, VECTOR2D>> first_pairs(size_t n) {
  return {world().pairs.begin(), world().pairs.begin() + static_cast<ptrdiff_t>(n)};
}

void route_ours(benchmark::State& state) {
  hexmap::PathFinder finder(world().map);
  hexmap::Route route;
  for (const auto& [a, b] : first_pairs(50)) {
    const int64_t ours = finder.find_path(a, b, kCosts, route) ? route.cost : -1;
    if (ours != boost_search().route(a, b)) return state.SkipWithError("route cost differs");
  }
  for (auto _ : state)
    for (const auto& [a, b] : first_pairs(50))
      benchmark::DoNotOptimize(finder.find_path(a, b, kCosts, route));
}

void route_boost(benchmark::State& state) {
  for (auto _ : state)
    for (const auto& [a, b] : first_pairs(50))
      benchmark::DoNotOptimize(boost_search().route(a, b));
}

void field_ours(benchmark::State& state) {
  hexmap::PathFinder finder(world().map);
  std::vector<int64_t> out;
  const VECTOR2D source = world().pairs[0].first;
  finder.distance_field(std::span(&source, 1), kCosts, out);
  boost_search().field(source);
  for (size_t i = 0; i < out.size(); ++i) {
    const int64_t theirs = boost_search().distance[i];
    if (out[i] != (theirs == std::numeric_limits<int64_t>::max() ? -1 : theirs))
      return state.SkipWithError("field differs");
  }
  for (auto _ : state) {
    finder.distance_field(std::span(&source, 1), kCosts, out);
    benchmark::DoNotOptimize(out.data());
  }
}

void field_boost(benchmark::State& state) {
  const VECTOR2D source = world().pairs[0].first;
  for (auto _ : state) {
    boost_search().field(source);
    benchmark::DoNotOptimize(boost_search().distance.data());
  }
}

void reach_ours(benchmark::State& state) {
  hexmap::PathFinder finder(world().map);
  std::vector<hexmap::Reach> out;
  for (auto _ : state)
    for (const auto& [a, b] : first_pairs(50))
      finder.reachable(a, state.range(0), kCosts, out);
  state.counters["cells"] = static_cast<double>(out.size());
}

// 100 pairs, split over `threads` threads that each have a PathFinder of their own.
void threads_ours(benchmark::State& state) {
  const auto threads = static_cast<size_t>(state.range(0));
  const std::vector<std::pair<VECTOR2D, VECTOR2D>> pairs = first_pairs(100);
  std::vector<hexmap::PathFinder> finders;
  for (size_t t = 0; t < threads; ++t)
    finders.emplace_back(world().map);
  const auto run_share = [&](size_t t) {
    hexmap::Route route;
    for (size_t i = t; i < pairs.size(); i += threads)
      finders[t].find_path(pairs[i].first, pairs[i].second, kCosts, route);
  };
  run_share(0);  // the buffers, once
  for (auto _ : state) {
    std::vector<std::thread> others;
    for (size_t t = 1; t < threads; ++t)
      others.emplace_back(run_share, t);
    run_share(0);
    for (std::thread& t : others)
      t.join();
  }
}

}  // namespace

BENCHMARK(route_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(route_boost)->Unit(benchmark::kMillisecond);
BENCHMARK(field_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(field_boost)->Unit(benchmark::kMillisecond);
BENCHMARK(reach_ours)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(threads_ours)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
