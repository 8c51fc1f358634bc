// Shared fixture of the engine's screen tests: a fresh 640 x 400 headless screen, a scratch
// folder for the BMP sheets the tests write, and a map with its log off.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "hexmap/hexagon_map.hpp"
#include "raster/raster.hpp"
#include "tests/reference/tile_sheet.hpp"

namespace hexmap::testing {

inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 400;

// Sheet pixel (x, y): every pixel of a test sheet differs from the others and is opaque.
inline raster::Color sheet_colour(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>(x) << 12 | static_cast<uint32_t>(y);
}

// Every field the window, camera, tile and panel operations write, as text, to tell whether
// an operation changed anything.
inline std::string view_state(const HEXAGON_MAP& m) {
  std::ostringstream s;
  s << m.WIN_SIZE << m.WIN_CENTER << m.CLIP_START << m.CLIP_END << m.CAMERA << m.CENTER_OFFSET
    << m.TILE_FILENAME;
  for (const raster::Image* tile : m.TILES)
    s << ' ' << tile;
  for (const int32_t v : m.WALL_PANEL)
    s << ' ' << v;
  for (const int32_t v :
       {m.TILE_COUNT, m.SOLID_PANEL, m.FLOOD_PANEL, m.TILE_WIDTH, m.TILE_HEIGHT, m.SCREEN_UNCHECKED,
        m.SCREEN_WIDTH, m.SCREEN_HEIGHT, m.CELL_CENTER_X, m.CELL_CENTER_Y, m.ODD_COLUMN_OFFSET,
        m.BOX_WIDTH, m.BOX_HEIGHT, m.OVERLAP_WIDTH, m.BLOCK_WIDTH, m.BLOCK_HEIGHT,
        m.SCREEN_BLOCKS_X, m.SCREEN_BLOCKS_Y})
    s << ' ' << v;
  return s.str();
}

class ScreenMap : public ::testing::Test {
 protected:
  void SetUp() override {
    raster::select_backend(raster::Backend::headless);
    ASSERT_EQ(raster::screen_set_mode(kScreenWidth, kScreenHeight, 32), 0);
    std::filesystem::create_directories(dir_);
    map_.LOG_OFF();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  // Writes a sheet into the scratch folder; its path.
  std::string sheet(int width, int height, const std::string& name = "sheet.bmp") {
    reference::write_tile_sheet(path(name), width, height, 1,
                                [](int, int x, int y) { return sheet_colour(x, y); });
    return path(name);
  }
  // Loads `count` tiles of tile_w x tile_h, paint(i, x, y) giving tile i's pixel (x, y).
  template <class Paint>
  void load_tiles(int tile_w, int tile_h, int count, Paint paint) {
    ASSERT_TRUE(reference::write_tile_sheet(path("tiles.bmp"), tile_w, tile_h, count, paint));
    map_.LOAD_TILES(path("tiles.bmp"), tile_w, tile_h, 0);
    ASSERT_EQ(map_.TILE_COUNT, count);
    map_.LOG_OFF();
  }
  // Screen pixel (x, y) of the frame being built, colour bits only (alpha shows nothing).
  raster::Color rgb(int x, int y) const {
    return raster::screen_ptr()[y * screen_width_ + x] & 0xFFFFFF;
  }

  const std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() / ("hexmap_screen_" + std::to_string(::getpid()));
  HEXAGON_MAP map_;
  int screen_width_ = kScreenWidth;
};

}  // namespace hexmap::testing
