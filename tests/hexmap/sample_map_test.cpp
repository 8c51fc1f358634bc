#include <gtest/gtest.h>

#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "log_capture.hpp"

namespace hexmap {
namespace {

std::vector<int32_t> grounds(const HEXAGON_MAP& map, std::size_t count) {
  std::vector<int32_t> out;
  for (std::size_t i = 0; i < count; ++i)
    out.push_back(map.CELLS[i].ID_GROUND);
  return out;
}

// The run of usable tiles for a tile count and the two panels, over a 5 x 4 grid.
std::vector<int32_t> run(int32_t tiles, int32_t flood_panel, int32_t solid_panel) {
  HEXAGON_MAP map;
  map.LOG_OFF();
  map.CREATE_MAP(5, 4);
  map.TILE_COUNT = tiles;
  map.FLOOD_PANEL = flood_panel;
  map.SOLID_PANEL = solid_panel;
  map.MAKE_SAMPLE_MAP(-1);
  return grounds(map, 20);
}

TEST(SampleMap, RunCyclesThroughTheUsableTiles) {
  EXPECT_EQ(run(10, 0, 0),
            (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4}));
  const std::vector<int32_t> skipping{1, 2, 5, 6, 7, 8, 1, 2, 5, 6, 7, 8, 1, 2, 5, 6, 7, 8, 1, 2};
  EXPECT_EQ(run(10, 3, 4), skipping);
  EXPECT_EQ(run(10, 4, 3), skipping);
}

TEST(SampleMap, TooFewTilesFallBackToOneOrZero) {
  EXPECT_EQ(run(3, 0, 0), std::vector<int32_t>(20, 1));
  EXPECT_EQ(run(4, 1, 2), std::vector<int32_t>(20, 0));
  EXPECT_EQ(run(-1, 0, 0), std::vector<int32_t>(20, 0));
}

TEST(SampleMap, RunIsLogged) {
  HEXAGON_MAP map;
  map.SET_NAME("S");
  map.TILE_COUNT = 10;
  testing::LogCapture capture;
  map.MAKE_SAMPLE_MAP(-1);
  EXPECT_EQ(capture.lines(), std::vector<std::string>{"S:   making sample map with 10 elements"});
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
