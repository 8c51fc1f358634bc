// A* search: the engine's heap search against the literal full-scan search and against Boost
// Graph's astar_search, on the same maps with the same costs (10 per step) and estimate
// (10 x grid distance). Maps: open, 25% of cells without ground, and a serpentine of long
// two-sided walls; 64, 256 and 1024 cells square. Queries: corner to corner, 50 fixed random
// pairs, and one adjacent pair (the fixed cost of a search).

#include <benchmark/benchmark.h>

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/astar_search.hpp>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "tests/reference/search_reference.hpp"
#include "tests/reference/test_maps.hpp"

namespace {

using hexmap::HEXAGON_MAP;
using hexmap::MAP_CELL;

// No expansion limit: every search runs to the end, as Boost's does.
constexpr int32_t kNoLimit = std::numeric_limits<int32_t>::max();

enum class Terrain { open, holes, maze };
const char* terrain_name(Terrain t) {
  return t == Terrain::open ? "open" : t == Terrain::holes ? "holes" : "maze";
}

void build(HEXAGON_MAP& map, Terrain terrain, int32_t size) {
  switch (terrain) {
    case Terrain::open:
      hexmap::reference::make_open_map(map, size, size);
      break;
    case Terrain::holes:
      hexmap::reference::make_holed_map(map, size, 0.25, 12345);
      // Corners with ground and a way out, so that corner to corner has a path.
      for (const auto& [x, y] : {std::pair{0, 0}, std::pair{size - 1, size - 1}}) {
        map.SET_ID_GROUND(x, y, 1);
        for (int32_t d = 0; d < 6; ++d) {
          map.SET_ID_GROUND(HEXAGON_MAP::ADJACENT_X(x, y, d), HEXAGON_MAP::ADJACENT_Y(x, y, d), 1);
        }
      }
      break;
    case Terrain::maze:
      hexmap::reference::make_maze_map(map, size);
      break;
  }
}

struct Query {
  int32_t sx, sy, ex, ey;
};

bool has_ground(const HEXAGON_MAP& map, int32_t x, int32_t y) {
  return map.INSIDE(x, y) != 0 && map.GET_ID_GROUND(x, y) != 0;
}

std::vector<Query> make_queries(const HEXAGON_MAP& map, const std::string& kind) {
  const int32_t n = map.MAP_WIDTH;
  if (kind == "corner") return {{0, 0, n - 1, n - 1}};
  if (kind == "adjacent") {
    for (int32_t x = n / 2;; ++x) {  // the first cell from the centre with a free neighbour
      const int32_t ex = HEXAGON_MAP::ADJACENT_X(x, n / 2, 2);
      const int32_t ey = HEXAGON_MAP::ADJACENT_Y(x, n / 2, 2);
      if (has_ground(map, x, n / 2) && has_ground(map, ex, ey)) return {{x, n / 2, ex, ey}};
    }
  }
  std::vector<Query> pairs;
  std::mt19937 rng(2024);
  std::uniform_int_distribution<int32_t> coord(0, n - 1);
  while (pairs.size() < 50) {
    const Query q{coord(rng), coord(rng), coord(rng), coord(rng)};
    if (has_ground(map, q.sx, q.sy) && has_ground(map, q.ex, q.ey)) pairs.push_back(q);
  }
  return pairs;
}

// ---- Boost Graph: one vertex per cell, an edge wherever the engine allows a step ----

using Graph = boost::adjacency_list<boost::vecS, boost::vecS, boost::directedS, boost::no_property,
                                    boost::property<boost::edge_weight_t, int32_t>>;
using Vertex = boost::graph_traits<Graph>::vertex_descriptor;

Graph make_graph(const HEXAGON_MAP& map) {
  const int32_t w = map.MAP_WIDTH;
  Graph g(static_cast<size_t>(map.CELL_COUNT));
  for (int32_t y = 0; y < map.MAP_HEIGHT; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      for (int32_t d = 0; d < 6; ++d) {
        const int32_t nx = HEXAGON_MAP::ADJACENT_X(x, y, d);
        const int32_t ny = HEXAGON_MAP::ADJACENT_Y(x, y, d);
        if (map.INSIDE(nx, ny) == 0) continue;
        const MAP_CELL to = map.GET_ID(nx, ny);
        if (to.ID_GROUND == 0 || to.SOLID == -1 || (to.ID_WALL >> ((d + 3) % 6) & 1) != 0) {
          continue;
        }
        boost::add_edge(static_cast<Vertex>(y * w + x), static_cast<Vertex>(ny * w + nx), 10, g);
      }
    }
  }
  return g;
}

class DistanceEstimate : public boost::astar_heuristic<Graph, int32_t> {
 public:
  DistanceEstimate(int32_t width, Vertex goal) : width_(width), goal_(goal) {}
  int32_t operator()(Vertex v) const {
    const auto x = static_cast<int32_t>(v % width_);
    const auto y = static_cast<int32_t>(v / width_);
    return 10 * HEXAGON_MAP::DISTANCE(x, y, static_cast<int32_t>(goal_ % width_),
                                      static_cast<int32_t>(goal_ / width_));
  }

 private:
  size_t width_;
  Vertex goal_;
};

struct GoalReached {};

class StopAtGoal : public boost::default_astar_visitor {
 public:
  StopAtGoal(Vertex goal, int64_t* examined) : goal_(goal), examined_(examined) {}
  void examine_vertex(Vertex u, const Graph& /*g*/) {
    ++*examined_;
    if (u == goal_) throw GoalReached{};
  }

 private:
  Vertex goal_;
  int64_t* examined_;
};

struct BoostSearch {
  explicit BoostSearch(const HEXAGON_MAP& map)
      : width(map.MAP_WIDTH),
        graph(make_graph(map)),
        predecessor(static_cast<size_t>(map.CELL_COUNT)),
        distance(static_cast<size_t>(map.CELL_COUNT)),
        cost(static_cast<size_t>(map.CELL_COUNT)),
        color(static_cast<size_t>(map.CELL_COUNT)) {}

  // Cost of the shortest path, -1 when there is none.
  int32_t run(const Query& q, int64_t* examined) {
    const auto start = static_cast<Vertex>(q.sy * width + q.sx);
    const auto goal = static_cast<Vertex>(q.ey * width + q.ex);
    const auto index = boost::get(boost::vertex_index, graph);
    try {
      boost::astar_search(
          graph, start, DistanceEstimate(width, goal),
          boost::predecessor_map(boost::make_iterator_property_map(predecessor.begin(), index))
              .distance_map(boost::make_iterator_property_map(distance.begin(), index))
              .rank_map(boost::make_iterator_property_map(cost.begin(), index))
              .color_map(boost::make_iterator_property_map(color.begin(), index))
              .visitor(StopAtGoal(goal, examined)));
    } catch (const GoalReached&) {
      return distance[goal];
    }
    return -1;
  }

  int32_t width;
  Graph graph;
  std::vector<Vertex> predecessor;
  std::vector<int32_t> distance;
  std::vector<int32_t> cost;
  std::vector<boost::default_color_type> color;
};

// ---- Shared maps, built once per terrain and size ----

struct Fixture {
  HEXAGON_MAP engine;   // searched by the engine
  HEXAGON_MAP literal;  // searched by the literal algorithm
  std::unique_ptr<BoostSearch> boost_search;
};

Fixture& fixture(Terrain terrain, int32_t size) {
  static std::map<std::pair<Terrain, int32_t>, std::unique_ptr<Fixture>> all;
  auto& slot = all[{terrain, size}];
  if (!slot) {
    slot = std::make_unique<Fixture>();
    build(slot->engine, terrain, size);
    if (size <= 256) build(slot->literal, terrain, size);
    slot->boost_search = std::make_unique<BoostSearch>(slot->engine);
  }
  return *slot;
}

void engine_search(benchmark::State& state, Terrain terrain, int32_t size, std::string kind) {
  Fixture& f = fixture(terrain, size);
  const std::vector<Query> queries = make_queries(f.engine, kind);
  int64_t expanded = 0;
  int64_t found = 0;
  for (const Query& q : queries) {  // once untimed, for the counters and a cross-check
    f.engine.ASTAR_COMPUTE(q.sx, q.sy, q.ex, q.ey, kNoLimit);
    expanded += hexmap::reference::count_list(f.engine, f.engine.ASTAR_CLOSED);
    found += f.engine.ASTAR_PATH_FOUND != 0 ? 1 : 0;
    int64_t ignored = 0;
    const int32_t best = f.boost_search->run(q, &ignored);
    const int32_t mine = f.engine.ASTAR_PATH_FOUND != 0 ? 10 * f.engine.ASTAR_PATH_LENGTH : -1;
    if (best != mine) {
      state.SkipWithError("path cost differs from Boost's");
      return;
    }
  }
  for (auto _ : state) {
    for (const Query& q : queries) {
      f.engine.ASTAR_COMPUTE(q.sx, q.sy, q.ex, q.ey, kNoLimit);
      benchmark::DoNotOptimize(f.engine.ASTAR_PATH_LENGTH);
    }
  }
  state.counters["expansions"] = static_cast<double>(expanded);
  state.counters["paths"] = static_cast<double>(found);
}

void literal_search(benchmark::State& state, Terrain terrain, int32_t size, std::string kind) {
  Fixture& f = fixture(terrain, size);
  const std::vector<Query> queries = make_queries(f.literal, kind);
  int64_t expanded = 0;
  for (auto _ : state) {
    expanded = 0;
    for (const Query& q : queries) {
      expanded += hexmap::reference::astar_compute(f.literal, q.sx, q.sy, q.ex, q.ey, kNoLimit);
    }
  }
  state.counters["expansions"] = static_cast<double>(expanded);
}

void boost_search(benchmark::State& state, Terrain terrain, int32_t size, std::string kind) {
  Fixture& f = fixture(terrain, size);
  const std::vector<Query> queries = make_queries(f.engine, kind);
  int64_t examined = 0;
  for (auto _ : state) {
    examined = 0;
    for (const Query& q : queries)
      benchmark::DoNotOptimize(f.boost_search->run(q, &examined));
  }
  state.counters["expansions"] = static_cast<double>(examined);
}

void register_all() {
  for (const int32_t size : {64, 256, 1024}) {
    for (const Terrain terrain : {Terrain::open, Terrain::holes, Terrain::maze}) {
      for (const char* kind : {"corner", "pairs50", "adjacent"}) {
        const std::string name =
            std::string(terrain_name(terrain)) + "/" + std::to_string(size) + "/" + kind;
        benchmark::RegisterBenchmark(("astar_heap/" + name).c_str(), engine_search, terrain, size,
                                     std::string(kind))
            ->Unit(benchmark::kMicrosecond);
        // The full scan costs expansions x cells: only where a run takes seconds, not hours.
        const bool literal_ok = size == 64 || (size == 256 && std::string(kind) != "pairs50");
        if (literal_ok) {
          benchmark::RegisterBenchmark(("astar_fullscan/" + name).c_str(), literal_search, terrain,
                                       size, std::string(kind))
              ->Unit(benchmark::kMicrosecond);
        }
        benchmark::RegisterBenchmark(("astar_boost/" + name).c_str(), boost_search, terrain, size,
                                     std::string(kind))
            ->Unit(benchmark::kMicrosecond);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
