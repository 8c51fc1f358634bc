// The view window (clamping, the clip it applies, bypass lines), the camera (projections,
// centring, stepped scrolling) and mouse picks of hexagons, box cells and wall sides.
#include <tuple>

#include "log_capture.hpp"
#include "screen_map.hpp"
#include "tests/reference/test_maps.hpp"

namespace hexmap::testing {
namespace {

using Vectors = std::vector<VECTOR2D>;
// Hexagon, box cell and wall side picked at a screen point.
using Picked = std::tuple<VECTOR2D, VECTOR2D, int32_t>;
const Picked kNothing{{-1, -1}, {-1, -1}, -1};
Picked picks(const HEXAGON_MAP& m, VECTOR2D p) {
  return {m.GET_GRID_POSITION_UNDER_MOUSE(p.X, p.Y), m.GET_WALL_GRID_POSITION_UNDER_MOUSE(p.X, p.Y),
          m.GET_WALL_SIDE_POSITION_UNDER_MOUSE(p.X, p.Y)};
}

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
// (screen pixels, inclusive), its size and centre, and the centring offset that follows the centre.
TEST_F(Camera, WindowIsOrderedAndKeptInsideTheScreen) {
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
                       VECTOR2D(24, 16) - map_.CENTER_OFFSET}),
              (Vectors{want[0], want[1], want[2], want[3], want[3]}))
        << op << " " << a[0] << "," << a[1];
  }
}

// Until LOAD_TILES finds a screen only the wall panels are set; the window operations and DRAW
// log their bypass lines, the others stay silent and draw nothing, the hexagon pick gives (0,0),
// the wall picks nothing. Whether all of that held, in a freshly started copy of the test program
// (no screen).
bool nothing_happens_without_a_screen() {
  HEXAGON_MAP map;
  LogCapture capture;
  const std::string before = view_state(map);
  map.LOAD_TILES("any.bmp", 32, 32, 0);
  map.SET_CLIP(1, 2, 3, 4);
  map.SET_WIN_POSITION(5, 6);
  map.SET_WIN_SIZE(7, 8);
  map.CLIP_ON();
  map.CLIP_OFF();
  map.SET_OVERLAP_SIZE(16, 16);
  map.SET_SOLID_PANEL(1);
  map.SET_FLOODMAP_PANEL(1);
  map.DRAW();
  map.FLOODMAP_DRAW_PATH();
  map.ASTAR_DRAW_PATH();
  const bool unchanged = view_state(map) == before;
  const Lines lines = capture.lines();
  map.SET_WALL_PANELS(1);
  return unchanged && map.WALL_PANEL[5] == 6 &&
         picks(map, VECTOR2D(20, 5)) == Picked(VECTOR2D(0, 0), VECTOR2D(-1, -1), -1) &&
         lines == Lines{": - LOAD TILES is called -",    ": - load tile graphic - BYPASSED -",
                        ":   SET CLIP area is bypassed", ":   SET WIN POSITION is bypassed",
                        ":   SET WIN SIZE is bypassed",  ":   CLIP ON is bypassed",
                        ":   CLIP OFF is bypassed",      ": - DRAW map is bypassed"};
}

TEST(WithoutScreen, OnlyWallPanelsAreSet) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(nothing_happens_without_a_screen() ? 0 : 1), ::testing::ExitedWithCode(0),
              "");
}

// Cells on and off the map, with the camera at (-50,-30): map pixels of the centre, where it
// shows on screen, and the camera that puts it on WIN_CENTER (191,199); map pixels brought
// to the centre in steps and at once.
TEST_F(Camera, ProjectionsAndCentringOfCellsOnAndOffTheMap) {
  map_.SET_CAMERA(-50, -30);
  for (const auto& [cell, centre] : {std::pair{VECTOR2D(1, 0), VECTOR2D(60, 32)},
                                     {{2, 3}, {96, 112}},
                                     {{-1, -1}, {-12, 0}},
                                     {{-2, 5}, {-48, 176}}}) {
    EXPECT_EQ((Vectors{map_.GET_ABS_POSITION_FOR_GRID(cell),
                       map_.GET_POSITION_ON_SCREEN_FOR_GRID(cell.X, cell.Y),
                       map_.GET_CENTER_CAMERA_POSITION_FOR_GRID(cell)}),
              (Vectors{centre, centre + VECTOR2D(50, 30), centre - VECTOR2D(191, 199)}))
        << cell;
  }
  map_.SCROLL_AS_CENTER(500, -40, 16);
  EXPECT_EQ(map_.CAMERA, VECTOR2D(-34, -46));
  map_.SET_CAMERA_TO_ABS_POSITION_ON_MAP(VECTOR2D(500, -40));
  EXPECT_EQ(map_.CAMERA, VECTOR2D(500 - 191, -40 - 199));
}

// DRAW puts a tile's CELL_CENTER on its cell's centre, for cameras (0,0) and (-50,-30): screen
// pixels of cell (2,3)'s centre and 10 up-left of it, read from tile 2 (the sheet's lower left).
TEST_F(Camera, DrawPutsEachTileAroundItsCellsCentre) {
  reference::make_open_map(map_, 6, 6);
  map_.SET_ID_GROUND(2, 3, 2);
  for (const auto& [camera, centre] :
       {std::pair{VECTOR2D(0, 0), VECTOR2D(96, 112)}, {{-50, -30}, {146, 142}}}) {
    map_.SET_CAMERA(camera);
    raster::screen_clear();
    map_.DRAW();
    EXPECT_EQ(std::pair(rgb(centre.X, centre.Y), rgb(centre.X - 10, centre.Y - 10)),
              std::pair(sheet_colour(24, 56) & 0xFFFFFF, sheet_colour(14, 46) & 0xFFFFFF))
        << camera;
  }
}

// A camera scrolled into the map by part of a block shows the pictures of whole-block cameras
// moved by that part. Each screen pixel is judged against the whole-block picture that holds
// its map pixel at least a block away from the screen's edges, so that tiles that must reach
// in from beyond an edge are judged by a picture where nothing is cut there.
TEST_F(Camera, DrawScrolledByPartOfABlockMovesThePictureByThatPart) {
  reference::make_open_map(map_, 30, 20);
  for (size_t i = 0; i < map_.CELLS.size(); ++i)
    map_.CELLS[i].ID_GROUND = static_cast<int32_t>(i * 7 % 4);
  map_.SET_CLIP(0, 0, kScreenWidth - 1, kScreenHeight - 1);
  const auto frame = [this](VECTOR2D camera) {
    map_.SET_CAMERA(camera);
    raster::screen_clear();
    map_.DRAW();
    return std::vector<raster::Color>(raster::screen_ptr(),
                                      raster::screen_ptr() + kScreenWidth * kScreenHeight);
  };
  const VECTOR2D block(map_.BLOCK_WIDTH, map_.BLOCK_HEIGHT);
  const VECTOR2D blocks(3 * block.X, 3 * block.Y);
  // -1, 0 or 1 blocks: which picture holds coordinate `at` away from its edges.
  const auto shift = [](int at, int size, int extent) {
    return at < size ? -1 : at >= extent - size ? 1 : 0;
  };
  std::vector<raster::Color> want[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      want[i][j] = frame(blocks + VECTOR2D((i - 1) * block.X, (j - 1) * block.Y));
  for (const VECTOR2D part : {VECTOR2D(7, 5), VECTOR2D(block.X - 1, block.Y - 1)}) {
    const std::vector<raster::Color> got = frame(blocks + part);
    int wrong = 0;
    for (int y = 0; y < kScreenHeight; ++y)
      for (int x = 0; x < kScreenWidth; ++x) {
        const int i = shift(x + part.X, block.X, kScreenWidth);
        const int j = shift(y + part.Y, block.Y, kScreenHeight);
        const int from = (y + part.Y - j * block.Y) * kScreenWidth + x + part.X - i * block.X;
        wrong += got[y * kScreenWidth + x] != want[i + 1][j + 1][from];
      }
    EXPECT_EQ(wrong, 0) << "camera " << blocks + part;
  }
}

// A window that ends on the screen's last pixel keeps it: drawn and picked there (screen
// pixels, inclusive corners).
TEST_F(Camera, AWindowEndingOnTheScreensEdgeKeepsItsLastPixel) {
  reference::make_open_map(map_, 30, 20);
  map_.SET_CLIP(100, 50, 639, 399);
  raster::screen_clear();
  map_.DRAW();
  EXPECT_EQ((Vectors{map_.CLIP_END, map_.WIN_SIZE}), (Vectors{{639, 399}, {539, 349}}));
  EXPECT_EQ(
      (std::array{rgb(639, 399) != 0, rgb(100, 50) != 0, rgb(99, 399) != 0, rgb(639, 49) != 0}),
      (std::array{true, true, false, false}));
  EXPECT_NE(picks(map_, {639, 399}), kNothing);
  // Moved or sized to end on the last pixel or one past it, the window ends on it.
  for (const int past : {0, 1}) {
    map_.SET_WIN_SIZE(200, 100);
    map_.SET_WIN_POSITION(439 + past, 299 + past);
    EXPECT_EQ((Vectors{map_.CLIP_START, map_.CLIP_END}), (Vectors{{439, 299}, {639, 399}}));
    map_.SET_WIN_POSITION(100, 100);
    map_.SET_WIN_SIZE(539 + past, 299 + past);
    EXPECT_EQ((Vectors{map_.CLIP_START, map_.CLIP_END}), (Vectors{{100, 100}, {639, 399}}));
  }
}

// From, to, speed, calls: the camera after them and SCROLL_DONE.
TEST_F(Camera, ScrollStepsAtMostSpeedPerAxisAndLandsExactly) {
  for (const auto& [from, to, speed, calls, camera, done] :
       {std::tuple{VECTOR2D(0, 0), VECTOR2D(100, 0), 8, 12, VECTOR2D(96, 0), 0},
        {{0, 0}, {100, 0}, 8, 13, {100, 0}, -1},
        {{0, 0}, {-5, 3}, 4, 1, {-4, 3}, 0},  // y lands at once
        {{INT32_MIN, INT32_MAX}, {INT32_MAX, INT32_MIN}, -3, 1, {INT32_MAX, INT32_MIN}, -1},
        {{INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MAX}, INT32_MAX, 1, {0, -1}, 0}}) {  // no
                                                                                        // overflow
    map_.SET_CAMERA(from);
    for (int i = 0; i < calls; ++i)
      map_.SCROLL(to, speed);
    EXPECT_EQ(std::pair(map_.CAMERA, map_.SCROLL_DONE), std::pair(camera, done))
        << to << " speed " << speed << " calls " << calls;
  }
}

// Map pixels and what they pick (OVERLAP_WIDTH 12): the documented examples and points left of
// and above the origin, on the bands' edges.
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

// The first two cameras put the table's extreme points on the window's corners (inclusive).
TEST_F(Camera, PicksTheCellUnderAPointInsideTheWindowOnly) {
  for (const VECTOR2D camera : {VECTOR2D(-104, -81), VECTOR2D(-251, -311), VECTOR2D(-150, -99)}) {
    map_.SET_CAMERA(camera);
    for (const auto& [mouse, want] : kPicks)
      EXPECT_EQ(picks(map_, mouse - camera), want) << "camera " << camera << " map pixel " << mouse;
  }
  for (const VECTOR2D p :
       {VECTOR2D(31, 100), VECTOR2D(100, 47), VECTOR2D(352, 100), VECTOR2D(100, 352)})
    EXPECT_EQ(picks(map_, p), kNothing) << p;
  map_.BOX_WIDTH = 0;  // set by hand: no division by zero
  EXPECT_EQ(picks(map_, VECTOR2D(100, 100)), kNothing);
}

}  // namespace
}  // namespace hexmap::testing
