// Tile sheets: cutting, counts, the log, refused sheets that must change nothing, the overlap
// geometry and panel clamping.
#include <cstdlib>
#include <fstream>

#include "hexmap/tile_sheet.hpp"
#include "log_capture.hpp"
#include "screen_map.hpp"

namespace hexmap::testing {
namespace {

using Lines = std::vector<std::string>;
using Tiles = ScreenMap;

raster::Color tile_pixel(const raster::Image* tile, int x, int y) {
  return raster::image_pixels(tile)[static_cast<size_t>(y) * raster::image_width(tile) + x];
}

TEST_F(Tiles, FirstLoadCutsTheSheetAndLogsEachStep) {
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
  ASSERT_EQ(map_.TILE_COUNT, 8);
  ASSERT_EQ(map_.TILES.size(), 8u);
  EXPECT_EQ(map_.SCREEN_UNCHECKED, 0);
  EXPECT_EQ(map_.TILE_FILENAME, file);
  // Tile 5 is the sheet rectangle (64,32)-(127,63).
  EXPECT_EQ(tile_pixel(map_.TILES[5], 0, 0), sheet_colour(64, 32));
  EXPECT_EQ(tile_pixel(map_.TILES[5], 63, 31), sheet_colour(127, 63));
  EXPECT_EQ(map_.BOX_WIDTH, 64);
  EXPECT_EQ(map_.BOX_HEIGHT, 32);
  EXPECT_EQ(map_.LOG_ENABLED, -1);
}

struct CountCase {
  const char* name;
  int sheet_width;
  int count;
  int tiles;
  const char* line;
};

class TileCounts : public Tiles, public ::testing::WithParamInterface<CountCase> {};

TEST_P(TileCounts, CountIsCutToTheWholeTilesOfTheSheet) {
  const CountCase& c = GetParam();
  map_.LOAD_TILES(sheet(c.sheet_width, 64), 64, 32, c.count);
  LogCapture capture;
  map_.LOAD_TILES(sheet(c.sheet_width, 64), 64, 32, c.count);
  const Lines lines = capture.lines();
  EXPECT_EQ(map_.TILE_COUNT, c.tiles);
  EXPECT_EQ(map_.TILES.size(), static_cast<size_t>(c.tiles));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[4],
            ":   previous " + std::to_string(c.tiles) + " image buffer, unloaded from memory");
  EXPECT_EQ(lines[5], c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, TileCounts,
    ::testing::Values(CountCase{"ThreeOfEight", 256, 3, 3, ":   3 usable tiles will be used"},
                      CountCase{"TwentyOfEight", 256, 20, 8, ":   all 8 usable tiles will be used"},
                      CountCase{"EightOfEight", 256, 8, 8, ":   all 8 usable tiles will be used"},
                      CountCase{"NarrowSheetOneColumn", 100, 0, 2,
                                ":   all 2 tiles on BMP will be used"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tiles, ReloadKeepsWallPanelsAndResetsSolidAndFloodPanels) {
  const std::string file = sheet(256, 64);
  map_.LOAD_TILES(file, 64, 32, 0);
  map_.SET_WALL_PANELS(1);
  map_.SET_SOLID_PANEL(5);
  map_.SET_FLOODMAP_PANEL(6);
  map_.SET_OVERLAP_SIZE(48, 24);
  map_.LOAD_TILES(file, 64, 32, 0);
  EXPECT_EQ(map_.WALL_PANEL, (std::array<int32_t, 6>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(map_.SOLID_PANEL, 0);
  EXPECT_EQ(map_.FLOOD_PANEL, 0);
  EXPECT_EQ(map_.BOX_WIDTH, 64);
  EXPECT_EQ(map_.BOX_HEIGHT, 32);
}

// Whatever the panels were set to before, they name tiles of the list that exists now.
TEST_F(Tiles, WallPanelsSetWithoutAListAreCutToTheListThatArrives) {
  map_.LOAD_TILES(path("missing.bmp"), 64, 32, 0);  // finds the screen, refuses the sheet
  ASSERT_EQ(map_.TILE_COUNT, -1);
  map_.SET_WALL_PANELS(6);
  map_.SET_SOLID_PANEL(-1);
  EXPECT_EQ(map_.WALL_PANEL, (std::array<int32_t, 6>{6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(map_.SOLID_PANEL, 0);
  map_.LOAD_TILES(sheet(256, 64), 64, 32, 0);
  EXPECT_EQ(map_.WALL_PANEL, (std::array<int32_t, 6>{6, 7, 7, 7, 7, 7}));
  map_.LOAD_TILES(sheet(128, 32), 64, 32, 0);  // a shorter list
  EXPECT_EQ(map_.WALL_PANEL, (std::array<int32_t, 6>{1, 1, 1, 1, 1, 1}));
}

TEST_F(Tiles, PanelIdsAreClampedToTheList) {
  map_.LOAD_TILES(sheet(320, 64), 64, 32, 0);
  ASSERT_EQ(map_.TILE_COUNT, 10);
  const std::pair<int32_t, int32_t> solid[] = {{-1, 9}, {-15, 0}, {12, 9}, {3, 3}, {-10, 0}};
  for (const auto& [id, panel] : solid) {
    map_.SET_SOLID_PANEL(id);
    map_.SET_FLOODMAP_PANEL(id);
    EXPECT_EQ(map_.SOLID_PANEL, panel) << id;
    EXPECT_EQ(map_.FLOOD_PANEL, panel) << id;
  }
  LogCapture capture;
  map_.SET_WALL_PANELS(6);
  EXPECT_EQ(capture.lines(),
            (Lines{": - set wall panel", ":   set wall 0 with 6", ":   set wall 1 with 7",
                   ":   set wall 2 with 8", ":   set wall 3 with 9", ":   set wall 4 with 9",
                   ":   set wall 5 with 9"}));
  map_.SET_WALL_PANELS(-3);
  EXPECT_EQ(map_.WALL_PANEL, (std::array<int32_t, 6>{0, 0, 0, 0, 1, 2}));
}

TEST_F(Tiles, OverlapSizeDerivesTheGeometry) {
  map_.LOAD_TILES(sheet(128, 96), 64, 48, 0);
  map_.SET_CLIP(32, 48, 351, 351);  // WIN_CENTER (191,199)
  LogCapture capture;
  map_.SET_OVERLAP_SIZE(48, -1);
  EXPECT_EQ(capture.lines(), (Lines{": - SET OVERLAP SIZE is called -", ":   overlap offset 48x-1",
                                    ":   tile will be drawn using overlap information"}));
  EXPECT_EQ(map_.BOX_WIDTH, 48);
  EXPECT_EQ(map_.BOX_HEIGHT, 48);
  EXPECT_EQ(map_.ODD_COLUMN_OFFSET, 24);
  EXPECT_EQ(map_.OVERLAP_WIDTH, 16);
  EXPECT_EQ(map_.BLOCK_WIDTH, 96);
  EXPECT_EQ(map_.BLOCK_HEIGHT, 48);
  EXPECT_EQ(map_.CELL_CENTER_X, 32);
  EXPECT_EQ(map_.CELL_CENTER_Y, 24);
  EXPECT_EQ(map_.CENTER_OFFSET, VECTOR2D(32 - 191, 24 - 199));
  EXPECT_EQ(map_.SCREEN_BLOCKS_X, 640 / 96);
  EXPECT_EQ(map_.SCREEN_BLOCKS_Y, 400 / 48);
}

TEST_F(Tiles, OverlapSizeBelowOnePixelIsRefused) {
  map_.LOAD_TILES(sheet(128, 96), 64, 48, 0);
  map_.SET_OVERLAP_SIZE(36, 32);
  for (const auto& [w, h] : {std::pair{0, 32}, {36, 0}, {-4, 32}, {36, -2}}) {
    LogCapture capture;
    map_.SET_OVERLAP_SIZE(w, h);
    EXPECT_EQ(capture.lines(),
              (Lines{": - SET OVERLAP SIZE is called -",
                     ":   overlap offset " + std::to_string(w) + "x" + std::to_string(h) +
                         " refused: box width and height must be 1 to 1048576"}));
    EXPECT_EQ(map_.BOX_WIDTH, 36);
    EXPECT_EQ(map_.BOX_HEIGHT, 32);
    EXPECT_EQ(map_.SCREEN_BLOCKS_X, 640 / 72);
  }
}

TEST_F(Tiles, BadSheetsAreRefusedWithTheReasonAndChangeNothing) {
  const std::string good = sheet(256, 64);
  map_.LOAD_TILES(good, 64, 32, 0);
  map_.SET_WALL_PANELS(2);
  map_.SET_SOLID_PANEL(3);
  map_.SET_OVERLAP_SIZE(48, 24);
  const std::vector<raster::Image*> tiles = map_.TILES;

  std::ofstream(path("text.bmp")) << "BM not really a bitmap, but long enough to hold a header";
  write_bmp(dir_ / "tiny.bmp", 30, 64);
  std::filesystem::create_directory(dir_ / "folder.bmp");
  struct Case {
    std::string file;
    int width, height;
    std::string reason;
  };
  const Case cases[] = {
      {path("missing.bmp"), 64, 32, "file not found"},
      {path("folder.bmp"), 64, 32, "not a regular file"},
      {path("text.bmp"), 64, 32, "not a readable BMP file: unsupported info header size"},
      {path("tiny.bmp"), 64, 32, "sheet (30 x 64) is smaller than one tile (64 x 32)"},
      {good, 0, 32, "tile width and height must be at least 1"},
      {good, 64, -1, "tile width and height must be at least 1"},
  };
  for (const Case& c : cases) {
    map_.LOG_ON();
    LogCapture capture;
    map_.LOAD_TILES(c.file, c.width, c.height, 0);
    const Lines lines = capture.lines();
    ASSERT_EQ(lines.size(), 3u) << c.file;
    EXPECT_EQ(lines[2], ":   load tile graphic '" + c.file + "' refused: " + c.reason);
    EXPECT_EQ(map_.TILES, tiles);
    EXPECT_EQ(map_.TILE_COUNT, 8);
    EXPECT_EQ(map_.TILE_FILENAME, good);
    EXPECT_EQ(map_.TILE_WIDTH, 64);
    EXPECT_EQ(map_.BOX_WIDTH, 48);
    EXPECT_EQ(map_.SOLID_PANEL, 3);
    EXPECT_EQ(map_.WALL_PANEL[0], 2);
  }
  // A huge list is refused unless a count asks for few of its tiles.
  const std::string dust = sheet(1024, 257, "dust.bmp");
  LogCapture capture;
  map_.LOAD_TILES(dust, 1, 1, 0);
  EXPECT_EQ(capture.lines().back(), ":   load tile graphic '" + dust + "' refused: more than " +
                                        std::to_string(detail::kMaxTileCount) + " tiles");
  map_.LOAD_TILES(dust, 1, 1, 100);
  EXPECT_EQ(map_.TILE_COUNT, 100);
}

// Runs in a freshly started copy of the test program, so no screen is open yet.
TEST(TilesWithoutScreen, EverythingIsBypassedButTheWallPanels) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                           ("hexmap_no_screen_" + std::to_string(::getpid()));
        write_bmp(file, 64, 32);
        LogCapture capture;
        HEXAGON_MAP map;
        map.LOAD_TILES(file.string(), 32, 32, 0);
        map.SET_OVERLAP_SIZE(16, 16);
        map.SET_SOLID_PANEL(1);
        map.SET_WALL_PANELS(1);
        const Lines lines = capture.lines();
        std::filesystem::remove(file);
        const bool bypassed =
            lines.size() == 13 && lines[4] == ": - LOAD TILES is called -" &&
            lines[5] == ": - load tile graphic - BYPASSED -" && lines[6] == ": - set wall panel" &&
            map.TILE_COUNT == -1 && map.SCREEN_UNCHECKED == -1 && map.BOX_WIDTH == 0 &&
            map.SOLID_PANEL == 0 && map.WALL_PANEL[5] == 6 && map.TILE_FILENAME.empty();
        std::exit(bypassed ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace hexmap::testing
