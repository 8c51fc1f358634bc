// A* search: the engine's search against its heap search alone (the search before the buckets,
// now its fallback), the literal full-scan search, and Boost Graph's astar_search on a
// compressed_sparse_row_graph (Boost at its fastest) and on an adjacency_list, on the same maps
// with the same costs (10 per step) and estimate (10 x grid distance). Maps: open, 25% of cells
// without ground, and a serpentine of long two-sided walls; 64, 256 and 1024 cells square.
// Queries: corner to corner, 50 fixed random pairs, and one adjacent pair (the fixed cost of a
// search). Each reports the time per query set and per expansion (its own expansion count).
// Beside them, the floor: only the cell reads and writes that any exact search must make.

#include <benchmark/benchmark.h>

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/astar_search.hpp>
#include <boost/graph/compressed_sparse_row_graph.hpp>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/maps.hpp"
#include "hexmap/astar_heap.hpp"
#include "hexmap/directions.hpp"
#include "hexmap/hexagon_map.hpp"
#include "hexmap/search_buffers.hpp"
#include "tests/reference/search_reference.hpp"
#include "tests/reference/test_maps.hpp"

namespace {

using hexmap::HEXAGON_MAP;
using hexmap::MAP_CELL;
using hexmap::VECTOR2D;

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
      hexmap::bench_maps::make_holed_map(map, size, 0.25, 12345);
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

struct Edge {
  int32_t weight;
};
using ListGraph =
    boost::adjacency_list<boost::vecS, boost::vecS, boost::directedS, boost::no_property, Edge>;
using CsrGraph = boost::compressed_sparse_row_graph<boost::directedS, boost::no_property, Edge>;
using Vertex = size_t;

// Edges in source order, as the sorted-edges constructor of the CSR graph wants them.
std::vector<std::pair<Vertex, Vertex>> step_edges(const HEXAGON_MAP& map) {
  std::vector<std::pair<Vertex, Vertex>> edges;
  const int32_t w = map.MAP_WIDTH;
  for (int32_t y = 0; y < map.MAP_HEIGHT; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      for (int32_t d = 0; d < 6; ++d) {
        const int32_t nx = HEXAGON_MAP::ADJACENT_X(x, y, d);
        const int32_t ny = HEXAGON_MAP::ADJACENT_Y(x, y, d);
        if (map.INSIDE(nx, ny) == 0) continue;
        const MAP_CELL to = map.GET_ID(nx, ny);
        if (to.ID_GROUND == 0 || to.SOLID == -1 || (to.ID_WALL >> hexmap::opposite(d) & 1) != 0) {
          continue;
        }
        edges.emplace_back(static_cast<Vertex>(y * w + x), static_cast<Vertex>(ny * w + nx));
      }
    }
  }
  return edges;
}

template <typename Graph>
Graph make_graph(const HEXAGON_MAP& map);

template <>
ListGraph make_graph<ListGraph>(const HEXAGON_MAP& map) {
  ListGraph g(static_cast<size_t>(map.CELL_COUNT));
  for (const auto& [from, to] : step_edges(map))
    boost::add_edge(from, to, Edge{10}, g);
  return g;
}

template <>
CsrGraph make_graph<CsrGraph>(const HEXAGON_MAP& map) {
  const auto edges = step_edges(map);
  const std::vector<Edge> weights(edges.size(), Edge{10});
  return CsrGraph(boost::edges_are_sorted, edges.begin(), edges.end(), weights.begin(),
                  static_cast<size_t>(map.CELL_COUNT));
}

template <typename Graph>
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
  template <typename Graph>
  void examine_vertex(Vertex u, const Graph& /*g*/) {
    ++*examined_;
    if (u == goal_) throw GoalReached{};
  }

 private:
  Vertex goal_;
  int64_t* examined_;
};

template <typename Graph>
struct BoostSearch {
  explicit BoostSearch(const HEXAGON_MAP& map)
      : width(map.MAP_WIDTH),
        graph(make_graph<Graph>(map)),
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
          graph, start, DistanceEstimate<Graph>(width, goal),
          boost::weight_map(boost::get(&Edge::weight, graph))
              .predecessor_map(boost::make_iterator_property_map(predecessor.begin(), index))
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

// The heap search on its own, with its own buffers: the engine's search before the buckets.
struct HeapSearch {
  explicit HeapSearch(HEXAGON_MAP& m) : map(m) {
    hexmap::detail::size_for_grid(scratch, map.CELL_COUNT);
  }
  void run(const Query& q) {
    map.ASTAR_CELLSETSTART(q.sx, q.sy);
    map.ASTAR_CELLSETEND(q.ex, q.ey);
    hexmap::detail::reset_astar(map, scratch);
    map.ASTAR_PATH_LENGTH = 0;
    map.ASTAR_PATH_FOUND = 0;
    map.ASTAR_FIRST_DIRECTION = -1;
    hexmap::detail::run_heap_search(map, scratch,
                                    {map.ASTAR_START_INDEX, map.ASTAR_END_INDEX, kNoLimit,
                                     map.ASTAR_NONE, map.ASTAR_OPEN, map.ASTAR_CLOSED});
    hexmap::detail::trace_path(map, map.ASTAR_START_INDEX, map.ASTAR_END_INDEX);
  }
  HEXAGON_MAP& map;
  hexmap::detail::SearchScratch scratch;
};

// ---- Shared maps, built once per terrain and size ----

struct Fixture {
  HEXAGON_MAP engine;    // searched by the engine
  HEXAGON_MAP heap_map;  // searched by the heap search alone
  HEXAGON_MAP literal;   // searched by the literal algorithm
  HEXAGON_MAP floor;     // searched for the cells the floor pass touches
  std::unique_ptr<HeapSearch> heap;
  std::unique_ptr<BoostSearch<CsrGraph>> boost_csr;
  std::unique_ptr<BoostSearch<ListGraph>> boost_list;
};

Fixture& fixture(Terrain terrain, int32_t size) {
  static std::map<std::pair<Terrain, int32_t>, std::unique_ptr<Fixture>> all;
  auto& slot = all[{terrain, size}];
  if (!slot) {
    slot = std::make_unique<Fixture>();
    build(slot->engine, terrain, size);
    build(slot->heap_map, terrain, size);
    if (size <= 256) build(slot->literal, terrain, size);
    build(slot->floor, terrain, size);
    slot->heap = std::make_unique<HeapSearch>(slot->heap_map);
    slot->boost_csr = std::make_unique<BoostSearch<CsrGraph>>(slot->engine);
    slot->boost_list = std::make_unique<BoostSearch<ListGraph>>(slot->engine);
  }
  return *slot;
}

// Time per expansion: the count of one pass over the queries, inverted against the time.
void count_expansions(benchmark::State& state, int64_t expanded) {
  state.counters["expansions"] = static_cast<double>(expanded);
  state.counters["per_expansion"] = benchmark::Counter(
      static_cast<double>(expanded),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Runs `search` over the queries once untimed, checking each path's cost against Boost's.
template <typename Search>
bool cross_check(benchmark::State& state, Fixture& f, HEXAGON_MAP& map,
                 const std::vector<Query>& queries, Search search, int64_t* expanded) {
  for (const Query& q : queries) {
    search(q);
    *expanded += hexmap::reference::count_list(map, map.ASTAR_CLOSED);
    int64_t ignored = 0;
    const int32_t best = f.boost_csr->run(q, &ignored);
    const int32_t mine = map.ASTAR_PATH_FOUND != 0 ? 10 * map.ASTAR_PATH_LENGTH : -1;
    if (best != mine) {
      state.SkipWithError("path cost differs from Boost's");
      return false;
    }
  }
  return true;
}

void engine_search(benchmark::State& state, Terrain terrain, int32_t size, std::string kind) {
  Fixture& f = fixture(terrain, size);
  const std::vector<Query> queries = make_queries(f.engine, kind);
  const auto search = [&](const Query& q) {
    f.engine.ASTAR_COMPUTE(q.sx, q.sy, q.ex, q.ey, kNoLimit);
  };
  int64_t expanded = 0;
  if (!cross_check(state, f, f.engine, queries, search, &expanded)) return;
  for (auto _ : state) {
    for (const Query& q : queries) {
      search(q);
      benchmark::DoNotOptimize(f.engine.ASTAR_PATH_LENGTH);
    }
  }
  count_expansions(state, expanded);
}

void heap_search(benchmark::State& state, Terrain terrain, int32_t size, std::string kind) {
  Fixture& f = fixture(terrain, size);
  const std::vector<Query> queries = make_queries(f.heap_map, kind);
  const auto search = [&](const Query& q) { f.heap->run(q); };
  int64_t expanded = 0;
  if (!cross_check(state, f, f.heap_map, queries, search, &expanded)) return;
  for (auto _ : state) {
    for (const Query& q : queries) {
      search(q);
      benchmark::DoNotOptimize(f.heap_map.ASTAR_PATH_LENGTH);
    }
  }
  count_expansions(state, expanded);
}

void literal_search(benchmark::State& state, Terrain terrain, int32_t size, std::string kind) {
  Fixture& f = fixture(terrain, size);
  const std::vector<Query> queries = make_queries(f.literal, kind);
  int64_t expanded = 0;
  for (auto _ : state) {
    expanded = 0;
    for (const Query& q : queries) {
      expanded +=
          hexmap::reference::Literal{f.literal}.astar_compute(q.sx, q.sy, q.ex, q.ey, kNoLimit);
    }
  }
  count_expansions(state, expanded);
}

// The cells an exact search of one query must touch, in index order (the kindest order for
// memory): each cell it lists gets its 36 A* bytes, each cell it closes reads its six neighbours.
struct FloorCell {
  int32_t index;
  bool closed;
};

std::vector<FloorCell> listed_cells(const HEXAGON_MAP& map) {
  std::vector<FloorCell> cells;
  for (int32_t i = 0; i < map.CELL_COUNT; ++i) {
    const int32_t list = map.CELLS[static_cast<size_t>(i)].ASTAR_LIST;
    if (list != map.ASTAR_NONE) cells.push_back({i, list == map.ASTAR_CLOSED});
  }
  return cells;
}

// The reads and writes alone, without choosing, testing or ordering anything, into a copy of
// the map's cells (a map's A* fields belong to its search). Returns the sum of the list marks
// read, so that the reads are kept.
int32_t floor_pass(const HEXAGON_MAP& map, std::vector<MAP_CELL>& cell_copy,
                   const std::vector<FloorCell>& listed) {
  namespace geo = hexmap::detail;
  MAP_CELL* const cells = cell_copy.data();
  const int32_t width = map.MAP_WIDTH;
  const auto uw = static_cast<uint32_t>(width);
  const auto uh = static_cast<uint32_t>(map.MAP_HEIGHT);
  const int32_t closed = map.ASTAR_CLOSED;
  int32_t seen = 0;
  for (const auto& [i, is_closed] : listed) {
    MAP_CELL& c = cells[i];
    if (is_closed) {
      const VECTOR2D p = c.POSITION;
      for (int32_t d = 0; d < geo::kDirectionCount; ++d) {
        const int32_t nx = geo::adjacent_x(p.X, d);
        const int32_t ny = geo::adjacent_y(p.X, p.Y, d);
        if (static_cast<uint32_t>(nx) < uw && static_cast<uint32_t>(ny) < uh) {
          seen += cells[ny * width + nx].ASTAR_LIST;
        }
      }
    }
    c.ASTAR_PARENT = VECTOR2D(i, i);
    c.ASTAR_PARENT_INDEX = i;
    c.ASTAR_DIRECTION = i & 7;
    c.ASTAR_LIST = closed;
    c.ASTAR_PATH_DIRECTION = -1;
    c.ASTAR_F = i;
    c.ASTAR_G = i;
    c.ASTAR_H = i;
  }
  return seen;
}

void floor_traffic(benchmark::State& state, Terrain terrain, int32_t size, std::string kind) {
  Fixture& f = fixture(terrain, size);
  const std::vector<Query> queries = make_queries(f.floor, kind);
  std::vector<std::vector<FloorCell>> floors;
  int64_t expanded = 0;
  for (const Query& q : queries) {
    f.floor.ASTAR_COMPUTE(q.sx, q.sy, q.ex, q.ey, kNoLimit);
    expanded += hexmap::reference::count_list(f.floor, f.floor.ASTAR_CLOSED);
    floors.push_back(listed_cells(f.floor));
  }
  std::vector<MAP_CELL> cells = f.floor.CELLS;
  for (auto _ : state) {
    for (const auto& q : floors)
      benchmark::DoNotOptimize(floor_pass(f.floor, cells, q));
  }
  count_expansions(state, expanded);
}

template <typename Graph>
void boost_search(benchmark::State& state, std::unique_ptr<BoostSearch<Graph>> Fixture::*which,
                  Terrain terrain, int32_t size, std::string kind) {
  Fixture& f = fixture(terrain, size);
  const std::vector<Query> queries = make_queries(f.engine, kind);
  int64_t examined = 0;
  for (auto _ : state) {
    examined = 0;
    for (const Query& q : queries)
      benchmark::DoNotOptimize((f.*which)->run(q, &examined));
  }
  count_expansions(state, examined);
}

void register_all() {
  for (const int32_t size : {64, 256, 1024}) {
    for (const Terrain terrain : {Terrain::open, Terrain::holes, Terrain::maze}) {
      for (const char* kind : {"corner", "pairs50", "adjacent"}) {
        const std::string name =
            std::string(terrain_name(terrain)) + "/" + std::to_string(size) + "/" + kind;
        const std::string k(kind);
        benchmark::RegisterBenchmark(("astar_ours/" + name).c_str(), engine_search, terrain, size,
                                     k)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("astar_heap/" + name).c_str(), heap_search, terrain, size, k)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("astar_boost_csr/" + name).c_str(), boost_search<CsrGraph>,
                                     &Fixture::boost_csr, terrain, size, k)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("astar_boost_list/" + name).c_str(), boost_search<ListGraph>,
                                     &Fixture::boost_list, terrain, size, k)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("astar_floor/" + name).c_str(), floor_traffic, terrain, size,
                                     k)
            ->Unit(benchmark::kMicrosecond);
        // The full scan costs expansions x cells: only where a run takes seconds, not hours.
        if (size == 64 || (size == 256 && k != "pairs50")) {
          benchmark::RegisterBenchmark(("astar_fullscan/" + name).c_str(), literal_search, terrain,
                                       size, k)
              ->Unit(benchmark::kMicrosecond);
        }
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
