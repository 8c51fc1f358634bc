// Shared fixture of the raster tests: a fresh headless screen for every test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "raster/raster.hpp"

namespace raster_test {

inline constexpr int kWidth = 640;
inline constexpr int kHeight = 400;
inline constexpr raster::Color kBlack = 0xFF000000;
inline constexpr raster::Color kWhite = 0xFFFFFFFF;
inline constexpr raster::Color kRed = 0xFFFF0000;
using Rows = std::vector<std::string>;

using ImagePtr = std::unique_ptr<raster::Image, decltype(&raster::image_destroy)>;
inline ImagePtr make_image(int w, int h, raster::Color fill = raster::kTransparent) {
  return {raster::image_create(w, h, fill, 0, true), &raster::image_destroy};
}

class Screen : public ::testing::Test {
 public:
  void SetUp() override {
    raster::select_backend(raster::Backend::headless);
    ASSERT_EQ(raster::screen_set_mode(kWidth, kHeight, 32), 0);
  }
  // Screen pixels: being built, and last shown.
  static raster::Color at(int x, int y) { return raster::screen_ptr()[y * kWidth + x]; }
  static raster::Color shown(int x, int y) {
    return raster::headless::presented_frame()[static_cast<size_t>(y) * kWidth + x];
  }
  // Screen pixels (x0, y0) to (x0 + w - 1, y0 + h - 1) as text: '#' where not black.
  static Rows picture(int x0, int y0, int w, int h) {
    Rows rows(h, std::string(w, '.'));
    for (int i = 0; i < w * h; ++i)
      rows[i / w][i % w] = at(x0 + i % w, y0 + i / w) != kBlack ? '#' : '.';
    return rows;
  }
  static std::pair<float, float> cursor() {
    float x = 0, y = 0;
    raster::graphics_cursor(x, y);
    return {x, y};
  }
  // Number of screen pixels that differ from colour c.
  static int count_not(raster::Color c) {
    const raster::Color* px = raster::screen_ptr();
    return static_cast<int>(kWidth * kHeight - std::count(px, px + kWidth * kHeight, c));
  }
};

}  // namespace raster_test
