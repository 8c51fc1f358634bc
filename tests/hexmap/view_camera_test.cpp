// The view window (clamping, the clip it applies, bypass lines) and the camera (projections,
// centring, stepped scrolling).
#include <algorithm>
#include <climits>

#include "log_capture.hpp"
#include "screen_map.hpp"

namespace hexmap::testing {
namespace {

using Lines = std::vector<std::string>;
using Vectors = std::vector<VECTOR2D>;
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

// Each row sets the window's clip ('c'), position ('p') or size ('s'): the corners it leaves
// (screen pixels, inclusive), its size and centre, and the centring offset that follows the centre
// for tiles 64 pixels wide on 32-pixel rows.
TEST_F(View, WindowIsOrderedAndKeptInsideTheScreen) {
  map_.LOAD_TILES(sheet(64, 32), 64, 32, 0);
  const struct {
    char op;
    std::array<int, 4> a;
    Vectors want;
  } rows[] = {
      {'c', {639, 399, 0, 0}, {{0, 0}, {639, 399}, {639, 399}, {319, 199}}},
      {'c', {-20, 10, 900, 500}, {{0, 10}, {639, 399}, {639, 389}, {319, 204}}},
      {'c', {700, 0, 900, 10}, {{700, 0}, {639, 10}, {-61, 10}, {670, 5}}},  // not ordered again
      {'c', {100, 100, 299, 199}, {{100, 100}, {299, 199}, {199, 99}, {199, 149}}},
      {'p', {500, 300}, {{440, 300}, {639, 399}, {199, 99}, {539, 349}}},
      {'p', {-7, -9}, {{0, 0}, {199, 99}, {199, 99}, {99, 49}}},
      {'p', {100, 100}, {{100, 100}, {299, 199}, {199, 99}, {199, 149}}},
      {'s', {-5, 0}, {{100, 100}, {100, 100}, {0, 0}, {100, 100}}},
      {'s', {1000, 50}, {{100, 100}, {639, 150}, {539, 50}, {369, 125}}},
  };
  for (const auto& [op, a, want] : rows) {
    if (op == 'c') map_.SET_CLIP(a[0], a[1], a[2], a[3]);
    if (op == 'p') map_.SET_WIN_POSITION(a[0], a[1]);
    if (op == 's') map_.SET_WIN_SIZE(a[0], a[1]);
    EXPECT_EQ((Vectors{map_.CLIP_START, map_.CLIP_END, map_.WIN_SIZE, map_.WIN_CENTER,
                       VECTOR2D(32, 16) - map_.CENTER_OFFSET}),
              (Vectors{want[0], want[1], want[2], want[3], want[3]}))
        << op << " " << a[0] << "," << a[1];
  }
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
  EXPECT_EQ(std::tuple(map.GET_GRID_POSITION_UNDER_MOUSE(20, 5),
                       map.GET_WALL_GRID_POSITION_UNDER_MOUSE(20, 5),
                       map.GET_WALL_SIDE_POSITION_UNDER_MOUSE(20, 5)),
            std::tuple(VECTOR2D(0, 0), VECTOR2D(-1, -1), -1));
}

// Cells on and off the map, with the camera at (-50,-30): map pixels of the centre, then where
// it shows on screen, the camera that centres it, and that each centring puts it at WIN_CENTER.
TEST_F(Camera, ProjectionsAndCentringOfCellsOnAndOffTheMap) {
  for (const auto& [cell, centre] : {std::pair{VECTOR2D(0, 0), VECTOR2D(24, 16)},
                                     {{1, 0}, {60, 32}},
                                     {{2, 3}, {96, 112}},
                                     {{-1, -1}, {-12, 0}},
                                     {{-2, 5}, {-48, 176}}}) {
    map_.SET_CAMERA(-50, -30);
    Vectors seen{map_.GET_ABS_POSITION_FOR_GRID(cell),
                 map_.GET_POSITION_ON_SCREEN_FOR_GRID(cell.X, cell.Y),
                 map_.GET_CENTER_CAMERA_POSITION_FOR_GRID(cell)};
    map_.SET_CAMERA_TO_ABS_POSITION_ON_MAP(centre);
    seen.push_back(map_.GET_POSITION_ON_SCREEN_FOR_GRID(cell.X, cell.Y));
    map_.SET_CAMERA(0, 0);
    map_.SCROLL_TO_GRID(cell, 0);
    seen.push_back(map_.GET_POSITION_ON_SCREEN_FOR_GRID(cell.X, cell.Y));
    EXPECT_EQ(seen, (Vectors{centre,
                             centre + VECTOR2D(50, 30),
                             centre - VECTOR2D(191, 199),
                             {191, 199},
                             {191, 199}}))
        << cell;
  }
  map_.SET_CAMERA(0, 0);
  map_.SCROLL_AS_CENTER(500, -40, 16);
  EXPECT_EQ(map_.CAMERA, VECTOR2D(16, -16));
  map_.SCROLL_AS_CENTER(VECTOR2D(500, -40), 0);
  EXPECT_EQ(map_.CAMERA, VECTOR2D(500 - 191, -40 - 199));
}

// From, to, speed, calls: the camera after them and SCROLL_DONE.
TEST_F(Camera, ScrollStepsAtMostSpeedPerAxisAndLandsExactly) {
  for (const auto& [from, to, speed, calls, camera, done] :
       {std::tuple{VECTOR2D(0, 0), VECTOR2D(100, 0), 8, 12, VECTOR2D(96, 0), 0},
        {{0, 0}, {100, 0}, 8, 13, {100, 0}, -1},
        {{0, 0}, {-5, 3}, 4, 1, {-4, 3}, 0},  // y lands at once
        {{INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}, -3, 1, {INT_MAX, INT_MIN}, -1},
        {{INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}, INT_MAX, 1, {0, -1}, 0}}) {  // no overflow
    map_.SET_CAMERA(from);
    for (int i = 0; i < calls; ++i)
      map_.SCROLL(to, speed);
    EXPECT_EQ(std::pair(map_.CAMERA, map_.SCROLL_DONE), std::pair(camera, done))
        << to << " speed " << speed << " calls " << calls;
  }
}

}  // namespace
}  // namespace hexmap::testing
