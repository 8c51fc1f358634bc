// Mouse picks of hexagons, box cells and wall sides, with the camera at the origin and moved,
// and wall toggling.
#include <algorithm>
#include <tuple>

#include "screen_map.hpp"

namespace hexmap::testing {
namespace {

// Hexagon, box cell and wall side picked.
using Picked = std::tuple<VECTOR2D, VECTOR2D, int32_t>;
const Picked kNothing{{-1, -1}, {-1, -1}, -1};

// 48 x 40 tiles on 36 x 32 boxes (ODD_COLUMN_OFFSET 16, OVERLAP_WIDTH 12), the whole screen
// as the window.
class Picking : public ScreenMap {
 protected:
  void SetUp() override {
    ScreenMap::SetUp();
    map_.LOAD_TILES(sheet(96, 80), 48, 40, 0);
    map_.SET_OVERLAP_SIZE(36, 32);
  }
  Picked picks(VECTOR2D p) {
    return {map_.GET_GRID_POSITION_UNDER_MOUSE(p.X, p.Y),
            map_.GET_WALL_GRID_POSITION_UNDER_MOUSE(p.X, p.Y),
            map_.GET_WALL_SIDE_POSITION_UNDER_MOUSE(p.X, p.Y)};
  }
};

// Map pixels (screen pixels with the camera at (0,0)) and what they pick: the documented
// examples, plus points in negative map pixels (reached with a moved camera).
const std::pair<VECTOR2D, Picked> kPicks[] = {
    {{20, 5}, {{0, 0}, {0, 0}, 0}},       {{24, 16}, {{0, 0}, {0, 0}, -1}},
    {{5, 16}, {{0, 0}, {0, 0}, 4}},       {{30, 16}, {{0, 0}, {0, 0}, -1}},
    {{40, 16}, {{0, 0}, {1, 0}, 5}},      {{36, 16}, {{0, 0}, {1, 0}, 5}},
    {{50, 40}, {{1, 0}, {1, 0}, -1}},     {{60, 32}, {{1, 0}, {1, 0}, -1}},
    {{38, 2}, {{1, -1}, {1, -1}, 4}},     {{0, 0}, {{-1, -1}, {0, 0}, 5}},
    {{3, 3}, {{-1, -1}, {0, 0}, 5}},      {{3, 28}, {{-1, 0}, {0, 0}, 4}},
    {{20, 28}, {{0, 0}, {0, 0}, 3}},      {{100, 10}, {{2, 0}, {2, 0}, -1}},
    {{100, 20}, {{2, 0}, {2, 0}, -1}},    {{100, 30}, {{2, 0}, {2, 0}, 3}},
    {{-36, 0}, {{-2, 0}, {-1, -1}, 4}},   {{-20, 20}, {{-1, 0}, {-1, 0}, 0}},
    {{-1, -1}, {{-1, -1}, {-1, -1}, -1}}, {{-72, -33}, {{-3, -2}, {-2, -2}, 4}},
};

TEST_F(Picking, HexagonBoxAndSideUnderThePointAlsoWithAMovedCamera) {
  for (const VECTOR2D camera : {VECTOR2D(0, 0), VECTOR2D(-50, -30), VECTOR2D(-200, -150)}) {
    map_.SET_CAMERA(camera);
    for (const auto& [mouse, want] : kPicks) {
      const VECTOR2D screen = mouse - camera;
      if (screen.X < 0 || screen.Y < 0) continue;  // off the window
      EXPECT_EQ(picks(screen), want) << "camera " << camera << " map pixel " << mouse;
    }
  }
}

TEST_F(Picking, PointsOutsideTheWindowOrWithoutBoxesPickNothing) {
  map_.SET_CLIP(32, 48, 351, 351);
  for (const VECTOR2D p : {VECTOR2D(31, 100), VECTOR2D(100, 47), VECTOR2D(352, 100),
                           VECTOR2D(100, 352), VECTOR2D(640, 10)})
    EXPECT_EQ(picks(p), kNothing) << p;
  EXPECT_EQ(map_.GET_GRID_POSITION_UNDER_MOUSE(32, 48), VECTOR2D(0, 1));  // corners inclusive
  EXPECT_EQ(map_.GET_WALL_GRID_POSITION_UNDER_MOUSE(351, 351), VECTOR2D(9, 10));
  // Box sizes set by hand: no division by zero.
  for (const auto& [w, h] : {std::pair{0, 32}, {36, -32}}) {
    map_.BOX_WIDTH = w;
    map_.BOX_HEIGHT = h;
    EXPECT_EQ(picks(VECTOR2D(100, 100)), kNothing) << w << " x " << h;
  }
}

// The side number is taken AND 31, so 63 flips the sign bit; cells off the map are left alone.
TEST(ToggleWall, FlipsOneBitOfOneCellOnTheMap) {
  HEXAGON_MAP map;
  map.CREATE_MAP(4, 3);
  map.SET_ID_WALL(2, 2, 0b1001);
  for (const auto& [side, walls] : {std::pair{4, 0b11001}, {4, 0b1001}, {63, INT32_MIN | 9}}) {
    map.TOGGLE_WALL(VECTOR2D(2, 2), side);
    EXPECT_EQ(map.GET_ID_WALL(2, 2), walls) << side;
  }
  map.TOGGLE_WALL(VECTOR2D(-1, 0), 0);
  map.TOGGLE_WALL(VECTOR2D(4, 0), 0);
  EXPECT_EQ(std::count_if(map.CELLS.begin(), map.CELLS.end(),
                          [](const MAP_CELL& c) { return c.ID_WALL != 0; }),
            1);
}

}  // namespace
}  // namespace hexmap::testing
