// What the differential test cannot show: that the engine and the literal reference it is held
// to follow the documented examples and quirks of the A* search and the flood, every refusal's
// log line, and the open heap on a full heap.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "hexmap/lowest_index_set.hpp"
#include "hexmap/open_heap.hpp"
#include "log_capture.hpp"
#include "tests/reference/search_reference.hpp"
#include "tests/reference/test_maps.hpp"

namespace hexmap {
namespace {

using Rows = std::vector<std::vector<int32_t>>;
using reference::make_open_map;

struct Example {
  const char* what;
  int32_t width, height;
  std::array<int32_t, 5> cell;   // x, y (grid), ID_GROUND, ID_WALL, SOLID of one cell
  std::array<int32_t, 5> query;  // start x, y, end x, y (grid), limit
  std::vector<int32_t> path;     // directions of the traced path, empty for none
  int32_t expanded;              // -1: not documented
};

constexpr std::array<int32_t, 5> kWallBelow21{2, 1, 1, 1 << 3, 0};
const Example kExamples[] = {
    {"entered cell's wall blocks", 6, 6, kWallBelow21, {2, 2, 2, 0, 65535}, {5, 0, 1}, -1},
    {"left cell's wall does not", 6, 6, kWallBelow21, {2, 0, 2, 2, 65535}, {3, 3}, -1},
    {"equal F: lower index first", 6, 6, {0, 0, 1, 0, 0}, {1, 1, 4, 1, 65535}, {1, 1, 2}, 4},
    {"end without ground", 6, 6, {5, 5, 0, 0, 0}, {0, 0, 5, 5, 65535}, {}, 35},
    {"start is end", 4, 4, {0, 0, 1, 0, 0}, {2, 2, 2, 2, 65535}, {}, 0},
    {"solid start is left", 5, 1, {0, 0, 1, 0, -1}, {0, 0, 4, 0, 65535}, {2, 1, 2, 1}, 4},
    {"SOLID 1 is walked through", 5, 1, {2, 0, 1, 0, 1}, {0, 0, 4, 0, 65535}, {2, 1, 2, 1}, 4},
    {"SOLID -1 blocks", 5, 1, {2, 0, 1, 0, -1}, {0, 0, 4, 0, 65535}, {}, 2},
    {"limit 0, end adjacent", 6, 6, {0, 0, 1, 0, 0}, {2, 2, 2, 3, 0}, {3}, 1},
};

TEST(Astar, DocumentedExamplesOnEngineAndReference) {
  for (const Example& e : kExamples) {
    for (const bool literal : {false, true}) {
      SCOPED_TRACE(std::string(e.what) + (literal ? " (reference)" : " (engine)"));
      HEXAGON_MAP map;
      make_open_map(map, e.width, e.height);
      const auto [x, y, ground, wall, solid] = e.cell;
      map.SET_ID_GROUND(x, y, ground);
      map.SET_ID_WALL(x, y, wall);
      map.ASTAR_CELLSETSOLID(x, y, solid);
      const auto [sx, sy, ex, ey, limit] = e.query;
      literal ? void(reference::Literal{map}.astar_compute(sx, sy, ex, ey, limit))
              : map.ASTAR_COMPUTE(sx, sy, ex, ey, limit);
      EXPECT_EQ(reference::path_directions(map), e.path);
      EXPECT_EQ(std::tuple(map.ASTAR_PATH_FOUND, map.ASTAR_PATH_LENGTH, map.ASTAR_FIRST_DIRECTION),
                std::tuple(e.path.empty() ? 0 : -1, static_cast<int32_t>(e.path.size()),
                           e.path.empty() ? -1 : e.path.front()));
      EXPECT_EQ(e.expanded == -1 ? -1 : reference::count_list(map, map.ASTAR_CLOSED), e.expanded);
    }
  }
}

void set_list(HEXAGON_MAP& map, int32_t x, int32_t y, int32_t list) {
  MAP_CELL c = map.GET_ID(x, y);
  c.ASTAR_LIST = list;
  map.SET_ID(x, y, c);
}

// The public steps of the search, driven by hand as a caller may do.
TEST(Astar, NeighbourChecksAndLowestF) {
  HEXAGON_MAP map;
  make_open_map(map, 5, 5);
  map.ASTAR_CELLSETEND(4, 2);
  map.ASTAR_COMPUTE(0);                  // expands the start (0, 0) alone
  EXPECT_EQ(map.ASTAR_GETLOWESTF(), 1);  // (1, 0): F 40 against 50 for (0, 1)
  set_list(map, 1, 0, map.ASTAR_CLOSED);
  map.ASTAR_CHECKNEIGHBOURS(1, 1, 0);
  const auto astar = [&](int32_t x, int32_t y) {
    const MAP_CELL c = map.GET_ID(x, y);
    return std::tuple(c.ASTAR_LIST, c.ASTAR_G, c.ASTAR_H, c.ASTAR_F, c.ASTAR_PARENT,
                      c.ASTAR_PARENT_INDEX, c.ASTAR_DIRECTION);
  };
  // Direction 2 from the odd column 1; (0, 1) is reached again at a higher cost and kept.
  EXPECT_EQ(astar(2, 1), std::tuple(1, 20, 20, 40, VECTOR2D(1, 0), 1, 2));
  EXPECT_EQ(astar(0, 1), std::tuple(1, 10, 40, 50, VECTOR2D(0, 0), 0, 3));
  // A cheaper way reopens a closed cell; an equal one does not.
  set_list(map, 2, 1, map.ASTAR_CLOSED);
  map.ASTAR_CHECKNEIGHBOUR(0, 2, 2, 1, 20);
  EXPECT_EQ(map.GET_ID(2, 1).ASTAR_LIST, map.ASTAR_CLOSED);
  map.ASTAR_CHECKNEIGHBOUR(0, 2, 2, 1, 5);
  EXPECT_EQ(astar(2, 1), std::tuple(1, 5, 20, 25, VECTOR2D(0, 0), 0, 2));
}

// FLOOD of the grid rows first to last - 1.
Rows flood_rows(const HEXAGON_MAP& map, int32_t last) {
  Rows rows(static_cast<size_t>(last));
  for (int32_t y = 0; y < last; ++y) {
    for (int32_t x = 0; x < map.MAP_WIDTH; ++x)
      rows[y].push_back(map.GET_ID(x, y).FLOOD);
  }
  return rows;
}

void flood(HEXAGON_MAP& map, bool literal, int32_t x, int32_t y, int32_t steps) {
  literal ? reference::Literal{map}.flood_compute(x, y, steps) : map.FLOODMAP_COMPUTE(x, y, steps);
}

TEST(Flood, DocumentedExamplesOnEngineAndReference) {
  for (const bool literal : {false, true}) {
    SCOPED_TRACE(literal ? "reference" : "engine");
    HEXAGON_MAP map;
    make_open_map(map, 6, 6);
    flood(map, literal, 2, 2, 2);
    EXPECT_EQ(flood_rows(map, 6), (Rows{{0, 1, 1, 1, 0, 0},
                                        {1, 2, 2, 2, 1, 0},
                                        {1, 2, 3, 2, 1, 0},
                                        {1, 1, 2, 1, 1, 0},
                                        {0, 0, 1, 0, 0, 0},
                                        {0, 0, 0, 0, 0, 0}}));
    // Any non-zero SOLID stops the flood, 1 too (the A* search walks through it).
    for (const int32_t solid : {-1, 1}) {
      map.ASTAR_CELLSETSOLID(2, 1, solid);
      flood(map, literal, 2, 2, 2);
      EXPECT_EQ(flood_rows(map, 2), (Rows{{0, 1, 0, 1, 0, 0}, {1, 2, 0, 2, 1, 0}}));
    }
    // From a corner, with (2, 1) still solid: the window is clamped to the map.
    flood(map, literal, 0, 0, 3);
    EXPECT_EQ(
        flood_rows(map, 4),
        (Rows{{4, 3, 2, 1, 0, 0}, {3, 2, 0, 0, 0, 0}, {2, 1, 1, 0, 0, 0}, {1, 0, 0, 0, 0, 0}}));
    // The origin is not tested: solid, without ground and walled all round, it floods out.
    // (3, 2) refuses the step down-right from (2, 2) by its wall on side 5.
    map.ASTAR_CELLSETSOLID(2, 2, -1);
    map.SET_ID_GROUND(2, 2, 0);
    map.SET_ID_WALL(2, 2, 0x3f);
    map.SET_ID_WALL(3, 2, 1 << 5);
    flood(map, literal, 2, 2, 1);
    EXPECT_EQ(
        flood_rows(map, 4),
        (Rows{{0, 0, 0, 0, 0, 0}, {0, 1, 0, 1, 0, 0}, {0, 1, 2, 0, 0, 0}, {0, 0, 1, 0, 0, 0}}));
  }
}

// What the random maps of the differential test never reach: a heap of open cells so full that
// it squeezes out stale entries, and a lowest-index set of more than two levels. Both must hand
// out the scan's choice.
class ScanOrder : public ::testing::Test {
 protected:
  int32_t between(int32_t lo, int32_t hi) { return std::uniform_int_distribution(lo, hi)(rng_); }
  std::mt19937 rng_{7};
};

TEST_F(ScanOrder, OpenHeapWithTheSmallestRoom) {
  constexpr int32_t kCells = 40;
  for (int round = 0; round < 200; ++round) {
    HEXAGON_MAP map;
    make_open_map(map, kCells, 1);
    std::vector<int32_t> openings(kCells);
    // One slot more than there are cells: the least the search guarantees.
    std::vector<uint64_t> storage(kCells + 1);
    detail::OpenHeap heap(storage.data(), storage.size(), map.CELLS.data(), map.ASTAR_OPEN);
    for (int op = 0; op < 600; ++op) {
      const int32_t expected = reference::Literal{map}.astar_get_lowest_f();
      if (op >= 400 || between(0, 3) == 0) {
        ASSERT_EQ(heap.pop(), expected) << "round " << round << ", op " << op;
        if (expected != -1) map.CELLS[static_cast<size_t>(expected)].ASTAR_LIST = map.ASTAR_CLOSED;
        continue;
      }
      // (Re)open a cell with an F it never had, as a search does; many equal F across cells.
      const int32_t i = between(0, kCells - 1);
      MAP_CELL& c = map.CELLS[static_cast<size_t>(i)];
      c.ASTAR_F = openings[static_cast<size_t>(i)]++ * 10 + between(-3, 3);
      c.ASTAR_LIST = map.ASTAR_OPEN;
      heap.push(c.ASTAR_F, i);
    }
  }
}

TEST_F(ScanOrder, LowestIndexSetOfFourLevels) {
  constexpr int32_t kCount = 1 << 22;  // three full levels and part of the top one
  detail::LowestIndexSet set;
  set.resize(kCount);
  std::set<uint32_t> expected;
  for (int round = 0; round < 20000; ++round) {
    // Members over every level; inserts and erases balance, so the set often runs empty.
    const auto i = static_cast<uint32_t>(between(0, kCount - 1) >> between(0, 20));
    if (between(0, 1) == 0) {
      set.insert(i);
      expected.insert(i);
    } else if (between(0, 1) == 0) {
      uint32_t lowest = 0;
      ASSERT_EQ(set.take_lowest(lowest), !expected.empty()) << "round " << round;
      if (!expected.empty()) {
        ASSERT_EQ(lowest, *expected.begin()) << "round " << round;
        expected.erase(expected.begin());
      }
    } else if (!expected.empty()) {
      set.erase(*expected.rbegin());
      expected.erase(std::prev(expected.end()));
    }
    ASSERT_EQ(set.empty(), expected.empty());
  }
  set.clear();
  EXPECT_TRUE(set.empty());
}

TEST(SearchBadInput, EveryRefusalLogsItsLine) {
  HEXAGON_MAP map;
  make_open_map(map, 6, 6);
  map.ASTAR_COMPUTE(5, 5, 5, 0, 65535);
  map.LOG_ON();
  testing::LogCapture capture;
  map.ASTAR_CHECKNEIGHBOUR(36, 0, 1, 1, 10);
  map.ASTAR_CHECKNEIGHBOURS(-1, 1, 1);
  map.ASTAR_CHECKNEIGHBOUR(0, 6, 1, 1, 10);
  map.FLOODMAP_CHECK_NEIGHBOR(36, 0, 5);
  map.FLOODMAP_CHECK_NEIGHBOR(7, -1, 5);
  map.ASTAR_END_INDEX = 42;
  map.ASTAR_CHECKNEIGHBOUR(0, 2, 1, 0, 10);
  map.ASTAR_CELLSETEND(0, 1);
  map.ASTAR_OPEN = map.ASTAR_NONE;
  map.ASTAR_COMPUTE(65535);
  map.ASTAR_OPEN = 1;
  MAP_CELL liar = map.GET_ID(2, 2);  // a start that claims to be at (-1, 0)
  liar.POSITION = VECTOR2D(-1, 0);
  map.SET_ID(2, 2, liar);
  map.ASTAR_COMPUTE(2, 2, 0, 1, 65535);
  map.ASTAR_COMPUTE(5, 5, 5, 0, 65535);
  make_open_map(map, 3, 4);  // silent; start (5, 5) and end (5, 0), index 5, are stale
  map.LOG_ON();
  map.ASTAR_COMPUTE(65535);
  map.ASTAR_CELLSETSTART(0, 0);
  map.ASTAR_COMPUTE(65535);
  map.MAP_WIDTH = 100;  // size fields that no longer match the cells
  map.ASTAR_COMPUTE(65535);
  map.ASTAR_CHECKNEIGHBOUR(0, 2, 1, 0, 10);
  map.ASTAR_CHECKNEIGHBOURS(0, 0, 0);
  map.ASTAR_CELLCLEARALL();
  map.FLOODMAP_COMPUTE(1, 1, 3);
  map.FLOODMAP_CHECK_NEIGHBOR(0, 2, 5);
  const std::string step = ":   A* neighbour check refused, ";
  const std::string sizes = ":   A* refused, the map size fields do not match the cells";
  const std::string flood_sizes = ":   FLOOD refused, the map size fields do not match the cells";
  EXPECT_EQ(
      capture.lines(),
      (std::vector<std::string>{
          step + "cell 36 is off the map", step + "cell -1 is off the map", step + "direction 6",
          ":   FLOOD step refused, cell 36 is off the map", ":   FLOOD step refused, direction -1",
          step + "end cell 42 is off the map",
          ":   A* search refused, the list marks are not distinct",
          ":   A* path trace is broken, no path", ":   A* start (5,5) is off the map, no search",
          ":   A* end (5,0) is off the map, no search", sizes, sizes, sizes, sizes, flood_sizes,
          flood_sizes}));
}

}  // namespace
}  // namespace hexmap
