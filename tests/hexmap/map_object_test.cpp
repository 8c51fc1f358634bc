// The map object: its creation log, the grid and cell accessors, refused sizes and the log name.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "hexmap/hexagon_map.hpp"
#include "log_capture.hpp"

namespace hexmap::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(MapObject, NewObjectLogsItsCreationAndCreateMapStartsFromNothing) {
  LogCapture capture;
  HEXAGON_MAP map;
  EXPECT_EQ(capture.lines(),
            (Lines{": - HEXAGON MAP is created", ":   set default map size to (1 x 1)",
                   ":   set default A* start/end point", ":   graphic screen is NOT yet checked"}));
  EXPECT_EQ((std::vector{map.INSIDE(0, 0), map.INSIDE(1, 0), map.INSIDE(VECTOR2D(0, -1))}),
            (std::vector{-1, 0, 0}));
  map.CREATE_MAP(3, 2);
  map.SET_ID_GROUND(2, 1, 9);
  map.SET_ID_WALL(1, 1, 5);
  map.CREATE_MAP(3, 2);  // the same size: still nothing carries over
  ASSERT_EQ(map.CELLS.size(), 6u);
  for (const MAP_CELL& cell : map.CELLS) {
    EXPECT_EQ(&cell - map.CELLS.data(), cell.POSITION.Y * 3 + cell.POSITION.X);
    EXPECT_EQ(cell.ID_GROUND | cell.ID_WALL, 0);
  }
}

// Both argument forms reach index y * width + x; positions off the map read an empty cell and
// write nothing, also when the public size fields were enlarged by hand.
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
  const auto poke = [&](VECTOR2D p) {
    map.SET_ID(p, whole);
    map.SET_ID_GROUND(p, 77);
    map.SET_ID_WALL(p, 77);
    map.ASTAR_CELLSETSOLID(p.X, p.Y, -1);
    EXPECT_EQ(map.GET_ID(p).ID_GROUND | map.GET_ID_WALL(p), 0) << p;
  };
  for (const VECTOR2D p : {VECTOR2D(4, 0), VECTOR2D(-1, 0), VECTOR2D(0, 3), VECTOR2D(0, -1),
                           VECTOR2D(INT32_MAX, INT32_MAX), VECTOR2D(INT32_MIN, 1)})
    poke(p);
  map.MAP_WIDTH = map.MAP_HEIGHT = 50;
  poke(VECTOR2D(49, 49));
  poke(VECTOR2D(10, 10));
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
  LogCapture capture;
  map->SET_NAME("ABCDEFGHIJ");
  map->CREATE_MAP(20, 15);
  map->LOG_OFF();
  map->SET_NAME("quiet");
  map->CREATE_MAP(0, 0);
  map->PRINT_("not shown");
  map->LOG_ON();
  map->SET_NAME("M");
  map->PRINT_("shown");
  map.reset();  // never found a screen
  EXPECT_EQ(
      capture.lines(),
      (Lines{": - RENAME '' to 'ABCDEFGH' -", "ABCDEFGH: - CREATE MAP is called -",
             "ABCDEFGH:   resize map (1 x 1) to (20 x 15)", "quiet: - RENAME 'quiet' to 'M' -",
             "shown", "M: - CLEAN UP -", "M:   map, unloaded from memory"}));
}

}  // namespace
}  // namespace hexmap::testing
