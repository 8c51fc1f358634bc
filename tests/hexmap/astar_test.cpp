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

// The documented examples hold for the engine and for the literal reference alike; the
// differential test relies on the latter.
struct Search {
  const char* name;
  std::function<void(HEXAGON_MAP&, int32_t, int32_t, int32_t, int32_t, int32_t)> compute;
};

class AstarExamples : public ::testing::TestWithParam<Search> {
 protected:
  void compute(int32_t sx, int32_t sy, int32_t ex, int32_t ey, int32_t limit = 65535) {
    GetParam().compute(map, sx, sy, ex, ey, limit);
  }
  int32_t expanded() const { return count_list(map, map.ASTAR_CLOSED); }
  void expect_no_path() const {
    EXPECT_EQ(map.ASTAR_PATH_FOUND, 0);
    EXPECT_EQ(map.ASTAR_PATH_LENGTH, 0);
    EXPECT_EQ(map.ASTAR_FIRST_DIRECTION, -1);
  }

  HEXAGON_MAP map;
};

TEST_P(AstarExamples, WallOfTheEnteredCellBlocksOnlyThatSide) {
  make_open_map(map, 6, 6);
  map.SET_ID_WALL(2, 1, 1 << 3);
  compute(2, 2, 2, 0);
  EXPECT_EQ(map.ASTAR_PATH_FOUND, -1);
  EXPECT_EQ(map.ASTAR_PATH_LENGTH, 3);
  EXPECT_EQ(map.ASTAR_FIRST_DIRECTION, 5);
  EXPECT_EQ(path_directions(map), (Dirs{5, 0, 1}));

  // Leaving (2, 1) across its walled side is allowed.
  compute(2, 0, 2, 2);
  EXPECT_EQ(map.ASTAR_PATH_LENGTH, 2);
  EXPECT_EQ(path_directions(map), (Dirs{3, 3}));
  EXPECT_EQ(map.GET_ID(2, 2).ASTAR_PATH_DIRECTION, -1);  // the end cell
}

TEST_P(AstarExamples, EqualCostsGoToTheLowerIndex) {
  make_open_map(map, 6, 6);
  compute(1, 1, 4, 1);
  EXPECT_EQ(expanded(), 4);
  EXPECT_EQ(path_directions(map), (Dirs{1, 1, 2}));
  EXPECT_EQ(map.GET_ID(2, 1).ASTAR_PATH_DIRECTION, 1);
  EXPECT_EQ(map.GET_ID(3, 0).ASTAR_PATH_DIRECTION, 2);
  EXPECT_EQ(map.GET_ID(3, 1).ASTAR_PATH_DIRECTION, -1);
  // The end was opened from (3, 0) and never closed.
  const MAP_CELL end = map.GET_ID(4, 1);
  EXPECT_EQ(end.ASTAR_LIST, map.ASTAR_OPEN);
  EXPECT_EQ(end.ASTAR_PARENT, VECTOR2D(3, 0));
  EXPECT_EQ(end.ASTAR_PARENT_INDEX, 3);
  EXPECT_EQ(end.ASTAR_G, 30);
  EXPECT_EQ(end.ASTAR_H, 0);
}

TEST_P(AstarExamples, UnreachableEndExpandsEverythingElse) {
  make_open_map(map, 6, 6);
  map.SET_ID_GROUND(5, 5, 0);
  compute(0, 0, 5, 5);
  EXPECT_EQ(expanded(), 35);
  expect_no_path();
  EXPECT_EQ(map.GET_ID(5, 5).ASTAR_LIST, map.ASTAR_NONE);
  EXPECT_EQ(map.GET_ID(5, 5).ASTAR_DIRECTION, -1);

  // Solid (-1) or walled on every side it can be entered from: the same.
  map.SET_ID_GROUND(5, 5, 1);
  map.ASTAR_CELLSETSOLID(5, 5, -1);
  compute(0, 0, 5, 5);
  EXPECT_EQ(expanded(), 35);
  expect_no_path();
  map.ASTAR_CELLSETSOLID(5, 5, 0);
  map.SET_ID_WALL(5, 5, 0x3f);
  compute(0, 0, 5, 5);
  EXPECT_EQ(expanded(), 35);
  expect_no_path();
}

TEST_P(AstarExamples, StartEqualsEnd) {
  make_open_map(map, 4, 4);
  compute(2, 2, 2, 2);
  expect_no_path();
  EXPECT_EQ(expanded(), 0);
  EXPECT_EQ(count_list(map, map.ASTAR_OPEN), 1);
  EXPECT_EQ(map.GET_ID(2, 2).ASTAR_LIST, map.ASTAR_OPEN);
}

TEST_P(AstarExamples, AdjacentCellsInEveryDirection) {
  make_open_map(map, 5, 5);
  for (const int32_t x : {1, 2}) {  // an odd and an even column
    for (int32_t d = 0; d < 6; ++d) {
      const int32_t ex = HEXAGON_MAP::ADJACENT_X(x, 2, d);
      const int32_t ey = HEXAGON_MAP::ADJACENT_Y(x, 2, d);
      compute(x, 2, ex, ey);
      EXPECT_EQ(map.ASTAR_PATH_LENGTH, 1) << x << " " << d;
      EXPECT_EQ(map.ASTAR_FIRST_DIRECTION, d);
      EXPECT_EQ(map.GET_ID(x, 2).ASTAR_PATH_DIRECTION, d);
      EXPECT_EQ(expanded(), 1);
    }
  }
}

TEST_P(AstarExamples, SolidStartIsLeftAndOnlyMinusOneBlocks) {
  make_open_map(map, 5, 1);
  map.ASTAR_CELLSETSOLID(0, 0, -1);
  map.ASTAR_CELLSETSOLID(2, 0, 1);  // not -1: walked through
  compute(0, 0, 4, 0);
  EXPECT_EQ(map.ASTAR_PATH_FOUND, -1);
  EXPECT_EQ(map.ASTAR_PATH_LENGTH, 4);
  map.ASTAR_CELLSETSOLID(2, 0, -1);
  compute(0, 0, 4, 0);
  expect_no_path();
  EXPECT_EQ(expanded(), 2);
}

TEST_P(AstarExamples, LimitZeroOrNegativeExpandsTheStartOnly) {
  make_open_map(map, 6, 6);
  for (const int32_t limit : {0, -1, -2147483647 - 1}) {
    compute(2, 2, 2, 3, limit);  // a neighbour: reported
    EXPECT_EQ(expanded(), 1);
    EXPECT_EQ(map.ASTAR_PATH_LENGTH, 1);
    compute(2, 2, 2, 4, limit);  // two steps away: not
    EXPECT_EQ(expanded(), 1);
    expect_no_path();
  }
  // Cut short after the end was opened but before it was selected: still traced.
  compute(0, 0, 2, 0, 2);
  EXPECT_EQ(expanded(), 2);
  EXPECT_EQ(map.GET_ID(2, 0).ASTAR_LIST, map.ASTAR_OPEN);
  EXPECT_EQ(path_directions(map), (Dirs{2, 1}));
}

TEST_P(AstarExamples, BorderCellsAndTinyMaps) {
  make_open_map(map, 1, 1);
  compute(0, 0, 0, 0);
  expect_no_path();
  make_open_map(map, 1, 7);
  compute(0, 6, 0, 0);
  EXPECT_EQ(map.ASTAR_PATH_LENGTH, 6);
  EXPECT_EQ(path_directions(map), Dirs(6, 0));
  make_open_map(map, 7, 1);
  compute(6, 0, 0, 0);
  EXPECT_EQ(path_directions(map), (Dirs{4, 5, 4, 5, 4, 5}));
}

TEST_P(AstarExamples, StartOrEndOffTheMapKeepsThePreviousOne) {
  make_open_map(map, 6, 6);
  compute(1, 1, 3, 1);
  compute(-1, 0, 4, 1);  // start (1, 1) is kept
  EXPECT_EQ(map.ASTAR_START, VECTOR2D(1, 1));
  EXPECT_EQ(map.ASTAR_START_INDEX, 7);
  EXPECT_EQ(map.ASTAR_END_INDEX, 10);
  EXPECT_EQ(path_directions(map), (Dirs{1, 1, 2}));
  compute(0, 0, 6, 0);  // end (4, 1) is kept
  EXPECT_EQ(map.ASTAR_END, VECTOR2D(4, 1));
  EXPECT_EQ(map.ASTAR_PATH_LENGTH, 4);
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

  MAP_CELL moved = map.GET_ID(0, 0);
  moved.POSITION = VECTOR2D(99, -4);
  map.SET_ID(0, 0, moved);
  map.ASTAR_CELLCLEARALL();
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 4; ++x) {
      EXPECT_EQ(map.GET_ID(x, y).POSITION, VECTOR2D(x, y));
      EXPECT_EQ(map.GET_ID(x, y).SOLID, 0);
    }
  }
}

void set_list(HEXAGON_MAP& map, int32_t x, int32_t y, int32_t list) {
  MAP_CELL c = map.GET_ID(x, y);
  c.ASTAR_LIST = list;
  map.SET_ID(x, y, c);
}

void expect_same_cells(const HEXAGON_MAP& a, const HEXAGON_MAP& b) {
  ASSERT_EQ(a.CELLS.size(), b.CELLS.size());
  for (size_t i = 0; i < a.CELLS.size(); ++i) {
    EXPECT_EQ(std::memcmp(&a.CELLS[i], &b.CELLS[i], sizeof(MAP_CELL)), 0) << "cell " << i;
  }
  EXPECT_EQ(a.ASTAR_PATH_FOUND, b.ASTAR_PATH_FOUND);
  EXPECT_EQ(a.ASTAR_PATH_LENGTH, b.ASTAR_PATH_LENGTH);
  EXPECT_EQ(a.ASTAR_FIRST_DIRECTION, b.ASTAR_FIRST_DIRECTION);
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

  // The entered cell's wall facing back, ground 0, solid -1 and the border refuse the step.
  map.SET_ID_WALL(3, 3, 1 << 5);
  map.ASTAR_CHECKNEIGHBOUR(0, 2, 3, 3, 10);
  map.SET_ID_GROUND(3, 4, 0);
  map.ASTAR_CHECKNEIGHBOUR(0, 3, 3, 4, 10);
  map.ASTAR_CELLSETSOLID(4, 4, -1);
  map.ASTAR_CHECKNEIGHBOUR(0, 3, 4, 4, 10);
  map.ASTAR_CHECKNEIGHBOUR(0, 3, 5, 4, 10);
  for (const VECTOR2D p : {VECTOR2D(3, 3), VECTOR2D(3, 4), VECTOR2D(4, 4)}) {
    EXPECT_EQ(map.GET_ID(p).ASTAR_LIST, map.ASTAR_NONE) << to_string(p);
  }
  // Every other wall bit of the entered cell lets the step through.
  map.SET_ID_WALL(3, 3, 0x3f & ~(1 << 5));
  map.ASTAR_CHECKNEIGHBOUR(0, 2, 3, 3, 10);
  EXPECT_EQ(map.GET_ID(3, 3).ASTAR_LIST, map.ASTAR_OPEN);

  // A later search leaves exactly what a search on an untouched map leaves.
  map.ASTAR_COMPUTE(65535);
  HEXAGON_MAP fresh;
  make_open_map(fresh, 5, 5);
  fresh.SET_ID_WALL(3, 3, 0x3f & ~(1 << 5));
  fresh.SET_ID_GROUND(3, 4, 0);
  fresh.ASTAR_CELLSETSOLID(4, 4, -1);
  fresh.ASTAR_COMPUTE(0, 0, 4, 2, 65535);
  expect_same_cells(map, fresh);
}

TEST(AstarBadInput, StaleStartOrEndIsNeverUsed) {
  HEXAGON_MAP map;
  make_open_map(map, 10, 10);
  map.ASTAR_COMPUTE(9, 9, 0, 0, 65535);
  ASSERT_EQ(map.ASTAR_PATH_FOUND, -1);
  map.LOG_ON();
  {
    LogCapture capture;
    map.CREATE_MAP(4, 4);  // start (9, 9), index 99: gone
    for (MAP_CELL& c : map.CELLS)
      c.ID_GROUND = 1;
    map.ASTAR_COMPUTE(65535);
    const Lines lines = capture.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), ":   A* start (9,9) is off the map, no search");
  }
  EXPECT_EQ(map.ASTAR_PATH_FOUND, 0);
  EXPECT_EQ(map.ASTAR_PATH_LENGTH, 0);
  EXPECT_EQ(map.ASTAR_FIRST_DIRECTION, -1);
  for (const MAP_CELL& c : map.CELLS) {  // reset, nothing opened
    EXPECT_EQ(c.ASTAR_LIST, map.ASTAR_NONE);
    EXPECT_EQ(c.ASTAR_PARENT, VECTOR2D(-1, -1));
    EXPECT_EQ(c.ASTAR_PARENT_INDEX, -1);
    EXPECT_EQ(c.ASTAR_PATH_DIRECTION, -1);
  }

  // The end (9, 9) does not exist: the setter keeps (0, 0), which still does.
  map.ASTAR_COMPUTE(3, 3, 9, 9, 65535);
  EXPECT_EQ(map.ASTAR_PATH_FOUND, -1);

  // An end whose index still fits but whose position no longer does: (9, 0) was index 9.
  make_open_map(map, 10, 10);
  map.ASTAR_COMPUTE(0, 0, 9, 0, 65535);
  map.CREATE_MAP(3, 4);
  for (MAP_CELL& c : map.CELLS)
    c.ID_GROUND = 1;
  map.LOG_ON();
  LogCapture capture;
  map.ASTAR_COMPUTE(65535);
  EXPECT_EQ(capture.lines(), (Lines{":   A* end (9,0) is off the map, no search"}));
  EXPECT_EQ(count_list(map, map.ASTAR_OPEN), 0);
}

TEST(AstarBadInput, OverwrittenPositionsNeverLeaveTheGrid) {
  HEXAGON_MAP map;
  HEXAGON_MAP literal;
  for (HEXAGON_MAP* m : {&map, &literal}) {
    make_open_map(*m, 6, 6);
    // The start (2, 2) claims to be at (-1, 0): its steps reach (0, 0) and (0, 1), whose parent
    // index -1 leads off the grid.
    MAP_CELL liar = m->GET_ID(2, 2);
    liar.POSITION = VECTOR2D(-1, 0);
    m->SET_ID(2, 2, liar);
  }
  map.LOG_ON();
  {
    LogCapture capture;
    map.ASTAR_COMPUTE(2, 2, 0, 1, 65535);
    EXPECT_EQ(capture.lines(), (Lines{":   A* path trace is broken, no path"}));
  }
  reference::astar_compute(literal, 2, 2, 0, 1, 65535);
  EXPECT_EQ(map.GET_ID(0, 1).ASTAR_PARENT_INDEX, -1);
  EXPECT_EQ(map.GET_ID(0, 1).ASTAR_DIRECTION, 2);
  EXPECT_EQ(map.ASTAR_PATH_FOUND, 0);
  EXPECT_EQ(map.ASTAR_PATH_LENGTH, 0);
  EXPECT_EQ(map.ASTAR_FIRST_DIRECTION, -1);
  expect_same_cells(map, literal);

  // Extreme positions wrap instead of overflowing, in the steps, the estimate and the parents.
  map.LOG_OFF();
  for (HEXAGON_MAP* m : {&map, &literal}) {
    MAP_CELL liar = m->GET_ID(3, 0);
    liar.POSITION = VECTOR2D(2147483647, -2147483647 - 1);
    m->SET_ID(3, 0, liar);
    liar = m->GET_ID(5, 5);
    liar.POSITION = VECTOR2D(-2147483647 - 1, 2147483647);
    m->SET_ID(5, 5, liar);
  }
  for (const auto& [sx, sy, ex, ey] : {std::array{0, 0, 5, 5}, std::array{5, 5, 0, 0},
                                       std::array{3, 0, 4, 4}, std::array{4, 0, 3, 0}}) {
    map.ASTAR_COMPUTE(sx, sy, ex, ey, 65535);
    reference::astar_compute(literal, sx, sy, ex, ey, 65535);
    expect_same_cells(map, literal);
  }
}

TEST(AstarBadInput, DirectCallsOffTheMapAreRefused) {
  HEXAGON_MAP map;
  make_open_map(map, 3, 3);
  map.LOG_ON();
  LogCapture capture;
  map.ASTAR_CHECKNEIGHBOUR(9, 0, 1, 1, 10);
  map.ASTAR_CHECKNEIGHBOUR(-1, 0, 1, 1, 10);
  map.ASTAR_CHECKNEIGHBOUR(0, 6, 1, 1, 10);
  map.ASTAR_CHECKNEIGHBOURS(9, 1, 1);
  map.ASTAR_END_INDEX = 42;
  map.ASTAR_CHECKNEIGHBOUR(0, 2, 1, 1, 10);
  EXPECT_EQ(capture.lines(), (Lines{
                                 ":   A* neighbour check refused, cell 9 is off the map",
                                 ":   A* neighbour check refused, cell -1 is off the map",
                                 ":   A* neighbour check refused, direction 6",
                                 ":   A* neighbour check refused, cell 9 is off the map",
                                 ":   A* neighbour check refused, end cell 42 is off the map",
                             }));
  for (const MAP_CELL& c : map.CELLS)
    EXPECT_EQ(c.ASTAR_LIST, map.ASTAR_NONE);
  // Costs that overflow wrap.
  map.ASTAR_END_INDEX = 0;
  MAP_CELL expensive = map.GET_ID(0, 0);
  expensive.ASTAR_G = 2147483647;
  map.SET_ID(0, 0, expensive);
  map.ASTAR_CHECKNEIGHBOUR(0, 2, 1, 1, 10);
  EXPECT_EQ(map.GET_ID(1, 1).ASTAR_G, -2147483647 + 8);
}

TEST(AstarBadInput, SizeFieldsThatDisagreeWithTheCellsAreRefused) {
  HEXAGON_MAP map;
  make_open_map(map, 4, 4);
  map.ASTAR_COMPUTE(0, 0, 3, 3, 65535);
  map.FLOODMAP_COMPUTE(1, 1, 2);
  const std::vector<MAP_CELL> before = map.CELLS;
  map.MAP_WIDTH = 100;
  map.MAP_HEIGHT = 10;
  map.CELL_COUNT = 1000;
  map.LOG_ON();
  LogCapture capture;
  map.ASTAR_COMPUTE(50, 5, 99, 9, 65535);
  map.ASTAR_CHECKNEIGHBOURS(0, 0, 0);
  map.ASTAR_CELLCLEARALL();
  map.ASTAR_CELLSETSOLID(99, 9, -1);
  map.FLOODMAP_COMPUTE(50, 5, 3);
  map.FLOODMAP_CHECK_NEIGHBOR(0, 2, 5);
  const std::string astar = ":   A* refused, the map size fields do not match the cells";
  const std::string flood = ":   FLOOD refused, the map size fields do not match the cells";
  EXPECT_EQ(capture.lines(), (Lines{astar, astar, astar, flood, flood}));
  EXPECT_EQ(map.ASTAR_PATH_FOUND, -1);
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(std::memcmp(&map.CELLS[i], &before[i], sizeof(MAP_CELL)), 0) << i;
  }
}

// The list marks are meant to stay 0, 1, 2; marks that cannot tell the lists apart would let
// the open set swallow every cell, so such a search is refused after the reset.
TEST(AstarBadInput, IndistinctListMarksAreRefused) {
  HEXAGON_MAP map;
  make_open_map(map, 5, 5);
  map.ASTAR_COMPUTE(0, 0, 4, 4, 65535);
  map.ASTAR_OPEN = map.ASTAR_NONE;
  map.LOG_ON();
  {
    LogCapture capture;
    map.ASTAR_COMPUTE(65535);
    EXPECT_EQ(capture.lines(), (Lines{":   A* search refused, the list marks are not distinct"}));
  }
  EXPECT_EQ(map.ASTAR_PATH_FOUND, 0);
  EXPECT_EQ(map.ASTAR_FIRST_DIRECTION, -1);
  for (const MAP_CELL& c : map.CELLS)
    EXPECT_EQ(c.ASTAR_PARENT_INDEX, -1);
  // Other distinct marks work, and every cell is reset to the new "none".
  map.LOG_OFF();
  map.ASTAR_NONE = 5;
  map.ASTAR_OPEN = 6;
  map.ASTAR_CLOSED = 7;
  map.ASTAR_COMPUTE(0, 0, 1, 0, 65535);
  EXPECT_EQ(map.ASTAR_PATH_LENGTH, 1);
  EXPECT_EQ(count_list(map, 5) + count_list(map, 6) + count_list(map, 7), 25);
}

}  // namespace
}  // namespace hexmap
