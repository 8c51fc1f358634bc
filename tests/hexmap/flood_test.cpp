#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "log_capture.hpp"
#include "tests/reference/search_reference.hpp"
#include "tests/reference/test_maps.hpp"

namespace hexmap {
namespace {

using Rows = std::vector<std::vector<int32_t>>;
using Lines = std::vector<std::string>;
using reference::count_flooded;
using reference::make_open_map;
using testing::LogCapture;

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

Rows flood_rows(const HEXAGON_MAP& map) {
  Rows rows(static_cast<size_t>(map.MAP_HEIGHT));
  for (int32_t y = 0; y < map.MAP_HEIGHT; ++y) {
    for (int32_t x = 0; x < map.MAP_WIDTH; ++x)
      rows[y].push_back(map.GET_ID(x, y).FLOOD);
  }
  return rows;
}

struct Flood {
  const char* name;
  std::function<void(HEXAGON_MAP&, int32_t, int32_t, int32_t)> compute;
};

class FloodExamples : public ::testing::TestWithParam<Flood> {
 protected:
  void flood(int32_t x, int32_t y, int32_t steps) { GetParam().compute(map, x, y, steps); }
  HEXAGON_MAP map;
};

TEST_P(FloodExamples, TwoStepsOnAnOpenMap) {
  make_open_map(map, 6, 6);
  flood(2, 2, 2);
  EXPECT_EQ(flood_rows(map), (Rows{{0, 1, 1, 1, 0, 0},
                                   {1, 2, 2, 2, 1, 0},
                                   {1, 2, 3, 2, 1, 0},
                                   {1, 1, 2, 1, 1, 0},
                                   {0, 0, 1, 0, 0, 0},
                                   {0, 0, 0, 0, 0, 0}}));
  map.ASTAR_CELLSETSOLID(2, 1, -1);
  flood(2, 2, 2);
  EXPECT_EQ(flood_rows(map), (Rows{{0, 1, 0, 1, 0, 0},
                                   {1, 2, 0, 2, 1, 0},
                                   {1, 2, 3, 2, 1, 0},
                                   {1, 1, 2, 1, 1, 0},
                                   {0, 0, 1, 0, 0, 0},
                                   {0, 0, 0, 0, 0, 0}}));
  // Any non-zero SOLID stops the flood, 1 too (the A* search walks through it).
  map.ASTAR_CELLSETSOLID(2, 1, 1);
  flood(2, 2, 2);
  EXPECT_EQ(map.GET_ID(2, 1).FLOOD, 0);
  EXPECT_EQ(map.GET_ID(2, 0).FLOOD, 0);
}

TEST_P(FloodExamples, ZeroNegativeAndOffTheMapClearTheLastFlood) {
  make_open_map(map, 6, 6);
  flood(2, 2, 0);
  EXPECT_EQ(map.GET_ID(2, 2).FLOOD, 1);
  EXPECT_EQ(count_flooded(map), 1);
  for (const auto& [x, y, steps] : {std::array{2, 2, -1}, std::array{6, 0, 3}, std::array{0, -1, 3},
                                    std::array{2, 2, std::numeric_limits<int32_t>::min()}}) {
    flood(2, 2, 3);
    ASSERT_GT(count_flooded(map), 1);
    flood(x, y, steps);
    EXPECT_EQ(count_flooded(map), 0) << x << "," << y << "," << steps;
  }
}

TEST_P(FloodExamples, OriginIsNotTestedAndWallsBlockOnlyTheEnteredSide) {
  make_open_map(map, 5, 5);
  map.ASTAR_CELLSETSOLID(2, 2, -1);
  map.SET_ID_GROUND(2, 2, 0);
  map.SET_ID_WALL(2, 2, 0x3f);    // walls of the origin: it still floods out of them
  map.SET_ID_WALL(2, 1, 1 << 3);  // (2, 1) refuses the step up from (2, 2)
  flood(2, 2, 1);
  EXPECT_EQ(map.GET_ID(2, 2).FLOOD, 2);
  EXPECT_EQ(map.GET_ID(2, 1).FLOOD, 0);
  EXPECT_EQ(count_flooded(map), 6);
  // With one more step (2, 1) is reached from the side.
  flood(2, 2, 2);
  EXPECT_EQ(map.GET_ID(2, 1).FLOOD, 1);
}

TEST_P(FloodExamples, CornerOriginAndHugeStepCounts) {
  make_open_map(map, 7, 5);
  flood(0, 0, 3);
  EXPECT_EQ(map.GET_ID(0, 0).FLOOD, 4);
  EXPECT_EQ(map.GET_ID(3, 1).FLOOD, 1);
  EXPECT_EQ(map.GET_ID(0, 3).FLOOD, 1);
  EXPECT_EQ(map.GET_ID(4, 0).FLOOD, 0);
  // Beyond the map's size every reachable cell is marked; the values stay steps + 1 - k up to
  // the largest representable origin value.
  for (const int32_t steps : {1000, 1 << 30, kIntMax - 1, kIntMax}) {
    flood(6, 4, steps);
    const int32_t top = std::min(steps, kIntMax - 1) + 1;
    EXPECT_EQ(map.GET_ID(6, 4).FLOOD, top);
    EXPECT_EQ(map.GET_ID(5, 4).FLOOD, top - 1);  // (5, 4) is a neighbour of (6, 4)
    EXPECT_EQ(map.GET_ID(0, 0).FLOOD, top - HEXAGON_MAP::DISTANCE(6, 4, 0, 0));
    EXPECT_EQ(count_flooded(map), 35);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EngineAndReference, FloodExamples,
    ::testing::Values(Flood{"engine", [](HEXAGON_MAP& m, int32_t x, int32_t y,
                                         int32_t s) { m.FLOODMAP_COMPUTE(x, y, s); }},
                      Flood{"engine_vector",
                            [](HEXAGON_MAP& m, int32_t x, int32_t y, int32_t s) {
                              m.FLOODMAP_COMPUTE(VECTOR2D(x, y), s);
                            }},
                      Flood{"reference", [](HEXAGON_MAP& m, int32_t x, int32_t y,
                                            int32_t s) { reference::flood_compute(m, x, y, s); }}),
    [](const ::testing::TestParamInfo<Flood>& info) { return std::string(info.param.name); });

TEST(FloodMap, ValuesWrittenOutsideAFloodAreClearedByTheNext) {
  HEXAGON_MAP map;
  make_open_map(map, 8, 8);
  map.FLOODMAP_COMPUTE(1, 1, 1);
  MAP_CELL far = map.GET_ID(7, 7);
  far.FLOOD = 42;
  map.SET_ID(7, 7, far);
  map.FLOODMAP_CHECK_NEIGHBOR(5 * 8 + 5, 3, 9);  // (5, 5) -> (5, 6) gets 8
  EXPECT_EQ(map.GET_ID(5, 6).FLOOD, 8);
  map.FLOODMAP_CHECK_NEIGHBOR(5 * 8 + 5, 3, 4);  // not above 8: kept
  EXPECT_EQ(map.GET_ID(5, 6).FLOOD, 8);
  map.FLOODMAP_COMPUTE(0, 7, 0);
  EXPECT_EQ(count_flooded(map), 1);
  EXPECT_EQ(map.GET_ID(0, 7).FLOOD, 1);
}

TEST(FloodMap, NeighbourStepFollowsThePositionField) {
  HEXAGON_MAP map;
  make_open_map(map, 6, 6);
  // Cell (0, 0) claims to be at (4, 4): its step down lands on (4, 5).
  MAP_CELL liar = map.GET_ID(0, 0);
  liar.POSITION = VECTOR2D(4, 4);
  map.SET_ID(0, 0, liar);
  map.FLOODMAP_CHECK_NEIGHBOR(0, 3, 5);
  EXPECT_EQ(map.GET_ID(4, 5).FLOOD, 4);
  EXPECT_EQ(map.GET_ID(0, 1).FLOOD, 0);
  // Steps off the grid, or from positions at the ends of the int range, are refused quietly.
  liar.POSITION = VECTOR2D(kIntMax, kIntMax);
  map.SET_ID(0, 0, liar);
  for (int32_t d = 0; d < 6; ++d)
    map.FLOODMAP_CHECK_NEIGHBOR(0, d, 5);
  map.LOG_ON();
  LogCapture capture;
  map.FLOODMAP_CHECK_NEIGHBOR(36, 0, 5);
  map.FLOODMAP_CHECK_NEIGHBOR(-1, 0, 5);
  map.FLOODMAP_CHECK_NEIGHBOR(7, -1, 5);
  map.FLOODMAP_CHECK_NEIGHBOR(7, 6, 5);
  map.FLOODMAP_CHECK_NEIGHBOR(7, 0, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(capture.lines(),
            (Lines{":   FLOOD step refused, cell 36 is off the map",
                   ":   FLOOD step refused, cell -1 is off the map",
                   ":   FLOOD step refused, direction -1", ":   FLOOD step refused, direction 6"}));
  EXPECT_EQ(count_flooded(map), 1);
}

}  // namespace
}  // namespace hexmap
