// Tile sheets: cutting, counts, the log, refused sheets that change nothing, the overlap
// geometry and panel clamping.
#include "hexmap/tile_sheet.hpp"
#include "log_capture.hpp"
#include "screen_map.hpp"

namespace hexmap::testing {
namespace {

using Ints = std::vector<int32_t>;
using Panels = std::array<int32_t, 6>;
using Tiles = ScreenMap;

// A 256 x 64 sheet holds 8 tiles of 64 x 32, ids left to right, then top to bottom. Each later
// load cuts the count to the sheet's whole tiles and names the list it replaced.
TEST_F(Tiles, LoadsCutTheSheetAndLogEachStep) {
  const std::string file = sheet(256, 64);
  map_.LOG_ON();
  LogCapture capture;
  map_.LOAD_TILES(file, 64, 32, 0);
  EXPECT_EQ(capture.lines(),
            (Lines{": - LOAD TILES is called -", ":   graphic screen (640 x 400) detected",
                   ": - SET CLIP area (0,0)-(639,399)",
                   ":   load tile graphic '" + file + "'. size (256 x 64)",
                   ":   each tile piece size (64 x 32)",
                   ":   previous list of tile/image buffer NOT found",
                   ":   all 8 tiles on BMP will be used", ":   creating a list of 8 tiles",
                   ":   8 image buffer, assigned to the list."}));
  EXPECT_EQ(raster::image_pixels(map_.TILES[5])[0], sheet_colour(64, 32));  // tile 5's corner
  for (const auto& [sheet_width, count, tiles, line] :
       {std::tuple{256, 3, 3, ":   3 usable tiles will be used"},
        {256, 20, 8, ":   all 8 usable tiles will be used"},
        {100, 0, 2, ":   all 2 tiles on BMP will be used"}}) {  // 36 pixels unused
    const std::string previous = std::to_string(map_.TILE_COUNT);
    map_.LOG_ON();
    LogCapture log;
    map_.LOAD_TILES(sheet(sheet_width, 64), 64, 32, count);
    const Lines lines = log.lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(Lines(lines.end() - 4, lines.end() - 2),
              (Lines{":   previous " + previous + " image buffer, unloaded from memory", line}));
    EXPECT_EQ(Ints({map_.TILE_COUNT, static_cast<int32_t>(map_.TILES.size())}),
              Ints({tiles, tiles}));
  }
}

// Solid and flood panels are cut into the list, negative ids counted from its end; wall panels
// are cut to its last tile, also when a shorter list is loaded. Reloading resets the solid panel.
TEST_F(Tiles, PanelsAlwaysNameATileOfTheCurrentList) {
  map_.LOAD_TILES(sheet(320, 64), 64, 32, 0);  // 10 tiles
  for (const auto& [id, panel] : {std::pair{-1, 9}, {-15, 0}, {12, 9}, {3, 3}}) {
    map_.SET_SOLID_PANEL(id);
    map_.SET_FLOODMAP_PANEL(id);
    EXPECT_EQ(Ints({map_.SOLID_PANEL, map_.FLOOD_PANEL}), Ints({panel, panel})) << id;
  }
  LogCapture capture;
  map_.SET_WALL_PANELS(6);
  EXPECT_EQ(capture.lines(),
            (Lines{": - set wall panel", ":   set wall 0 with 6", ":   set wall 1 with 7",
                   ":   set wall 2 with 8", ":   set wall 3 with 9", ":   set wall 4 with 9",
                   ":   set wall 5 with 9"}));
  map_.SET_WALL_PANELS(-3);
  EXPECT_EQ(map_.WALL_PANEL, (Panels{0, 0, 0, 0, 1, 2}));
  map_.SET_WALL_PANELS(1);
  map_.LOAD_TILES(sheet(128, 32), 64, 32, 0);
  EXPECT_EQ(map_.WALL_PANEL, (Panels{1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(map_.SOLID_PANEL, 0);
}

TEST_F(Tiles, OverlapSizeDerivesTheGeometryAndRefusesBoxesBelowOnePixel) {
  map_.LOAD_TILES(sheet(128, 96), 64, 48, 0);
  map_.SET_CLIP(32, 48, 351, 351);  // WIN_CENTER (191,199)
  LogCapture capture;
  map_.SET_OVERLAP_SIZE(48, -1);
  const std::string derived = view_state(map_);
  for (const auto& [w, h] : {std::pair{0, 32}, {36, 0}, {-4, 32}, {36, -2}})
    map_.SET_OVERLAP_SIZE(w, h);
  EXPECT_EQ(view_state(map_), derived);
  const Lines lines = capture.lines();
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(
      Lines(lines.begin(), lines.begin() + 5),
      (Lines{": - SET OVERLAP SIZE is called -", ":   overlap offset 48x-1",
             ":   tile will be drawn using overlap information", ": - SET OVERLAP SIZE is called -",
             ":   overlap offset 0x32 refused: box width and height must be 1 to 1048576"}));
  EXPECT_EQ(
      (Ints{map_.BOX_HEIGHT, map_.ODD_COLUMN_OFFSET, map_.OVERLAP_WIDTH, map_.BLOCK_WIDTH,
            map_.CELL_CENTER_X, map_.SCREEN_BLOCKS_X, map_.SCREEN_BLOCKS_Y, map_.CENTER_OFFSET.X}),
      (Ints{48, 24, 16, 96, 32, 6, 8, 32 - 191}));
}

// File, tile size (width = height) and the reason of the refusal.
TEST_F(Tiles, BadSheetsAreRefusedWithTheReasonAndChangeNothing) {
  const std::string good = sheet(256, 64);
  map_.LOAD_TILES(good, 64, 32, 0);
  map_.SET_WALL_PANELS(2);
  map_.SET_SOLID_PANEL(3);
  const std::string before = view_state(map_);
  const std::string dust = sheet(1024, 257, "dust.bmp");
  const std::tuple<std::string, int, std::string> cases[] = {
      {path("missing.bmp"), 32, "file not found"},
      {sheet(30, 64, "tiny.bmp"), 32, "sheet (30 x 64) is smaller than one tile (32 x 32)"},
      {good, 0, "tile width and height must be at least 1"},
      {dust, 1, "more than " + std::to_string(detail::kMaxTileCount) + " tiles"},
  };
  for (const auto& [file, size, reason] : cases) {
    map_.LOG_ON();
    LogCapture capture;
    map_.LOAD_TILES(file, size, size, 0);
    EXPECT_EQ(capture.lines().back(), ":   load tile graphic '" + file + "' refused: " + reason);
    EXPECT_EQ(view_state(map_), before);
  }
  map_.LOAD_TILES(dust, 1, 1, 100);  // few tiles of a huge sheet are fine
  EXPECT_EQ(map_.TILE_COUNT, 100);
}

}  // namespace
}  // namespace hexmap::testing
