// Mouse picks of hexagons, box cells and wall sides, with the camera at the origin and moved,
// and wall toggling.
#include "screen_map.hpp"

namespace hexmap::testing {
namespace {

// 48 x 40 tiles on 36 x 32 boxes (ODD_COLUMN_OFFSET 16, OVERLAP_WIDTH 12), the whole screen
// as the window.
class Picking : public ScreenMap {
 protected:
  void SetUp() override {
    ScreenMap::SetUp();
    map_.LOAD_TILES(sheet(96, 80), 48, 40, 0);
    map_.SET_OVERLAP_SIZE(36, 32);
  }
};

struct Pick {
  VECTOR2D mouse;  // screen pixels with the camera at (0, 0)
  VECTOR2D hexagon;
  VECTOR2D box;
  int32_t side;
};

// The documented examples, plus points in negative map pixels (reached with a moved camera).
constexpr Pick kPicks[] = {
    {{20, 5}, {0, 0}, {0, 0}, 0},       {{24, 16}, {0, 0}, {0, 0}, -1},
    {{5, 16}, {0, 0}, {0, 0}, 4},       {{30, 16}, {0, 0}, {0, 0}, -1},
    {{40, 16}, {0, 0}, {1, 0}, 5},      {{36, 16}, {0, 0}, {1, 0}, 5},
    {{50, 40}, {1, 0}, {1, 0}, -1},     {{60, 32}, {1, 0}, {1, 0}, -1},
    {{38, 2}, {1, -1}, {1, -1}, 4},     {{0, 0}, {-1, -1}, {0, 0}, 5},
    {{3, 3}, {-1, -1}, {0, 0}, 5},      {{3, 28}, {-1, 0}, {0, 0}, 4},
    {{20, 28}, {0, 0}, {0, 0}, 3},      {{100, 10}, {2, 0}, {2, 0}, -1},
    {{100, 20}, {2, 0}, {2, 0}, -1},    {{100, 30}, {2, 0}, {2, 0}, 3},
    {{-36, 0}, {-2, 0}, {-1, -1}, 4},   {{-20, 20}, {-1, 0}, {-1, 0}, 0},
    {{-1, -1}, {-1, -1}, {-1, -1}, -1}, {{-72, -33}, {-3, -2}, {-2, -2}, 4},
};

TEST_F(Picking, HexagonBoxAndSideUnderThePointAlsoWithAMovedCamera) {
  for (const VECTOR2D camera : {VECTOR2D(0, 0), VECTOR2D(-50, -30), VECTOR2D(-200, -150)}) {
    map_.SET_CAMERA(camera);
    for (const Pick& p : kPicks) {
      const VECTOR2D screen = p.mouse - camera;
      if (screen.X < 0 || screen.Y < 0) continue;  // off the window
      SCOPED_TRACE(::testing::Message() << "camera " << camera << " map pixel " << p.mouse);
      EXPECT_EQ(map_.GET_GRID_POSITION_UNDER_MOUSE(screen.X, screen.Y), p.hexagon);
      EXPECT_EQ(map_.GET_WALL_GRID_POSITION_UNDER_MOUSE(screen.X, screen.Y), p.box);
      EXPECT_EQ(map_.GET_WALL_SIDE_POSITION_UNDER_MOUSE(screen.X, screen.Y), p.side);
    }
  }
}

TEST_F(Picking, PointsOutsideTheWindowOrWithoutBoxesPickNothing) {
  map_.SET_CLIP(32, 48, 351, 351);
  for (const VECTOR2D p : {VECTOR2D(31, 100), VECTOR2D(100, 47), VECTOR2D(352, 100),
                           VECTOR2D(100, 352), VECTOR2D(640, 10)}) {
    EXPECT_EQ(map_.GET_GRID_POSITION_UNDER_MOUSE(p.X, p.Y), VECTOR2D(-1, -1)) << p;
    EXPECT_EQ(map_.GET_WALL_GRID_POSITION_UNDER_MOUSE(p.X, p.Y), VECTOR2D(-1, -1)) << p;
    EXPECT_EQ(map_.GET_WALL_SIDE_POSITION_UNDER_MOUSE(p.X, p.Y), -1) << p;
  }
  EXPECT_EQ(map_.GET_GRID_POSITION_UNDER_MOUSE(32, 48), VECTOR2D(0, 1));  // corners inclusive
  EXPECT_EQ(map_.GET_WALL_GRID_POSITION_UNDER_MOUSE(351, 351), VECTOR2D(9, 10));
  map_.BOX_WIDTH = 0;  // set by hand: no division by zero
  EXPECT_EQ(map_.GET_GRID_POSITION_UNDER_MOUSE(100, 100), VECTOR2D(-1, -1));
  map_.BOX_WIDTH = 36;
  map_.BOX_HEIGHT = -32;
  EXPECT_EQ(map_.GET_WALL_SIDE_POSITION_UNDER_MOUSE(100, 100), -1);
}

TEST(ToggleWall, FlipsOneBitOfOneCellOnTheMap) {
  HEXAGON_MAP map;
  map.CREATE_MAP(4, 3);
  map.SET_ID_WALL(2, 2, 0b1001);
  map.TOGGLE_WALL(VECTOR2D(2, 2), 4);
  EXPECT_EQ(map.GET_ID_WALL(2, 2), 0b11001);
  map.TOGGLE_WALL(VECTOR2D(2, 2), 4);
  EXPECT_EQ(map.GET_ID_WALL(2, 2), 0b1001);
  map.TOGGLE_WALL(VECTOR2D(2, 2), 31 + 32);  // side AND 31: the sign bit
  EXPECT_EQ(map.GET_ID_WALL(2, 2), static_cast<int32_t>(0x80000009u));
  map.TOGGLE_WALL(VECTOR2D(-1, 0), 0);
  map.TOGGLE_WALL(VECTOR2D(4, 0), 0);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 4; ++x)
      EXPECT_EQ(map.GET_ID_WALL(x, y), x == 2 && y == 2 ? static_cast<int32_t>(0x80000009u) : 0);
  }
}

}  // namespace
}  // namespace hexmap::testing
