// Path display beyond the whole-frame picture: start on the end, cells off the map, and step
// directions that lead round in a circle.
#include "log_capture.hpp"
#include "screen_map.hpp"
#include "tests/reference/test_maps.hpp"

namespace hexmap::testing {
namespace {

constexpr raster::Color kBlack = 0x000000;
constexpr raster::Color kGreen = 0x007F00;    // start marker
constexpr raster::Color kDarkRed = 0x7F0000;  // end marker
constexpr raster::Color kRed = 0xBF0000;      // visit dot
constexpr raster::Color kWhite = 0xFFFFFF;    // arrow

// Tiles 66 pixels high give marker radii 22 (start), 20 (end) and 12 (dot); a 60 x 60 box
// gives arrow shafts of (+-30, +-15) and (0, +-30) screen pixels, clear of the next cell's
// markers. Cell centres in screen pixels: (60 x + 32, 60 y + 30 + 30 (x AND 1)).
class PathDisplay : public ScreenMap {
 protected:
  void SetUp() override {
    ScreenMap::SetUp();
    load_tiles(64, 66, 1, [](int, int, int) { return 0xFF808080u; });
    map_.SET_OVERLAP_SIZE(60, 60);
    reference::make_open_map(map_, 6, 5);
  }
  static VECTOR2D centre(int x, int y) { return {60 * x + 32, 60 * y + 30 + 30 * (x & 1)}; }
  static VECTOR2D arrow_tip(VECTOR2D c, int d) {
    const int dx[] = {0, 30, 30, 0, -30, -30};
    const int dy[] = {-30, -15, 15, 30, 15, -15};
    return {c.X + dx[d], c.Y + dy[d]};
  }
  raster::Color at(VECTOR2D p) const { return rgb(p.X, p.Y); }
};

// The end marker is drawn over the larger start marker, then the dot; no arrow.
TEST_F(PathDisplay, StartEqualsEnd) {
  map_.ASTAR_COMPUTE(VECTOR2D(1, 1), VECTOR2D(1, 1), 65535);
  map_.ASTAR_DRAW_PATH();
  const VECTOR2D c = centre(1, 1);
  std::vector<raster::Color> seen{at(c + VECTOR2D(21, 0)), at(c + VECTOR2D(0, -16)),
                                  at(c + VECTOR2D(-5, 0))};
  for (int d = 0; d < 6; ++d)
    seen.push_back(at(arrow_tip(c, d)));
  EXPECT_EQ(seen,
            (std::vector{kGreen, kDarkRed, kRed, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack}));
}

// Off the map, y * MAP_WIDTH + x can name another cell: (6, 0) would be (0, 1), the start.
TEST_F(PathDisplay, CellOffTheMapIsNotDrawn) {
  map_.ASTAR_CELLSETSTART(0, 1);
  map_.SET_NAME("P");
  map_.LOG_ON();
  LogCapture log;
  map_.ASTAR_DRAWCELL(6, 0);
  EXPECT_EQ(log.lines(),
            std::vector<std::string>{"P:   A* cell (6,0) is not drawn, it is off the map"});
  EXPECT_EQ(at(centre(6, 0)), kBlack);
}

// Step directions are public fields: ones that lead round in a circle must not hang the walk.
TEST_F(PathDisplay, DirectionsInACircleEnd) {
  map_.ASTAR_COMPUTE(VECTOR2D(1, 1), VECTOR2D(2, 2), 65535);
  MAP_CELL back = map_.GET_ID(2, 2);
  back.ASTAR_PATH_DIRECTION = 5;  // back to (1, 1), which leads on to (2, 2)
  map_.SET_ID(2, 2, back);
  map_.ASTAR_DRAW_PATH();
  // The head of (2, 2)'s arrow, away from everything else drawn.
  EXPECT_EQ(at(arrow_tip(centre(2, 2), 5) + VECTOR2D(6, -3)), kWhite);
}

}  // namespace
}  // namespace hexmap::testing
