#include <gtest/gtest.h>

#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "log_capture.hpp"

namespace hexmap {
namespace {

using Ids = std::vector<int32_t>;

// The ground ids of a 5 x 4 grid filled with the run of usable tiles, and the log of it.
Ids run(int32_t tiles, int32_t flood_panel, int32_t solid_panel) {
  HEXAGON_MAP map;
  map.CREATE_MAP(5, 4);
  map.SET_NAME("S");
  map.TILE_COUNT = tiles;
  map.FLOOD_PANEL = flood_panel;
  map.SOLID_PANEL = solid_panel;
  testing::LogCapture capture;
  map.MAKE_SAMPLE_MAP(-1);
  EXPECT_EQ(capture.lines(), std::vector<std::string>{"S:   making sample map with " +
                                                      std::to_string(tiles) + " elements"});
  map.LOG_OFF();
  Ids out;
  for (const MAP_CELL& cell : map.CELLS)
    out.push_back(cell.ID_GROUND);
  return out;
}

TEST(SampleMap, RunCyclesThroughTheUsableTilesOrFallsBackToOneOrZero) {
  EXPECT_EQ(run(10, 0, 0), (Ids{1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4}));
  const Ids skipping{1, 2, 5, 6, 7, 8, 1, 2, 5, 6, 7, 8, 1, 2, 5, 6, 7, 8, 1, 2};
  EXPECT_EQ(run(10, 3, 4), skipping);
  EXPECT_EQ(run(10, 4, 3), skipping);
  EXPECT_EQ(run(3, 0, 0), Ids(20, 1));
  EXPECT_EQ(run(4, 1, 2), Ids(20, 0));
  EXPECT_EQ(run(-1, 0, 0), Ids(20, 0));
}

TEST(SampleMap, OneTileEverywhereKeepsWallsAndSolidSilently) {
  HEXAGON_MAP map;
  map.CREATE_MAP(3, 3);
  map.SET_ID_WALL(1, 1, 9);
  map.ASTAR_CELLSETSOLID(2, 2, -1);
  testing::LogCapture capture;
  map.MAKE_SAMPLE_MAP(7);
  EXPECT_TRUE(capture.lines().empty());
  for (const MAP_CELL& cell : map.CELLS)
    EXPECT_EQ(cell.ID_GROUND, 7);
  EXPECT_EQ(map.GET_ID_WALL(1, 1), 9);
  EXPECT_EQ(map.GET_ID(2, 2).SOLID, -1);
}

}  // namespace
}  // namespace hexmap
