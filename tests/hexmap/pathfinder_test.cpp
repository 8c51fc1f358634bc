// PathFinder against the textbook Dijkstra on hundreds of random maps (grid coordinates): every
// cost of every query, every route step by step, and the same answers on two threads at once.

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "hexmap/pathfinder.hpp"
#include "tests/reference/dijkstra.hpp"
#include "tests/reference/test_maps.hpp"

namespace hexmap {
namespace {

struct RandomMap {
  std::mt19937 rng;
  int32_t between(int32_t lo, int32_t hi) { return std::uniform_int_distribution(lo, hi)(rng); }

  // Holes, one-sided walls, SOLID among 0, -1 and 1; a table with gaps, costs up to 1,000,000.
  TerrainCosts fill(HEXAGON_MAP& map, int32_t w, int32_t h) {
    reference::make_open_map(map, w, h);
    for (MAP_CELL& c : map.CELLS) {
      c.ID_GROUND = between(0, 9) == 0 ? 0 : between(1, 6);
      c.ID_WALL = between(0, 4) == 0 ? between(0, 63) : 0;
      c.SOLID = between(0, 7) == 0 ? between(-1, 1) : 0;
    }
    const int32_t dearest = between(0, 1) == 0 ? 9 : 1'000'000;
    TerrainCosts costs{std::vector<int32_t>(static_cast<size_t>(between(0, 8)))};
    for (int32_t& c : costs.by_ground)
      c = between(0, 5) == 0 ? between(-1, 0) : between(1, dearest);
    return costs;
  }
  VECTOR2D cell(const HEXAGON_MAP& m) {  // now and then just off the map
    return VECTOR2D(between(-1, m.MAP_WIDTH), between(-1, m.MAP_HEIGHT));
  }
};

// The route is the reference's, each step exists and the costs add up to its cost.
void expect_route(reference::Dijkstra& ref, VECTOR2D a, VECTOR2D b, bool found,
                  const Route& route) {
  const std::vector<VECTOR2D> expected = ref.route(a, b);
  ASSERT_EQ(found, !expected.empty()) << a << " to " << b;
  ASSERT_EQ(route.cells, expected) << a << " to " << b;
  int64_t sum = 0;
  for (size_t i = 1; i < route.cells.size(); ++i) {
    const VECTOR2D p = route.cells[i - 1];
    int32_t d = 0;
    while (d < 6 && VECTOR2D(HEXAGON_MAP::ADJACENT_X(p.X, p.Y, d),
                             HEXAGON_MAP::ADJACENT_Y(p.X, p.Y, d)) != route.cells[i])
      ++d;
    ASSERT_LT(d, 6) << "not a step: " << p << " to " << route.cells[i];
    sum += ref.step(p, route.cells[i], d);
  }
  EXPECT_EQ(route.cost, sum);
}

template <typename Costs>
void compare_queries(HEXAGON_MAP& map, PathFinder& finder, const Costs& costs,
                     reference::Dijkstra ref, RandomMap& r, int64_t& found) {
  for (int query = 0; query < 4; ++query) {
    const VECTOR2D a = r.cell(map);
    const VECTOR2D b = query == 0 ? a : r.cell(map);
    Route route;
    const bool ok = finder.find_path(a, b, costs, route);
    expect_route(ref, a, b, ok, route);
    found += route.cells.size();

    std::vector<VECTOR2D> sources(static_cast<size_t>(r.between(1, 5)));
    for (VECTOR2D& s : sources)
      s = r.cell(map);
    std::vector<int64_t> field;
    finder.distance_field(sources, costs, field);
    EXPECT_EQ(field, ref.costs_from(sources));

    const int64_t budget = r.between(0, 2) == 0 ? INT64_MAX : r.between(0, r.between(0, 3000000));
    std::vector<Reach> reach;
    finder.reachable(a, budget, costs, reach);
    std::vector<std::pair<VECTOR2D, int64_t>> expected;
    const std::vector<int64_t> from_a = ref.costs_from(std::span(&a, 1));
    for (size_t i = 0; i < from_a.size(); ++i)
      if (from_a[i] >= 0 && from_a[i] <= budget)
        expected.emplace_back(VECTOR2D(i % map.MAP_WIDTH, i / map.MAP_WIDTH), from_a[i]);
    ASSERT_EQ(reach.size(), expected.size()) << "from " << a << " within " << budget;
    for (size_t i = 0; i < reach.size(); ++i)
      EXPECT_TRUE(reach[i].cell == expected[i].first && reach[i].cost == expected[i].second);
  }
}

TEST(PathFinder, MatchesDijkstraOnRandomMaps) {
  HEXAGON_MAP map;  // re-created for each case: the finder's buffers must follow it
  PathFinder finder(map);
  RandomMap r{std::mt19937(17)};
  int64_t cells_on_routes = 0;
  for (int round = 0; round < 300; ++round) {
    const TerrainCosts costs = r.fill(map, r.between(1, 40), r.between(1, 40));
    compare_queries(map, finder, costs, {map, reference::table_step_cost(map, costs.by_ground)}, r,
                    cells_on_routes);
    // Steps that cost by where they go and where from, some barred.
    const auto by_step = [](VECTOR2D from, VECTOR2D to, int32_t d) {
      return (from.X * 7 + to.Y * 13 + d * 5) % 23 - 3;
    };
    compare_queries(map, finder, by_step, {map, by_step}, r, cells_on_routes);
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(cells_on_routes, 3000);  // real routes, not only refusals
}

TEST(PathFinder, TwoThreadsAnswerAsOne) {
  HEXAGON_MAP map;
  RandomMap r{std::mt19937(5)};
  const TerrainCosts costs = r.fill(map, 30, 30);
  const auto answers = [&] {
    PathFinder finder(map);
    std::vector<int64_t> out;
    std::vector<int64_t> field;
    Route route;
    for (int32_t i = 0; i < 200; ++i) {
      const VECTOR2D a(i % 30, i * 7 % 30);
      finder.find_path(a, VECTOR2D(i * 11 % 30, i / 7), costs, route);
      finder.distance_field(std::span(&a, 1), costs, field);
      out.push_back(route.cost + static_cast<int64_t>(route.cells.size()) + field[i * 3 % 900]);
    }
    return out;
  };
  const std::vector<int64_t> alone = answers();
  std::vector<int64_t> first, second;
  std::thread t1([&] { first = answers(); });
  std::thread t2([&] { second = answers(); });
  t1.join();
  t2.join();
  EXPECT_EQ(first, alone);
  EXPECT_EQ(second, alone);
}

TEST(PathFinder, RefusesSizeFieldsThatDisagreeWithTheCells) {
  HEXAGON_MAP map;
  reference::make_open_map(map, 4, 4);
  PathFinder finder(map);
  Route route;
  const TerrainCosts costs{{0, 1}};
  ASSERT_TRUE(finder.find_path(VECTOR2D(0, 0), VECTOR2D(3, 3), costs, route));
  map.MAP_WIDTH = 5;
  EXPECT_FALSE(finder.find_path(VECTOR2D(0, 0), VECTOR2D(3, 3), costs, route));
  EXPECT_TRUE(route.cells.empty());
  std::vector<int64_t> field{1};
  finder.distance_field(std::span(&route.cells.emplace_back(), 1), costs, field);
  EXPECT_TRUE(field.empty());
}

// A callable that prices a step differently each time cannot send the walk back astray.
TEST(PathFinder, AFickleCallableGivesARouteOrNone) {
  HEXAGON_MAP map;
  reference::make_open_map(map, 9, 9);
  PathFinder finder(map);
  int32_t calls = 0;
  Route route;
  for (int i = 0; i < 20; ++i) {
    if (finder.find_path(
            VECTOR2D(0, i % 9), VECTOR2D(8, 8),
            [&](VECTOR2D, VECTOR2D, int32_t) { return ++calls % 3 + 1; }, route))
      EXPECT_TRUE(route.cells.front() == VECTOR2D(0, i % 9) &&
                  route.cells.back() == VECTOR2D(8, 8));
    else
      EXPECT_TRUE(route.cells.empty());
  }
}

}  // namespace
}  // namespace hexmap
