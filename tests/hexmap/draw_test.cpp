// DRAW beyond the whole-frame picture (which pins the painter's order of overlapping tiles):
// which cell's tile shows where for other cameras, ids that are no tile, the order of the wall
// layers, and the refusals.
#include "log_capture.hpp"
#include "screen_map.hpp"

namespace hexmap::testing {
namespace {

using DrawTest = ScreenMap;
using Colours = std::vector<raster::Color>;

constexpr raster::Color kBlack = 0x000000;
constexpr raster::Color kMagenta = 0xFFFF00FF;

// Opaque, distinct and never black or magenta; colour bits only.
raster::Color tile_colour(int id) {
  return (static_cast<uint32_t>(id) + 1) * 0x2A5F13u & 0xFFFFFFu;
}
raster::Color solid_tile(int id, int /*x*/, int /*y*/) {
  return 0xFF000000u | tile_colour(id);
}

// 16 x 16 tiles on a 16 x 16 box touch without overlapping, so every screen pixel can be traced
// back to the one cell whose box holds it: a map pixel (mx, my) is in column mx / 16 and, after
// the odd columns' 8-pixel drop, in row my / 16 (floor division). Ids not in the list show
// nothing.
TEST_F(DrawTest, EveryScreenPixelShowsTheCellUnderItForCamerasEitherSideOfTheOrigin) {
  constexpr int kTile = 16;
  constexpr int kTiles = 8;
  load_tiles(kTile, kTile, kTiles, solid_tile);
  map_.CREATE_MAP(48, 30);
  for (MAP_CELL& c : map_.CELLS)
    c.ID_GROUND = (c.POSITION.X * 3 + c.POSITION.Y * 5) % kTiles;
  map_.SET_ID_GROUND(1, 0, kTiles);
  map_.SET_ID_GROUND(2, 1, -1);
  map_.SET_ID_GROUND(5, 4, 1 << 30);
  const auto floor_div = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
  for (const VECTOR2D camera : {VECTOR2D(-50, -30), VECTOR2D(45, 13)}) {
    raster::screen_clear();
    map_.SET_CAMERA(camera);
    map_.DRAW();
    int wrong = 0;
    for (int sy = 0; sy < kScreenHeight; ++sy) {
      for (int sx = 0; sx < kScreenWidth; ++sx) {
        const int x = floor_div(sx + camera.X, kTile);
        const int y = floor_div(sy + camera.Y - (x & 1) * (kTile / 2), kTile);
        const int32_t id = map_.INSIDE(x, y) != 0 ? map_.GET_ID_GROUND(x, y) : -1;
        const raster::Color want = id >= 0 && id < kTiles ? tile_colour(id) : kBlack;
        if (rgb(sx, sy) != want && ++wrong <= 3)
          ADD_FAILURE() << "camera " << camera << " screen (" << sx << "," << sy << "), cell "
                        << VECTOR2D(x, y);
      }
    }
    EXPECT_EQ(wrong, 0) << camera;
  }
}

// Tile 0 is ground; tile 1 + n is wall panel n, opaque from column n + 1 on; tile 7 is the
// solid panel, opaque in column 7 only. Each later layer leaves one more column of the ones
// before it visible, so row 0 of a cell's tile tells which layers were drawn in which order.
TEST_F(DrawTest, WallPanelsInSideOrderThenTheSolidPanel) {
  load_tiles(8, 8, 8, [](int id, int x, int) {
    return id == 0 || x >= id ? solid_tile(id, x, 0) : kMagenta;
  });
  map_.SET_WALL_PANELS(1);
  map_.SET_SOLID_PANEL(7);
  map_.CREATE_MAP(4, 1);
  map_.SET_ID_WALL(0, 0, 63);
  map_.ASTAR_CELLSETSOLID(0, 0, -1);
  map_.SET_ID_WALL(2, 0, 1 << 2 | 1 << 4);
  const auto row0 = [&](int cell_x) {
    Colours shown;
    for (int x = 0; x < 8; ++x)
      shown.push_back(rgb(cell_x * 8 + x, 0));
    return shown;
  };
  const auto tiles = [](std::vector<int> ids) {
    Colours colours;
    for (const int id : ids)
      colours.push_back(tile_colour(id));
    return colours;
  };
  map_.DRAW();
  EXPECT_EQ(row0(0), tiles({0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(row0(2), tiles({0, 0, 0, 3, 3, 5, 5, 5}));
  // Panels that are no tile of the list are skipped, the others still drawn.
  map_.WALL_PANEL[1] = 8;
  map_.SOLID_PANEL = -1;
  map_.DRAW();
  EXPECT_EQ(row0(0), tiles({0, 1, 1, 3, 4, 5, 6, 6}));
}

TEST_F(DrawTest, RefusalsAreLoggedAndDrawNothing) {
  HEXAGON_MAP unchecked;
  load_tiles(8, 8, 1, solid_tile);
  const std::pair<void (*)(HEXAGON_MAP&), std::string> cases[] = {
      {[](HEXAGON_MAP&) {}, "M: - DRAW map is bypassed"},  // no screen detected
      {[](HEXAGON_MAP& m) { m.MAP_HEIGHT = 1000; },
       "M:   DRAW refused, the map size fields do not match the cells"},
      {[](HEXAGON_MAP& m) { m.BOX_WIDTH = m.BLOCK_WIDTH = 0; },
       "M:   DRAW refused, box size (0 x 8) is below 1"},
  };
  for (const auto& [spoil, line] : cases) {
    HEXAGON_MAP& target = &spoil == &cases[0].first ? unchecked : map_;
    spoil(target);
    target.SET_NAME("M");
    target.LOG_ON();
    LogCapture log;
    target.DRAW();
    EXPECT_EQ(log.lines(), std::vector<std::string>{line});
    EXPECT_EQ(rgb(0, 0), kBlack) << line;
  }
}

}  // namespace
}  // namespace hexmap::testing
