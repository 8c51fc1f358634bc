// The view window (clamping, the clip it applies, bypass lines) and the camera (projections,
// centring, stepped scrolling).
#include <climits>

#include "log_capture.hpp"
#include "screen_map.hpp"

namespace hexmap::testing {
namespace {

using Lines = std::vector<std::string>;

// 48 x 40 tiles on 36 x 32 boxes: ODD_COLUMN_OFFSET 16, CELL_CENTER (24, 16).
class ViewCamera : public ScreenMap {
 protected:
  void SetUp() override {
    ScreenMap::SetUp();
    map_.LOAD_TILES(sheet(96, 80), 48, 40, 0);
    map_.SET_OVERLAP_SIZE(36, 32);
    map_.LOG_OFF();
  }
};

struct Window {
  VECTOR2D start, end, size, centre;
};
void expect_window(const HEXAGON_MAP& m, const Window& w) {
  EXPECT_EQ(m.CLIP_START, w.start);
  EXPECT_EQ(m.CLIP_END, w.end);
  EXPECT_EQ(m.WIN_SIZE, w.size);
  EXPECT_EQ(m.WIN_CENTER, w.centre);
  EXPECT_EQ(m.CENTER_OFFSET, VECTOR2D(24, 16) - w.centre);
}

TEST_F(ViewCamera, SetClipOrdersAndCutsTheCorners) {
  struct Case {
    int x1, y1, x2, y2;
    Window window;
  };
  const Case cases[] = {
      {639, 399, 0, 0, {{0, 0}, {639, 399}, {639, 399}, {319, 199}}},
      {-20, 10, 900, 500, {{0, 10}, {639, 399}, {639, 389}, {319, 204}}},
      {32, 48, 351, 351, {{32, 48}, {351, 351}, {319, 303}, {191, 199}}},
      // A start beyond the screen is not ordered again after the cut.
      {700, 0, 900, 10, {{700, 0}, {639, 10}, {-61, 10}, {670, 5}}},
  };
  for (const Case& c : cases) {
    map_.LOG_ON();
    LogCapture capture;
    map_.SET_CLIP(c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(capture.lines(), Lines{": - SET CLIP area " + to_string(c.window.start) + "-" +
                                     to_string(c.window.end)});
    expect_window(map_, c.window);
  }
}

TEST_F(ViewCamera, WindowMovesAndResizesInsideTheScreen) {
  map_.SET_CLIP(100, 100, 299, 199);
  map_.SET_WIN_POSITION(500, 300);
  expect_window(map_, {{440, 300}, {639, 399}, {199, 99}, {539, 349}});
  map_.SET_WIN_POSITION(-7, -9);
  expect_window(map_, {{0, 0}, {199, 99}, {199, 99}, {99, 49}});
  map_.SET_WIN_POSITION(100, 100);
  map_.SET_WIN_SIZE(-5, 0);
  expect_window(map_, {{100, 100}, {100, 100}, {0, 0}, {100, 100}});
  map_.SET_WIN_SIZE(1000, 50);
  expect_window(map_, {{100, 100}, {639, 150}, {539, 50}, {369, 125}});
}

TEST_F(ViewCamera, ClipOnConfinesDrawingAndClipOffReleasesIt) {
  map_.SET_CLIP(10, 20, 19, 29);
  map_.CLIP_OFF();
  raster::screen_clear();  // the whole screen is black again
  const auto fill_white = [] {
    raster::Image* white = raster::image_create(640, 400, 0xFFFFFFFF, 0, true);
    raster::put_image(nullptr, 0, 0, white, raster::put_transparent);
    raster::image_destroy(white);
  };
  map_.CLIP_ON();
  fill_white();
  int white = 0;
  for (int i = 0; i < kScreenWidth * kScreenHeight; ++i)
    white += raster::screen_ptr()[i] == 0xFFFFFFFF ? 1 : 0;
  EXPECT_EQ(white, 100);
  EXPECT_EQ(raster::screen_ptr()[20 * kScreenWidth + 10], 0xFFFFFFFF);
  EXPECT_EQ(raster::screen_ptr()[29 * kScreenWidth + 19], 0xFFFFFFFF);
  map_.CLIP_OFF();
  fill_white();
  EXPECT_EQ(raster::screen_ptr()[0], 0xFFFFFFFF);
}

TEST_F(ScreenMap, ClipOnOfANeverSetWindowTakesTheWholeScreenAlsoOnAOnePixelScreen) {
  for (const int side : {kScreenWidth, 1}) {
    ASSERT_EQ(raster::screen_set_mode(side, side == 1 ? 1 : kScreenHeight, 32), 0);
    HEXAGON_MAP map;
    map.LOAD_TILES(sheet(1, 1), 1, 1, 0);
    map.CLIP_START = map.CLIP_END = VECTOR2D(0, 0);  // never set
    LogCapture capture;
    map.CLIP_ON();
    const std::string whole = side == 1 ? "(0,0)" : "(639,399)";
    EXPECT_EQ(capture.lines(), Lines{": - SET CLIP area (0,0)-" + whole});
  }
}

TEST(ViewWithoutScreen, EveryOperationOnlyLogsItsBypassLine) {
  HEXAGON_MAP map;
  LogCapture capture;
  map.SET_CLIP(1, 2, 3, 4);
  map.SET_WIN_POSITION(5, 6);
  map.SET_WIN_SIZE(7, 8);
  map.CLIP_ON();
  map.CLIP_OFF();
  EXPECT_EQ(capture.lines(),
            (Lines{":   SET CLIP area is bypassed", ":   SET WIN POSITION is bypassed",
                   ":   SET WIN SIZE is bypassed", ":   CLIP ON is bypassed",
                   ":   CLIP OFF is bypassed"}));
  EXPECT_EQ(map.CLIP_END, VECTOR2D(0, 0));
  EXPECT_EQ(map.WIN_SIZE, VECTOR2D(0, 0));
}

TEST_F(ViewCamera, ProjectionsOfCellsOnAndOffTheMap) {
  map_.SET_CLIP(32, 48, 351, 351);  // WIN_CENTER (191, 199)
  map_.SET_CAMERA(-50, -30);
  struct Case {
    VECTOR2D cell, centre;
  };
  const Case cases[] = {{{0, 0}, {24, 16}},
                        {{1, 0}, {60, 32}},
                        {{2, 3}, {96, 112}},
                        {{-1, -1}, {-12, 0}},
                        {{-2, 5}, {-48, 176}}};
  for (const Case& c : cases) {
    EXPECT_EQ(map_.GET_ABS_POSITION_FOR_GRID(c.cell), c.centre);
    EXPECT_EQ(map_.GET_POSITION_ON_SCREEN_FOR_GRID(c.cell.X, c.cell.Y),
              c.centre - VECTOR2D(-50, -30));
    EXPECT_EQ(map_.GET_CENTER_CAMERA_POSITION_FOR_GRID(c.cell), c.centre - VECTOR2D(191, 199));
    map_.SET_CAMERA_TO_ABS_POSITION_ON_MAP(map_.GET_ABS_POSITION_FOR_GRID(c.cell));
    EXPECT_EQ(map_.GET_POSITION_ON_SCREEN_FOR_GRID(c.cell.X, c.cell.Y), map_.WIN_CENTER);
    map_.SET_CAMERA(-50, -30);
  }
}

TEST_F(ViewCamera, ScrollStepsAtMostSpeedPerAxisAndLandsExactly) {
  map_.SCROLL(100, 0, 8);
  for (int i = 1; i < 12; ++i)
    map_.SCROLL(100, 0, 8);
  EXPECT_EQ(map_.CAMERA, VECTOR2D(96, 0));
  EXPECT_EQ(map_.SCROLL_DONE, 0);
  map_.SCROLL(VECTOR2D(100, 0), 8);
  EXPECT_EQ(map_.CAMERA, VECTOR2D(100, 0));
  EXPECT_EQ(map_.SCROLL_DONE, -1);

  map_.SET_CAMERA(0, 0);
  map_.SCROLL(-5, 3, 4);
  EXPECT_EQ(map_.CAMERA, VECTOR2D(-4, 3));
  EXPECT_EQ(map_.SCROLL_DONE, 0);
  map_.SCROLL(-5, 3, 4);
  EXPECT_EQ(map_.CAMERA, VECTOR2D(-5, 3));
  EXPECT_EQ(map_.SCROLL_DONE, -1);

  for (const int speed : {0, -3}) {
    map_.SET_CAMERA(INT_MIN, INT_MAX);
    map_.SCROLL(INT_MAX, INT_MIN, speed);
    EXPECT_EQ(map_.CAMERA, VECTOR2D(INT_MAX, INT_MIN));
    EXPECT_EQ(map_.SCROLL_DONE, -1);
  }
  map_.SCROLL(INT_MIN, INT_MAX, INT_MAX);  // no overflow on the way
  EXPECT_EQ(map_.CAMERA, VECTOR2D(0, -1));
}

TEST_F(ViewCamera, ScrollToGridAndAsCentreAimAtTheWindowCentre) {
  map_.SET_CLIP(32, 48, 351, 351);
  map_.SCROLL_TO_GRID(VECTOR2D(3, 2), 0);
  EXPECT_EQ(map_.GET_POSITION_ON_SCREEN_FOR_GRID(3, 2), map_.WIN_CENTER);
  map_.SET_CAMERA(0, 0);
  map_.SCROLL_AS_CENTER(500, -40, 16);
  EXPECT_EQ(map_.CAMERA, VECTOR2D(16, -16));
  map_.SCROLL_AS_CENTER(VECTOR2D(500, -40), 0);
  EXPECT_EQ(map_.CAMERA, VECTOR2D(500 - 191, -40 - 199));
}

}  // namespace
}  // namespace hexmap::testing
