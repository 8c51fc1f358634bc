#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "log_capture.hpp"

namespace hexmap {
namespace {

using Lines = std::vector<std::string>;
using testing::LogCapture;

TEST(Vector2d, OperatorsAndTextForm) {
  VECTOR2D v(3, -1);
  EXPECT_EQ(to_string(v), "(3,-1)");
  EXPECT_EQ(to_string(VECTOR2D()), "(0,0)");
  std::ostringstream out;
  out << VECTOR2D(-5, 12);
  EXPECT_EQ(out.str(), "(-5,12)");

  EXPECT_FALSE(VECTOR2D(1, 2) == VECTOR2D(1, 3));
  EXPECT_TRUE(VECTOR2D(1, 2) != VECTOR2D(1, 3));
  EXPECT_EQ(VECTOR2D(1, 2) + VECTOR2D(10, 20), VECTOR2D(11, 22));
  EXPECT_EQ(VECTOR2D(1, 2) - VECTOR2D(10, 20), VECTOR2D(-9, -18));
  v += VECTOR2D(1, 1);
  v -= VECTOR2D(0, 3);
  EXPECT_EQ(v, VECTOR2D(4, -3));
  v = -1;
  EXPECT_EQ(v, VECTOR2D(-1, -1));
  int32_t x = 0;
  int32_t y = 0;
  VECTOR2D(7, 8).GET_XY(x, y);
  EXPECT_EQ(x, 7);
  EXPECT_EQ(y, 8);
}

TEST(MapObject, NewObjectDefaultsAndLog) {
  LogCapture capture;
  HEXAGON_MAP map;
  EXPECT_EQ(capture.lines(),
            (Lines{": - HEXAGON MAP is created", ":   set default map size to (1 x 1)",
                   ":   set default A* start/end point", ":   graphic screen is NOT yet checked"}));
  EXPECT_EQ(map.MAP_WIDTH, 1);
  EXPECT_EQ(map.MAP_HEIGHT, 1);
  EXPECT_EQ(map.CELL_COUNT, 1);
  EXPECT_EQ(map.CELLS.size(), 1u);
  EXPECT_EQ(map.INSIDE(0, 0), -1);
  EXPECT_EQ(map.INSIDE(1, 0), 0);
  EXPECT_EQ(map.INSIDE(0, -1), 0);
  EXPECT_EQ(map.GET_ID_GROUND(0, 0), 0);
  EXPECT_EQ(map.TILE_COUNT, -1);
  EXPECT_EQ(map.SCREEN_UNCHECKED, -1);
  EXPECT_EQ(map.LOG_ENABLED, -1);
  EXPECT_EQ(map.ASTAR_NONE, 0);
  EXPECT_EQ(map.ASTAR_OPEN, 1);
  EXPECT_EQ(map.ASTAR_CLOSED, 2);
  EXPECT_EQ(map.ASTAR_START, VECTOR2D(0, 0));
  EXPECT_EQ(map.ASTAR_END_INDEX, 0);
  const MAP_CELL cell = map.GET_ID(0, 0);
  EXPECT_EQ(cell.ASTAR_PARENT, VECTOR2D(0, 0));
  EXPECT_EQ(cell.FLOOD, 0);
}

TEST(MapObject, RenameCutsToEightAndPrefixesLaterLines) {
  HEXAGON_MAP map;
  LogCapture capture;
  map.SET_NAME("ABCDEFGHIJ");
  map.CREATE_MAP(20, 15);
  EXPECT_EQ(capture.lines(),
            (Lines{": - RENAME '' to 'ABCDEFGH' -", "ABCDEFGH: - CREATE MAP is called -",
                   "ABCDEFGH:   resize map (1 x 1) to (20 x 15)"}));
  EXPECT_EQ(map.NAME, "ABCDEFGH");
}

TEST(MapObject, CreateMapStartsFromNothing) {
  HEXAGON_MAP map;
  map.CREATE_MAP(3, 2);
  map.SET_ID_GROUND(2, 1, 9);
  map.SET_ID_WALL(1, 1, 5);
  EXPECT_EQ(map.GET_ID_WALL(1, 1), 5);
  map.CREATE_MAP(3, 2);  // same size: still nothing carries over
  EXPECT_EQ(map.CELL_COUNT, 6);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      const MAP_CELL cell = map.GET_ID(x, y);
      EXPECT_EQ(cell.POSITION, VECTOR2D(x, y));
      EXPECT_EQ(cell.ID_GROUND, 0);
      EXPECT_EQ(cell.ID_WALL, 0);
    }
  }
}

TEST(MapObject, CellAccessorsInBothFormsAgree) {
  HEXAGON_MAP map;
  map.CREATE_MAP(4, 3);
  map.SET_ID_GROUND(VECTOR2D(1, 2), 7);
  map.SET_ID_OVERLAY(1, 2, -3);
  map.SET_ID_PROP(VECTOR2D(1, 2), 11);
  map.SET_ID_WALL(1, 2, 0x3F);
  EXPECT_EQ(map.GET_ID_GROUND(1, 2), 7);
  EXPECT_EQ(map.GET_ID_OVERLAY(VECTOR2D(1, 2)), -3);
  EXPECT_EQ(map.GET_ID_PROP(1, 2), 11);
  EXPECT_EQ(map.GET_ID_WALL(VECTOR2D(1, 2)), 0x3F);
  const MAP_CELL a = map.GET_ID(1, 2);
  const MAP_CELL b = map.GET_ID(VECTOR2D(1, 2));
  EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
  // The cell lives at index y * width + x.
  EXPECT_EQ(map.CELLS[2 * 4 + 1].ID_GROUND, 7);

  MAP_CELL whole{};
  whole.ID_GROUND = 4;
  whole.SPARE = 99;
  whole.POSITION = VECTOR2D(-8, 8);
  whole.FLOOD = 5;
  map.SET_ID(VECTOR2D(3, 0), whole);
  const MAP_CELL back = map.GET_ID(3, 0);
  EXPECT_EQ(std::memcmp(&whole, &back, sizeof whole), 0);
}

TEST(MapObject, PositionsOffTheMapAreHarmless) {
  HEXAGON_MAP map;
  map.CREATE_MAP(2, 2);
  map.SET_ID_GROUND(1, 1, 3);
  for (const VECTOR2D p : {VECTOR2D(2, 0), VECTOR2D(-1, 0), VECTOR2D(0, 2), VECTOR2D(0, -1),
                           VECTOR2D(INT32_MAX, INT32_MAX), VECTOR2D(INT32_MIN, 1)}) {
    MAP_CELL junk{};
    junk.ID_GROUND = 77;
    map.SET_ID(p, junk);
    map.SET_ID_GROUND(p, 77);
    map.SET_ID_WALL(p, 77);
    const MAP_CELL read = map.GET_ID(p);
    EXPECT_EQ(read.ID_GROUND, 0);
    EXPECT_EQ(read.POSITION, VECTOR2D(0, 0));
    EXPECT_EQ(map.GET_ID_WALL(p), 0);
  }
  for (const MAP_CELL& cell : map.CELLS)
    EXPECT_NE(cell.ID_GROUND, 77);
  EXPECT_EQ(map.GET_ID_GROUND(1, 1), 3);

  // The size fields are public: enlarging them by hand must not open memory past the cells.
  map.MAP_WIDTH = 50;
  map.MAP_HEIGHT = 50;
  map.SET_ID_GROUND(49, 49, 77);
  map.ASTAR_CELLSETSOLID(10, 10, -1);
  EXPECT_EQ(map.GET_ID_GROUND(49, 49), 0);
}

TEST(MapObject, RefusedSizesKeepTheOldGrid) {
  HEXAGON_MAP map;
  map.CREATE_MAP(5, 4);
  map.SET_ID_GROUND(4, 3, 2);
  LogCapture capture;
  map.CREATE_MAP(0, 5);
  map.CREATE_MAP(3, -1);
  map.CREATE_MAP(70000, 70000);  // overflows 32 bits
  map.CREATE_MAP(10000, 10000);
  const std::string called = ": - CREATE MAP is called -";
  EXPECT_EQ(
      capture.lines(),
      (Lines{
          called, ":   resize map (5 x 4) to (0 x 5) refused: width and height must be at least 1",
          called, ":   resize map (5 x 4) to (3 x -1) refused: width and height must be at least 1",
          called, ":   resize map (5 x 4) to (70000 x 70000) refused: more than 67108864 cells",
          called, ":   resize map (5 x 4) to (10000 x 10000) refused: more than 67108864 cells"}));
  EXPECT_EQ(map.MAP_WIDTH, 5);
  EXPECT_EQ(map.MAP_HEIGHT, 4);
  EXPECT_EQ(map.CELL_COUNT, 20);
  EXPECT_EQ(map.CELLS.size(), 20u);
  EXPECT_EQ(map.GET_ID_GROUND(4, 3), 2);
}

TEST(MapObject, LogOffSilencesEverything) {
  HEXAGON_MAP map;
  map.LOG_OFF();
  EXPECT_EQ(map.LOG_ENABLED, 0);
  {
    LogCapture capture;
    map.SET_NAME("quiet");
    map.CREATE_MAP(2, 2);
    map.CREATE_MAP(0, 0);
    map.PRINT_("not shown");
    EXPECT_TRUE(capture.lines().empty());
  }
  map.LOG_ON();
  LogCapture capture;
  map.PRINT_("shown");
  EXPECT_EQ(capture.lines(), Lines{"shown"});
}

TEST(MapObject, DestroyWithoutScreenLogsTwoLines) {
  auto map = std::make_unique<HEXAGON_MAP>();
  map->SET_NAME("M");
  LogCapture capture;
  map.reset();
  EXPECT_EQ(capture.lines(), (Lines{"M: - CLEAN UP -", "M:   map, unloaded from memory"}));
}

}  // namespace
}  // namespace hexmap
