// Shared fixture of the engine's screen tests: a fresh 640 x 400 headless screen, a scratch
// folder for the BMP sheets the tests write, and a map with its log off.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "raster/raster.hpp"

namespace hexmap::testing {

// Sheet pixel (x, y): every pixel of a test sheet differs from the others and is opaque.
inline raster::Color sheet_colour(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>(x) << 12 | static_cast<uint32_t>(y);
}

// A 32-bit bottom-up BMP file of width x height pixels coloured by sheet_colour.
inline void write_bmp(const std::filesystem::path& path, int width, int height) {
  std::vector<uint8_t> b(54 + static_cast<size_t>(width) * height * 4, 0);
  const auto put = [&b](size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); };  // x86: LE
  b[0] = 'B';
  b[1] = 'M';
  put(10, 54);  // pixel offset
  put(14, 40);  // info header size
  put(18, width);
  put(22, height);
  put(26, 1 | 32 << 16);  // one plane, 32 bits
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      put(54 + (static_cast<size_t>(height - 1 - y) * width + x) * 4, sheet_colour(x, y));
  }
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
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
    ASSERT_EQ(raster::screen_set_mode(640, 400, 32), 0);
    std::filesystem::create_directories(dir_);
    map_.LOG_OFF();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  // Writes a sheet into the scratch folder; its path.
  std::string sheet(int width, int height, const std::string& name = "sheet.bmp") {
    write_bmp(dir_ / name, width, height);
    return path(name);
  }

  const std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() / ("hexmap_screen_" + std::to_string(::getpid()));
  HEXAGON_MAP map_;
};

}  // namespace hexmap::testing
