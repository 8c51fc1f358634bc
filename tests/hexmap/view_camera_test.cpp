// The view window (clamping, the clip it applies, bypass lines) and the camera (projections,
// centring, stepped scrolling).
#include <algorithm>
#include <climits>

#include "log_capture.hpp"
#include "screen_map.hpp"

namespace hexmap::testing {
namespace {

using Lines = std::vector<std::string>;
using View = ScreenMap;

// 48 x 40 tiles on 36 x 32 boxes: ODD_COLUMN_OFFSET 16, CELL_CENTER (24,16).
class Camera : public ScreenMap {
 protected:
  void SetUp() override {
    ScreenMap::SetUp();
    map_.LOAD_TILES(sheet(96, 80), 48, 40, 0);
    map_.SET_OVERLAP_SIZE(36, 32);
    map_.SET_CLIP(32, 48, 351, 351);  // WIN_CENTER (191,199)
    map_.LOG_OFF();
  }
};

// Corners, size and centre of the window (screen pixels), and the centring offset for tiles
// 64 pixels wide on 32-pixel rows.
struct Window {
  VECTOR2D start, end, size, centre;
};
void expect_window(const HEXAGON_MAP& m, const Window& w) {
  EXPECT_EQ(m.CLIP_START, w.start);
  EXPECT_EQ(m.CLIP_END, w.end);
  EXPECT_EQ(m.WIN_SIZE, w.size);
  EXPECT_EQ(m.WIN_CENTER, w.centre);
  EXPECT_EQ(m.CENTER_OFFSET, VECTOR2D(32, 16) - w.centre);
}

TEST_F(View, WindowIsOrderedAndKeptInsideTheScreen) {
  map_.LOAD_TILES(sheet(64, 32), 64, 32, 0);
  const struct {
    int x1, y1, x2, y2;
    Window window;
  } clips[] = {
      {639, 399, 0, 0, {{0, 0}, {639, 399}, {639, 399}, {319, 199}}},
      {-20, 10, 900, 500, {{0, 10}, {639, 399}, {639, 389}, {319, 204}}},
      {700, 0, 900, 10, {{700, 0}, {639, 10}, {-61, 10}, {670, 5}}},  // not ordered again
  };
  for (const auto& c : clips) {
    map_.LOG_ON();
    LogCapture capture;
    map_.SET_CLIP(c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(capture.lines(), Lines{": - SET CLIP area " + to_string(c.window.start) + "-" +
                                     to_string(c.window.end)});
    expect_window(map_, c.window);
  }
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

TEST_F(View, ClipOnConfinesDrawingAndClipOffReleasesIt) {
  map_.LOAD_TILES(sheet(64, 32), 64, 32, 0);
  raster::Image* white = raster::image_create(640, 400, 0xFFFFFFFF, 0, true);
  const auto whites = [white] {
    raster::put_image(nullptr, 0, 0, white, raster::put_transparent);
    return std::count(raster::screen_ptr(), raster::screen_ptr() + 640 * 400, 0xFFFFFFFF);
  };
  map_.SET_CLIP(10, 20, 19, 29);
  EXPECT_EQ(whites(), 100);
  EXPECT_EQ(raster::screen_ptr()[29 * 640 + 19], 0xFFFFFFFF);  // corners inclusive
  map_.CLIP_OFF();
  EXPECT_EQ(whites(), 640 * 400);
  raster::image_destroy(white);
}

// On a 1 x 1 screen the whole screen (0,0)-(0,0) still reads as a window never set.
TEST_F(View, ClipOnOfANeverSetWindowTakesTheWholeScreenAlsoOnAOnePixelScreen) {
  for (const auto& [w, h, whole] : {std::tuple{640, 400, "(639,399)"}, {1, 1, "(0,0)"}}) {
    ASSERT_EQ(raster::screen_set_mode(w, h, 32), 0);
    HEXAGON_MAP map;
    map.LOAD_TILES(sheet(1, 1), 1, 1, 0);
    map.CLIP_START = map.CLIP_END = VECTOR2D(0, 0);
    LogCapture capture;
    map.CLIP_ON();
    EXPECT_EQ(capture.lines(), Lines{": - SET CLIP area (0,0)-" + std::string(whole)});
  }
}

// Until LOAD_TILES finds a screen only the wall panels are set; the window operations log
// their bypass lines, the others stay silent, the hexagon pick gives (0,0), the wall picks nothing.
TEST(WithoutScreen, OnlyWallPanelsAreSet) {
  HEXAGON_MAP map;
  LogCapture capture;
  const std::string before = view_state(map);
  map.SET_CLIP(1, 2, 3, 4);
  map.SET_WIN_POSITION(5, 6);
  map.SET_WIN_SIZE(7, 8);
  map.CLIP_ON();
  map.CLIP_OFF();
  map.SET_OVERLAP_SIZE(16, 16);
  map.SET_SOLID_PANEL(1);
  map.SET_FLOODMAP_PANEL(1);
  EXPECT_EQ(view_state(map), before);
  EXPECT_EQ(capture.lines(),
            (Lines{":   SET CLIP area is bypassed", ":   SET WIN POSITION is bypassed",
                   ":   SET WIN SIZE is bypassed", ":   CLIP ON is bypassed",
                   ":   CLIP OFF is bypassed"}));
  map.SET_WALL_PANELS(1);
  EXPECT_EQ(map.WALL_PANEL[5], 6);
  EXPECT_EQ(map.GET_GRID_POSITION_UNDER_MOUSE(20, 5), VECTOR2D(0, 0));
  EXPECT_EQ(map.GET_WALL_GRID_POSITION_UNDER_MOUSE(20, 5), VECTOR2D(-1, -1));
  EXPECT_EQ(map.GET_WALL_SIDE_POSITION_UNDER_MOUSE(20, 5), -1);
}

TEST_F(Camera, ProjectionsAndCentringOfCellsOnAndOffTheMap) {
  const std::pair<VECTOR2D, VECTOR2D> centres[] = {{{0, 0}, {24, 16}},
                                                   {{1, 0}, {60, 32}},
                                                   {{2, 3}, {96, 112}},
                                                   {{-1, -1}, {-12, 0}},
                                                   {{-2, 5}, {-48, 176}}};
  for (const auto& [cell, centre] : centres) {
    map_.SET_CAMERA(-50, -30);
    EXPECT_EQ(map_.GET_ABS_POSITION_FOR_GRID(cell), centre);
    EXPECT_EQ(map_.GET_POSITION_ON_SCREEN_FOR_GRID(cell.X, cell.Y), centre + VECTOR2D(50, 30));
    EXPECT_EQ(map_.GET_CENTER_CAMERA_POSITION_FOR_GRID(cell), centre - VECTOR2D(191, 199));
    map_.SET_CAMERA_TO_ABS_POSITION_ON_MAP(map_.GET_ABS_POSITION_FOR_GRID(cell));
    EXPECT_EQ(map_.GET_POSITION_ON_SCREEN_FOR_GRID(cell.X, cell.Y), VECTOR2D(191, 199));
    map_.SET_CAMERA(0, 0);
    map_.SCROLL_TO_GRID(cell, 0);
    EXPECT_EQ(map_.GET_POSITION_ON_SCREEN_FOR_GRID(cell.X, cell.Y), VECTOR2D(191, 199));
  }
  map_.SET_CAMERA(0, 0);
  map_.SCROLL_AS_CENTER(500, -40, 16);
  EXPECT_EQ(map_.CAMERA, VECTOR2D(16, -16));
  map_.SCROLL_AS_CENTER(VECTOR2D(500, -40), 0);
  EXPECT_EQ(map_.CAMERA, VECTOR2D(500 - 191, -40 - 199));
}

TEST_F(Camera, ScrollStepsAtMostSpeedPerAxisAndLandsExactly) {
  const struct {
    VECTOR2D from, to;
    int speed, calls;
    VECTOR2D camera;
    int done;
  } scrolls[] = {
      {{0, 0}, {100, 0}, 8, 12, {96, 0}, 0},
      {{0, 0}, {100, 0}, 8, 13, {100, 0}, -1},
      {{0, 0}, {-5, 3}, 4, 1, {-4, 3}, 0},  // y lands at once
      {{0, 0}, {-5, 3}, 4, 3, {-5, 3}, -1},
      {{INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}, 0, 1, {INT_MAX, INT_MIN}, -1},
      {{INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}, -3, 1, {INT_MAX, INT_MIN}, -1},
      {{INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}, INT_MAX, 1, {0, -1}, 0},  // no overflow
  };
  for (const auto& s : scrolls) {
    map_.SET_CAMERA(s.from);
    for (int i = 0; i < s.calls; ++i)
      map_.SCROLL(s.to, s.speed);
    EXPECT_EQ(map_.CAMERA, s.camera) << s.to << " speed " << s.speed << " calls " << s.calls;
    EXPECT_EQ(map_.SCROLL_DONE, s.done) << s.to << " speed " << s.speed << " calls " << s.calls;
  }
}

}  // namespace
}  // namespace hexmap::testing
