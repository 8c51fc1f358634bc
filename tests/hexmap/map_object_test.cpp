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

TEST(Vector2d, TextFormAndResetFromOneInt) {
  std::ostringstream out;
  out << VECTOR2D(-5, 12) << VECTOR2D();
  EXPECT_EQ(out.str(), "(-5,12)(0,0)");
  VECTOR2D v(4, 9);
  v = -1;
  EXPECT_EQ(to_string(v), "(-1,-1)");
}

TEST(MapObject, NewObjectLogsItsCreationAndCreateMapStartsFromNothing) {
  LogCapture capture;
  HEXAGON_MAP map;
  EXPECT_EQ(capture.lines(),
            (Lines{": - HEXAGON MAP is created", ":   set default map size to (1 x 1)",
                   ":   set default A* start/end point", ":   graphic screen is NOT yet checked"}));
  EXPECT_EQ(map.CELLS.size(), 1u);
  EXPECT_EQ(map.INSIDE(0, 0), -1);
  EXPECT_EQ(map.INSIDE(1, 0) | map.INSIDE(VECTOR2D(0, -1)), 0);
  map.CREATE_MAP(3, 2);
  map.SET_ID_GROUND(2, 1, 9);
  map.SET_ID_WALL(1, 1, 5);
  map.CREATE_MAP(3, 2);  // the same size: still nothing carries over
  EXPECT_EQ(map.CELL_COUNT, 6);
  for (const MAP_CELL& cell : map.CELLS) {
    EXPECT_EQ(&cell - map.CELLS.data(), cell.POSITION.Y * 3 + cell.POSITION.X);
    EXPECT_EQ(cell.ID_GROUND | cell.ID_WALL, 0);
  }
}

// Both argument forms reach index y * width + x; positions off the map read an empty cell and
// write nothing.
TEST(MapObject, CellAccessorsReachTheirCellAndNothingElse) {
  HEXAGON_MAP map;
  map.CREATE_MAP(4, 3);
  map.SET_ID_GROUND(VECTOR2D(1, 2), 7);
  map.SET_ID_OVERLAY(1, 2, -3);
  map.SET_ID_PROP(VECTOR2D(1, 2), 11);
  map.SET_ID_WALL(1, 2, 0x3F);
  EXPECT_EQ((std::vector{map.GET_ID_GROUND(1, 2), map.GET_ID_OVERLAY(VECTOR2D(1, 2)),
                         map.GET_ID_PROP(1, 2), map.GET_ID_WALL(VECTOR2D(1, 2)),
                         map.CELLS[2 * 4 + 1].ID_PROP}),
            (std::vector{7, -3, 11, 0x3F, 11}));
  MAP_CELL whole{};
  whole.SPARE = 99;
  whole.POSITION = VECTOR2D(-8, 8);
  whole.FLOOD = 77;
  map.SET_ID(VECTOR2D(3, 0), whole);
  const MAP_CELL back = map.GET_ID(3, 0);
  EXPECT_EQ(std::memcmp(&whole, &back, sizeof whole), 0);

  for (const VECTOR2D p : {VECTOR2D(4, 0), VECTOR2D(-1, 0), VECTOR2D(0, 3), VECTOR2D(0, -1),
                           VECTOR2D(INT32_MAX, INT32_MAX), VECTOR2D(INT32_MIN, 1)}) {
    map.SET_ID(p, whole);
    map.SET_ID_GROUND(p, 77);
    map.SET_ID_WALL(p, 77);
    EXPECT_EQ(map.GET_ID(p).ID_GROUND | map.GET_ID_WALL(p), 0);
  }
  // The size fields are public: enlarging them by hand must not open memory past the cells.
  map.MAP_WIDTH = 50;
  map.MAP_HEIGHT = 50;
  map.SET_ID_GROUND(49, 49, 77);
  map.ASTAR_CELLSETSOLID(10, 10, -1);
  EXPECT_EQ(map.GET_ID_GROUND(49, 49), 0);
  for (const MAP_CELL& cell : map.CELLS)
    EXPECT_TRUE(cell.ID_GROUND != 77 && cell.ID_WALL != 77 && cell.SOLID == 0 &&
                (cell.FLOOD != 77 || &cell == &map.CELLS[3]));
}

TEST(MapObject, RefusedSizesKeepTheOldGrid) {
  HEXAGON_MAP map;
  map.CREATE_MAP(5, 4);
  map.SET_ID_GROUND(4, 3, 2);
  const std::string too_many = " refused: more than " + std::to_string(kMaxCellCount) + " cells";
  const std::string below_one = " refused: width and height must be at least 1";
  const std::pair<VECTOR2D, std::string> refused[] = {{{0, 5}, below_one},
                                                      {{3, -1}, below_one},
                                                      {{70000, 70000}, too_many},  // past 32 bits
                                                      {{10000, 10000}, too_many}};
  for (const auto& [size, why] : refused) {
    LogCapture capture;
    map.CREATE_MAP(size.X, size.Y);
    EXPECT_EQ(capture.lines(), (Lines{": - CREATE MAP is called -",
                                      ":   resize map (5 x 4) to (" + std::to_string(size.X) +
                                          " x " + std::to_string(size.Y) + ")" + why}));
  }
  EXPECT_EQ(VECTOR2D(map.MAP_WIDTH, map.MAP_HEIGHT), VECTOR2D(5, 4));
  EXPECT_EQ(map.CELLS.size(), 20u);
  EXPECT_EQ(map.GET_ID_GROUND(4, 3), 2);
}

// Rename under the old name, the new name cut to 8 characters; LOG_OFF silences everything.
TEST(MapObject, LogLinesCarryTheNameUntilLogOff) {
  auto map = std::make_unique<HEXAGON_MAP>();
  {
    LogCapture capture;
    map->SET_NAME("ABCDEFGHIJ");
    map->CREATE_MAP(20, 15);
    EXPECT_EQ(capture.lines(),
              (Lines{": - RENAME '' to 'ABCDEFGH' -", "ABCDEFGH: - CREATE MAP is called -",
                     "ABCDEFGH:   resize map (1 x 1) to (20 x 15)"}));
  }
  map->LOG_OFF();
  {
    LogCapture capture;
    map->SET_NAME("quiet");
    map->CREATE_MAP(0, 0);
    map->PRINT_("not shown");
    EXPECT_TRUE(capture.lines().empty());
  }
  map->LOG_ON();
  map->SET_NAME("M");
  LogCapture capture;
  map->PRINT_("shown");
  map.reset();  // never found a screen
  EXPECT_EQ(capture.lines(), (Lines{"shown", "M: - CLEAN UP -", "M:   map, unloaded from memory"}));
}

}  // namespace
}  // namespace hexmap
