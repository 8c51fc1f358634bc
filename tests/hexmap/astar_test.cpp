#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "log_capture.hpp"
#include "tests/reference/search_reference.hpp"
#include "tests/reference/test_maps.hpp"

namespace hexmap {
namespace {

using Dirs = std::vector<int32_t>;
using Lines = std::vector<std::string>;
using reference::count_list;
using reference::make_open_map;
using reference::path_directions;
using testing::LogCapture;

// The documented examples hold for the engine (both argument forms) and for the literal
// reference alike; the differential test relies on the latter.
struct Search {
  const char* name;
  std::function<void(HEXAGON_MAP&, int32_t, int32_t, int32_t, int32_t, int32_t)> compute;
};

struct Example {
  const char* what;
  int32_t width, height;
  std::function<void(HEXAGON_MAP&)> terrain;
  std::array<int32_t, 5> query;  // start x, y, end x, y, limit
  Dirs path;                     // directions of the traced path, empty for none
  int32_t expanded;              // cells closed
};

const auto wall_below_2_1 = [](HEXAGON_MAP& m) { m.SET_ID_WALL(2, 1, 1 << 3); };
const auto nothing = [](HEXAGON_MAP&) {};
constexpr int32_t kAny = -1;  // expansion count not documented

const Example kExamples[] = {
    {"the entered cell's wall blocks", 6, 6, wall_below_2_1, {2, 2, 2, 0, 65535}, {5, 0, 1}, kAny},
    {"the left cell's wall does not", 6, 6, wall_below_2_1, {2, 0, 2, 2, 65535}, {3, 3}, kAny},
    {"equal F: lower index first", 6, 6, nothing, {1, 1, 4, 1, 65535}, {1, 1, 2}, 4},
    {"end without ground",
     6,
     6,
     [](HEXAGON_MAP& m) { m.SET_ID_GROUND(5, 5, 0); },
     {0, 0, 5, 5, 65535},
     {},
     35},
    {"solid end",
     6,
     6,
     [](HEXAGON_MAP& m) { m.ASTAR_CELLSETSOLID(5, 5, -1); },
     {0, 0, 5, 5, 65535},
     {},
     35},
    {"end walled all round",
     6,
     6,
     [](HEXAGON_MAP& m) { m.SET_ID_WALL(5, 5, 0x3f); },
     {0, 0, 5, 5, 65535},
     {},
     35},
    {"start is end", 4, 4, nothing, {2, 2, 2, 2, 65535}, {}, 0},
    {"solid start left, SOLID 1 walked through",
     5,
     1,
     [](HEXAGON_MAP& m) {
       m.ASTAR_CELLSETSOLID(0, 0, -1);
       m.ASTAR_CELLSETSOLID(2, 0, 1);
     },
     {0, 0, 4, 0, 65535},
     {2, 1, 2, 1},
     4},
    {"SOLID -1 blocks",
     5,
     1,
     [](HEXAGON_MAP& m) { m.ASTAR_CELLSETSOLID(2, 0, -1); },
     {0, 0, 4, 0, 65535},
     {},
     2},
    {"limit 0, end adjacent", 6, 6, nothing, {2, 2, 2, 3, 0}, {3}, 1},
    {"limit -1, end two steps away", 6, 6, nothing, {2, 2, 2, 4, -1}, {}, 1},
    {"lowest limit", 6, 6, nothing, {2, 2, 2, 4, -2147483647 - 1}, {}, 1},
    {"limit hit after the end was opened", 6, 6, nothing, {0, 0, 2, 0, 2}, {2, 1}, 2},
    {"1 x 1", 1, 1, nothing, {0, 0, 0, 0, 65535}, {}, 0},
    {"one column", 1, 7, nothing, {0, 6, 0, 0, 65535}, {0, 0, 0, 0, 0, 0}, kAny},
    {"one row", 7, 1, nothing, {6, 0, 0, 0, 65535}, {4, 5, 4, 5, 4, 5}, kAny},
};

class AstarExamples : public ::testing::TestWithParam<Search> {};

TEST_P(AstarExamples, PathsExpansionsAndResults) {
  for (const Example& e : kExamples) {
    SCOPED_TRACE(e.what);
    HEXAGON_MAP map;
    make_open_map(map, e.width, e.height);
    e.terrain(map);
    const auto [sx, sy, ex, ey, limit] = e.query;
    GetParam().compute(map, sx, sy, ex, ey, limit);
    EXPECT_EQ(path_directions(map), e.path);
    EXPECT_EQ(map.ASTAR_PATH_FOUND, e.path.empty() ? 0 : -1);
    EXPECT_EQ(map.ASTAR_PATH_LENGTH, static_cast<int32_t>(e.path.size()));
    EXPECT_EQ(map.ASTAR_FIRST_DIRECTION, e.path.empty() ? -1 : e.path.front());
    if (e.expanded != kAny) {
      EXPECT_EQ(count_list(map, map.ASTAR_CLOSED), e.expanded);
    }
    const MAP_CELL end = map.GET_ID(ex, ey);
    EXPECT_EQ(end.ASTAR_PATH_DIRECTION, -1);
    EXPECT_NE(end.ASTAR_LIST, map.ASTAR_CLOSED);  // never expanded
  }
}

TEST_P(AstarExamples, AdjacentCellsInEveryDirection) {
  HEXAGON_MAP map;
  make_open_map(map, 5, 5);
  for (const int32_t x : {1, 2}) {  // an odd and an even column
    for (int32_t d = 0; d < 6; ++d) {
      GetParam().compute(map, x, 2, HEXAGON_MAP::ADJACENT_X(x, 2, d),
                         HEXAGON_MAP::ADJACENT_Y(x, 2, d), 65535);
      EXPECT_EQ(path_directions(map), Dirs{d}) << x;
      EXPECT_EQ(count_list(map, map.ASTAR_CLOSED), 1);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    EngineAndReference, AstarExamples,
    ::testing::Values(
        Search{"engine", [](HEXAGON_MAP& m, int32_t sx, int32_t sy, int32_t ex, int32_t ey,
                            int32_t limit) { m.ASTAR_COMPUTE(sx, sy, ex, ey, limit); }},
        Search{"engine_vector",
               [](HEXAGON_MAP& m, int32_t sx, int32_t sy, int32_t ex, int32_t ey, int32_t limit) {
                 m.ASTAR_COMPUTE(VECTOR2D(sx, sy), VECTOR2D(ex, ey), limit);
               }},
        Search{"reference",
               [](HEXAGON_MAP& m, int32_t sx, int32_t sy, int32_t ex, int32_t ey, int32_t limit) {
                 reference::astar_compute(m, sx, sy, ex, ey, limit);
               }}),
    [](const ::testing::TestParamInfo<Search>& info) { return std::string(info.param.name); });

TEST(AstarCells, SolidFlagsStartEndAndClearAll) {
  HEXAGON_MAP map;
  make_open_map(map, 4, 3);
  map.ASTAR_CELLSETSOLID(1, 1, 7);
  EXPECT_EQ(map.GET_ID(1, 1).SOLID, 7);
  map.ASTAR_CELLSETSOLID(VECTOR2D(2, 1), -1);
  map.ASTAR_CELLSETSOLID(4, 0, -1);  // off the map: nothing
  map.ASTAR_CELLSETSOLID(-1, 0, -1);
  map.ASTAR_CELLTOGGLESOLID(1, 1);  // non-zero -> 0
  EXPECT_EQ(map.GET_ID(1, 1).SOLID, 0);
  map.ASTAR_CELLTOGGLESOLID(VECTOR2D(1, 1));  // 0 -> -1
  EXPECT_EQ(map.GET_ID(1, 1).SOLID, -1);
  map.ASTAR_CELLTOGGLESOLID(0, 3);  // off the map
  int32_t solid = 0;
  for (const MAP_CELL& c : map.CELLS)
    solid += c.SOLID != 0 ? 1 : 0;
  EXPECT_EQ(solid, 2);

  map.ASTAR_CELLSETSTART(VECTOR2D(3, 2));
  map.ASTAR_CELLSETEND(1, 2);
  map.ASTAR_CELLSETEND(1, 3);  // off the map: kept
  EXPECT_EQ(map.ASTAR_START_INDEX, 11);
  EXPECT_EQ(map.ASTAR_START, VECTOR2D(3, 2));
  EXPECT_EQ(map.ASTAR_END_INDEX, 9);
  EXPECT_EQ(map.ASTAR_END, VECTOR2D(1, 2));
}

void set_list(HEXAGON_MAP& map, int32_t x, int32_t y, int32_t list) {
  MAP_CELL c = map.GET_ID(x, y);
  c.ASTAR_LIST = list;
  map.SET_ID(x, y, c);
}

// The public steps of the search, driven by hand as a caller may do.
TEST(AstarSteps, NeighbourChecksAndLowestF) {
  HEXAGON_MAP map;
  make_open_map(map, 5, 5);
  map.ASTAR_CELLSETEND(4, 2);
  map.ASTAR_COMPUTE(0);                  // expands the start (0, 0) alone
  EXPECT_EQ(map.ASTAR_GETLOWESTF(), 1);  // (1, 0): F 40 against 50 for (0, 1)
  set_list(map, 1, 0, map.ASTAR_CLOSED);
  map.ASTAR_CHECKNEIGHBOURS(1, 1, 0);
  const MAP_CELL opened = map.GET_ID(2, 1);  // direction 2 from the odd column 1
  EXPECT_EQ(opened.ASTAR_LIST, map.ASTAR_OPEN);
  EXPECT_EQ(opened.ASTAR_G, 20);
  EXPECT_EQ(opened.ASTAR_H, 10 * HEXAGON_MAP::DISTANCE(2, 1, 4, 2));
  EXPECT_EQ(opened.ASTAR_F, opened.ASTAR_G + opened.ASTAR_H);
  EXPECT_EQ(opened.ASTAR_PARENT, VECTOR2D(1, 0));
  EXPECT_EQ(opened.ASTAR_PARENT_INDEX, 1);
  EXPECT_EQ(opened.ASTAR_DIRECTION, 2);
  EXPECT_EQ(map.GET_ID(0, 1).ASTAR_G, 10);  // reached again at a higher cost: kept
  EXPECT_EQ(map.GET_ID(0, 1).ASTAR_PARENT, VECTOR2D(0, 0));

  // A cheaper way reopens a closed cell; an equal one does not.
  set_list(map, 2, 1, map.ASTAR_CLOSED);
  map.ASTAR_CHECKNEIGHBOUR(0, 2, 2, 1, 20);
  EXPECT_EQ(map.GET_ID(2, 1).ASTAR_LIST, map.ASTAR_CLOSED);
  map.ASTAR_CHECKNEIGHBOUR(0, 2, 2, 1, 5);
  EXPECT_EQ(map.GET_ID(2, 1).ASTAR_LIST, map.ASTAR_OPEN);
  EXPECT_EQ(map.GET_ID(2, 1).ASTAR_G, 5);
  EXPECT_EQ(map.GET_ID(2, 1).ASTAR_PARENT, VECTOR2D(0, 0));
}

// Every refusal: its log lines byte for byte, no path, and the cells as a search that refused
// leaves them (every A* field reset; with size fields that disagree, nothing touched).
enum class After { reset, searched, untouched, lines_only };
struct Refusal {
  const char* what;
  std::function<void(HEXAGON_MAP&)> act;  // on an open 6 x 6 map after a search with a path
  Lines lines;
  After after;  // the A* cells afterwards
};

void shrink(HEXAGON_MAP& m, int32_t w, int32_t h) {
  make_open_map(m, w, h);
  m.LOG_ON();
}

const std::string kSizes = ":   A* refused, the map size fields do not match the cells";
const std::string kFloodSizes = ":   FLOOD refused, the map size fields do not match the cells";
const std::string kNeighbour = ":   A* neighbour check refused, ";
const Refusal kRefusals[] = {
    {"stale start",
     [](HEXAGON_MAP& m) { shrink(m, 4, 4), m.ASTAR_COMPUTE(65535); },
     {":   A* start (5,5) is off the map, no search"},
     After::reset},
    {"stale end, index still on the grid",
     [](HEXAGON_MAP& m) {
       m.ASTAR_COMPUTE(0, 0, 5, 0, 65535);
       shrink(m, 3, 4), m.ASTAR_COMPUTE(65535);
     },
     {":   A* end (5,0) is off the map, no search"},
     After::reset},
    {"start claims (-1, 0): parents lead off the grid",
     [](HEXAGON_MAP& m) {
       MAP_CELL liar = m.GET_ID(2, 2);
       liar.POSITION = VECTOR2D(-1, 0);
       m.SET_ID(2, 2, liar);
       m.ASTAR_COMPUTE(2, 2, 0, 1, 65535);
     },
     {":   A* path trace is broken, no path"},
     After::searched},
    {"indistinct list marks",
     [](HEXAGON_MAP& m) {
       m.ASTAR_OPEN = m.ASTAR_NONE;
       m.ASTAR_COMPUTE(65535);
     },
     {":   A* search refused, the list marks are not distinct"},
     After::reset},
    {"neighbour checks off the map",
     [](HEXAGON_MAP& m) {
       shrink(m, 6, 6);  // nothing opened
       m.ASTAR_CHECKNEIGHBOUR(36, 0, 1, 1, 10);
       m.ASTAR_CHECKNEIGHBOUR(-1, 0, 1, 1, 10);
       m.ASTAR_CHECKNEIGHBOUR(0, 6, 1, 1, 10);
       m.ASTAR_CHECKNEIGHBOURS(36, 1, 1);
       m.ASTAR_END_INDEX = 42;
       m.ASTAR_CHECKNEIGHBOUR(0, 2, 1, 1, 10);
     },
     {kNeighbour + "cell 36 is off the map", kNeighbour + "cell -1 is off the map",
      kNeighbour + "direction 6", kNeighbour + "cell 36 is off the map",
      kNeighbour + "end cell 42 is off the map"},
     After::lines_only},
    {"size fields that disagree with the cells",
     [](HEXAGON_MAP& m) {
       m.MAP_WIDTH = 100;
       m.MAP_HEIGHT = 10;
       m.CELL_COUNT = 1000;
       m.ASTAR_COMPUTE(50, 5, 99, 9, 65535);
       m.ASTAR_CHECKNEIGHBOURS(0, 0, 0);
       m.ASTAR_CELLCLEARALL();
       m.ASTAR_CELLSETSOLID(99, 9, -1);
       m.FLOODMAP_COMPUTE(50, 5, 3);
       m.FLOODMAP_CHECK_NEIGHBOR(0, 2, 5);
     },
     {kSizes, kSizes, kSizes, kFloodSizes, kFloodSizes},
     After::untouched},
};

TEST(AstarBadInput, EveryRefusalLogsItsLineAndReportsNoPath) {
  for (const Refusal& r : kRefusals) {
    SCOPED_TRACE(r.what);
    HEXAGON_MAP map;
    make_open_map(map, 6, 6);
    map.ASTAR_COMPUTE(5, 5, 0, 0, 65535);
    map.FLOODMAP_COMPUTE(1, 1, 2);
    const std::vector<MAP_CELL> cells = map.CELLS;
    map.LOG_ON();
    LogCapture capture;
    r.act(map);
    Lines lines = capture.lines();
    if (lines.size() > r.lines.size()) lines.erase(lines.begin(), lines.end() - r.lines.size());
    EXPECT_EQ(lines, r.lines);
    if (r.after == After::lines_only) continue;
    if (r.after == After::untouched) {
      EXPECT_EQ(map.ASTAR_PATH_FOUND, -1);
      EXPECT_EQ(std::memcmp(map.CELLS.data(), cells.data(), cells.size() * sizeof(MAP_CELL)), 0);
      continue;
    }
    EXPECT_EQ(map.ASTAR_PATH_FOUND, 0);
    EXPECT_EQ(map.ASTAR_PATH_LENGTH, 0);
    EXPECT_EQ(map.ASTAR_FIRST_DIRECTION, -1);
    if (r.after != After::reset) continue;
    for (const MAP_CELL& c : map.CELLS) {
      EXPECT_EQ(c.ASTAR_LIST, map.ASTAR_NONE);
      EXPECT_EQ(c.ASTAR_PARENT_INDEX, -1);
      EXPECT_EQ(c.ASTAR_PATH_DIRECTION, -1);
    }
  }
}

}  // namespace
}  // namespace hexmap
