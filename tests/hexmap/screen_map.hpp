// Shared fixture of the engine's screen tests: a fresh 640 x 400 headless screen, a scratch
// folder for the BMP sheets the tests write, and a map whose log is captured on demand.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "raster/raster.hpp"

namespace hexmap::testing {

inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 400;

// Sheet pixel (x, y) of the test sheets: every pixel differs from its neighbours, none is
// the transparent key.
inline raster::Color sheet_colour(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>(x) << 12 | static_cast<uint32_t>(y);
}

// Writes a 32-bit bottom-up BMP file of width x height pixels coloured by colour(x, y).
inline void write_bmp(const std::filesystem::path& path, int width, int height,
                      const std::function<raster::Color(int, int)>& colour = sheet_colour) {
  const uint32_t pixel_bytes = static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * 4;
  std::vector<uint8_t> b(54 + pixel_bytes, 0);
  const auto put = [&b](size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
      b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put(2, static_cast<uint32_t>(b.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<uint32_t>(width), 4);
  put(22, static_cast<uint32_t>(height), 4);
  put(26, 1, 2);
  put(28, 32, 2);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      put(54 + (static_cast<size_t>(height - 1 - y) * width + x) * 4, colour(x, y), 4);
  }
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

class ScreenMap : public ::testing::Test {
 protected:
  void SetUp() override {
    raster::select_backend(raster::Backend::headless);
    ASSERT_EQ(raster::screen_set_mode(kScreenWidth, kScreenHeight, 32), 0);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    dir_ = std::filesystem::temp_directory_path() /
           ("hexmap_" + std::to_string(::getpid()) + "_" + name);
    std::filesystem::create_directories(dir_);
    map_.LOG_OFF();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // A sheet file in the scratch folder.
  std::string sheet(int width, int height, const std::string& name = "sheet.bmp") {
    write_bmp(dir_ / name, width, height);
    return (dir_ / name).string();
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
  HEXAGON_MAP map_;
};

}  // namespace hexmap::testing
