// The map on screen: a whole frame compared pixel for pixel with a picture kept in
// tests/hexmap/golden/ (after a deliberate change of the picture, run the test once with
// HEXMAP_UPDATE_GOLDEN=1 to rewrite it, and scripts/bmp_to_png.py for the README's copy), then
// what one frame cannot show: ids that are no tile, stored path steps that run in a circle, and
// the refusals.
#include <algorithm>

#include "log_capture.hpp"
#include "screen_map.hpp"
#include "tests/reference/test_maps.hpp"

namespace hexmap::testing {
namespace {

constexpr int kPictureW = 256;
constexpr int kPictureH = 224;
constexpr int kTileW = 32;
constexpr int kTileH = 32;
constexpr int kBoxW = 24;
constexpr int kBoxH = 28;
constexpr raster::Color kMagenta = 0xFFFF00FF;
// Tile ids on the sheet.
constexpr int kVoid = 0;
constexpr int kFirstWallPanel = 3;
constexpr int kSolidPanel = 9;
constexpr int kFloodPanel = 10;
constexpr int kTileCount = 11;
// The flood panel's blue is full, so over black its blue channel shows the blend's opacity.
constexpr raster::Color kFloodBlue = 0xFF3399FF;

const std::filesystem::path kGolden = HEXMAP_GOLDEN_PICTURE;

// Hexagons in the top kBoxH rows; ground tiles have an outline and a side face below.
raster::Color paint(int id, int x, int y) {
  const auto hex = reference::hex_pixel(x, y, kTileW, kBoxH);
  if (id == kVoid) return hex.in_hexagon() ? 0xFF23232Bu : kMagenta;
  if (id < kFirstWallPanel) {
    if (!hex.in_hexagon()) {
      const double bottom = reference::hex_bottom(x, kTileW, kBoxH);
      return y >= bottom && y < bottom + kTileH - kBoxH ? 0xFF3C2E22u : kMagenta;
    }
    if (hex.edge_distance() < 1) return 0xFF2B3326u;
    return id == 1 ? 0xFF5A6B4Eu : 0xFF62754Fu;
  }
  if (id < kSolidPanel) {
    return hex.in_hexagon() && hex.inside[id - kFirstWallPanel] < 3 ? 0xFFF2E6C9u : kMagenta;
  }
  if (id == kSolidPanel)
    return hex.in_hexagon() && hex.edge_distance() >= 4 ? 0xFF8C3B32u : kMagenta;
  return hex.in_hexagon() && hex.edge_distance() >= 2 ? kFloodBlue : kMagenta;
}

class MapPicture : public ScreenMap {
 protected:
  void SetUp() override {
    ScreenMap::SetUp();
    ASSERT_EQ(raster::screen_set_mode(kPictureW, kPictureH, 32), 0);  // before LOAD_TILES
    screen_width_ = kPictureW;
    load_tiles(kTileW, kTileH, kTileCount, paint);
    map_.SET_OVERLAP_SIZE(kBoxW, kBoxH);
    map_.SET_WALL_PANELS(kFirstWallPanel);
    map_.SET_SOLID_PANEL(kSolidPanel);
    map_.SET_FLOODMAP_PANEL(kFloodPanel);
    // A wall from the top edge down between columns 4 and 5, open at the bottom two rows;
    // holes, rocks, a path around the wall and a flood of two steps.
    reference::make_open_map(map_, 10, 7);
    for (MAP_CELL& c : map_.CELLS)
      c.ID_GROUND = (c.POSITION.X + c.POSITION.Y) % 3 == 0 ? 2 : 1;
    for (int32_t y = 0; y < 5; ++y) {
      reference::wall_both_sides(map_, 4, y, 1);
      reference::wall_both_sides(map_, 4, y, 2);
    }
    map_.SET_ID_GROUND(2, 2, 0);
    map_.SET_ID_GROUND(7, 5, 0);
    map_.ASTAR_CELLSETSOLID(6, 1, -1);
    map_.ASTAR_CELLSETSOLID(3, 4, -1);
    map_.FLOODMAP_COMPUTE(2, 5, 2);
    map_.ASTAR_COMPUTE(VECTOR2D(1, 1), VECTOR2D(8, 2), 65535);
    map_.SET_CAMERA(-4, -4);
  }
};

TEST_F(MapPicture, MatchesTheGoldenPicture) {
  ASSERT_TRUE(map_.ASTAR_PATH_FOUND);
  // Brings the process-wide flood pulse to its top, so the frame's flood blends at 193.
  const VECTOR2D origin = map_.GET_POSITION_ON_SCREEN_FOR_GRID(2, 5);
  const auto pulse = [&] {
    raster::screen_clear();
    map_.FLOODMAP_DRAW_PATH();
    return rgb(origin.X, origin.Y) & 0xFF;
  };
  for (int calls = 0; pulse() != 200; ++calls)
    ASSERT_LT(calls, 40) << "the flood pulse never reached 200";
  raster::screen_lock();
  raster::screen_clear();
  map_.DRAW();
  map_.CLIP_ON();
  map_.FLOODMAP_DRAW_PATH();
  map_.ASTAR_DRAW_PATH();
  map_.CLIP_OFF();
  raster::screen_unlock();
  const std::vector<raster::Color>& frame = raster::headless::presented_frame();
  const auto shown = [&](int, int x, int y) { return frame[y * kPictureW + x]; };

  if (std::getenv("HEXMAP_UPDATE_GOLDEN") != nullptr) {
    ASSERT_TRUE(reference::write_tile_sheet(kGolden.string(), kPictureW, kPictureH, 1, shown));
    GTEST_SKIP() << "rewrote " << kGolden;
  }
  raster::Image* golden = raster::image_create(kPictureW, kPictureH);
  ASSERT_EQ(raster::bmp_load(kGolden.string(), golden), 0)
      << kGolden << ": " << raster::failure_reason();
  const bool same = std::ranges::equal(frame, raster::image_pixels(golden),
                                       [](auto a, auto b) { return ((a ^ b) & 0xFFFFFF) == 0; });
  raster::image_destroy(golden);
  const auto actual = std::filesystem::path(::testing::TempDir()) / "map_picture.actual.bmp";
  if (!same) reference::write_tile_sheet(actual.string(), kPictureW, kPictureH, 1, shown);
  EXPECT_TRUE(same) << "pixels differ from " << kGolden << "; this frame is in " << actual;
  for (int call = 0; call < 14; ++call)  // on from 193 down by 7 to no less than 100, up by 5
    pulse();
  EXPECT_EQ(pulse(), 105u);
}

using DrawTest = ScreenMap;

constexpr auto kGrey = [](int, int, int) { return 0xFF808080u; };
bool screen_is_black() {
  return std::all_of(raster::screen_ptr(), raster::screen_ptr() + kScreenWidth * kScreenHeight,
                     [](raster::Color c) { return (c & 0xFFFFFF) == 0; });
}

// Step directions are public fields: ones that lead round in a circle must not hang the walk.
TEST_F(DrawTest, PathStepsInACircleEnd) {
  load_tiles(16, 16, 1, kGrey);
  reference::make_open_map(map_, 6, 5);
  map_.ASTAR_COMPUTE(VECTOR2D(1, 1), VECTOR2D(2, 2), 65535);
  map_.CELLS[2 * 6 + 2].ASTAR_PATH_DIRECTION = 5;  // back to (1, 1), which leads on to (2, 2)
  map_.ASTAR_DRAW_PATH();
  EXPECT_FALSE(screen_is_black());
}

// A one-step path and start = end, over black: the start's arrow shaft leaving its centre (white)
// or its visit dot (red), the end's dot, and 4 pixels up the markers: the end's drawn last, over
// the start's when they meet.
TEST_F(DrawTest, ShortPathsShowTheDotsAndBothMarkersWithTheEndOnTop) {
  load_tiles(16, 16, 1, kGrey);  // radii: start 16 / 3.0, end 16 / 3.3, dot 16 / 5.5
  reference::make_open_map(map_, 6, 5);
  const auto at = [&](VECTOR2D cell, int dy) {
    const VECTOR2D c = map_.GET_POSITION_ON_SCREEN_FOR_GRID(cell.X, cell.Y);
    return rgb(c.X, c.Y + dy);
  };
  const VECTOR2D start(2, 2);
  for (const auto& [end, start_centre, above_start] :
       {std::tuple{VECTOR2D(3, 2), 0xFFFFFFu, 0x007F00u}, {VECTOR2D(2, 2), 0xBF0000u, 0x7F0000u}}) {
    map_.ASTAR_COMPUTE(start, end, 65535);
    raster::screen_clear();
    map_.ASTAR_DRAW_PATH();
    EXPECT_EQ((std::vector{at(start, 0), at(end, 0), at(end, -4), at(start, -4)}),
              (std::vector{start_centre, 0xBF0000u, 0x7F0000u, above_start}))
        << end;
  }
}

// Each row spoils a fresh map whose one tile is no ground id of it, then draws it ('d'), its
// flood ('f') or the off-map cell (6,0) ('c'): the line, if any, and nothing on screen.
TEST_F(DrawTest, RefusalsAreLoggedAndDrawNothing) {
  load_tiles(8, 8, 1, kGrey);
  const std::tuple<void (*)(HEXAGON_MAP&), char, std::string> cases[] = {
      {[](HEXAGON_MAP& m) { m.SET_CAMERA(-50, 30); }, 'd', ""},
      {[](HEXAGON_MAP& m) { m.SET_CAMERA(45, -13); }, 'd', ""},
      {[](HEXAGON_MAP& m) { m.MAP_HEIGHT = 1000; }, 'd',
       "M:   DRAW refused, the map size fields do not match the cells"},
      {[](HEXAGON_MAP& m) { m.BOX_WIDTH = m.BLOCK_WIDTH = 0; }, 'd',
       "M:   DRAW refused, box size (0 x 8) is below 1"},
      {[](HEXAGON_MAP& m) { m.FLOOD_PANEL = 1; }, 'f',
       "M:   FLOOD display skipped, the flood panel is no loaded tile"},
      {[](HEXAGON_MAP& m) { m.MAP_WIDTH = 1000; }, 'f',
       "M:   FLOOD display refused, the map size fields do not match the cells"},
      {[](HEXAGON_MAP& m) { m.ASTAR_CELLSETSTART(0, 1); }, 'c',  // where (6,0) would index
       "M:   A* cell (6,0) is not drawn, it is off the map"},
  };
  for (const auto& [spoil, op, line] : cases) {
    raster::screen_clear();
    HEXAGON_MAP m;
    m.LOG_OFF();
    m.LOAD_TILES(path("tiles.bmp"), 8, 8, 0);
    reference::make_open_map(m, 6, 5);
    m.FLOODMAP_COMPUTE(0, 0, 1);
    spoil(m);
    m.SET_NAME("M");
    m.LOG_ON();
    LogCapture log;
    if (op == 'd') m.DRAW();
    if (op == 'f') m.FLOODMAP_DRAW_PATH();
    if (op == 'c') m.ASTAR_DRAWCELL(6, 0);
    EXPECT_EQ(log.lines(), line.empty() ? Lines{} : Lines{line});
    EXPECT_TRUE(screen_is_black()) << line;
  }
}

}  // namespace
}  // namespace hexmap::testing
