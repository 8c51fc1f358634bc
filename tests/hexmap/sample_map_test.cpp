// The sample map: the run of usable tiles, its fallbacks, and one tile everywhere.
#include <gtest/gtest.h>

#include "hexmap/hexagon_map.hpp"
#include "log_capture.hpp"

namespace hexmap::testing {
namespace {

using Ids = std::vector<int32_t>;

// A run over a 5 x 4 grid skips the flood and solid panels and cycles through ids 1 to 8; with
// fewer than 4 tiles every cell takes 1, with no usable tile 0.
TEST(SampleMap, RunCyclesThroughTheUsableTilesOrFallsBackToOneOrZero) {
  const Ids all{1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4};
  const Ids skipping{1, 2, 5, 6, 7, 8, 1, 2, 5, 6, 7, 8, 1, 2, 5, 6, 7, 8, 1, 2};
  const struct {
    int32_t tiles, flood_panel, solid_panel;
    Ids ground;
  } cases[] = {{10, 0, 0, all},       {10, 3, 4, skipping},  {10, 4, 3, skipping},
               {3, 0, 0, Ids(20, 1)}, {4, 1, 2, Ids(20, 0)}, {-1, 0, 0, Ids(20, 0)}};
  for (const auto& c : cases) {
    HEXAGON_MAP map;
    map.CREATE_MAP(5, 4);
    map.SET_NAME("S");
    map.TILE_COUNT = c.tiles;
    map.FLOOD_PANEL = c.flood_panel;
    map.SOLID_PANEL = c.solid_panel;
    LogCapture capture;
    map.MAKE_SAMPLE_MAP(-1);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{"S:   making sample map with " +
                                                        std::to_string(c.tiles) + " elements"});
    map.LOG_OFF();
    Ids ground;
    for (const MAP_CELL& cell : map.CELLS)
      ground.push_back(cell.ID_GROUND);
    EXPECT_EQ(ground, c.ground) << c.tiles << " tiles, panels " << c.flood_panel << ", "
                                << c.solid_panel;
  }
}

TEST(SampleMap, OneTileEverywhereKeepsWallsAndSolidSilently) {
  HEXAGON_MAP map;
  map.CREATE_MAP(3, 3);
  map.SET_ID_WALL(1, 1, 9);
  map.ASTAR_CELLSETSOLID(2, 2, -1);
  LogCapture capture;
  map.MAKE_SAMPLE_MAP(7);
  EXPECT_TRUE(capture.lines().empty());
  for (const MAP_CELL& cell : map.CELLS)
    EXPECT_EQ(cell.ID_GROUND, 7);
  EXPECT_EQ(std::pair(map.GET_ID_WALL(1, 1), map.GET_ID(2, 2).SOLID), std::pair(9, -1));
}

}  // namespace
}  // namespace hexmap::testing
