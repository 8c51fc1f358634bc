// Shared fixture of the raster tests: a fresh headless screen for every test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "raster/raster.hpp"

namespace raster_test {

inline constexpr int kWidth = 640;
inline constexpr int kHeight = 400;

struct ImageDeleter {
  void operator()(raster::Image* image) const { raster::image_destroy(image); }
};
using ImagePtr = std::unique_ptr<raster::Image, ImageDeleter>;

inline ImagePtr make_image(int w, int h) {
  return ImagePtr{raster::image_create(w, h)};
}
inline ImagePtr make_filled(int w, int h, raster::Color fill) {
  return ImagePtr{raster::image_create(w, h, fill, 0, true)};
}

class Screen : public ::testing::Test {
 public:
  void SetUp() override {
    raster::select_backend(raster::Backend::headless);
    ASSERT_EQ(raster::screen_set_mode(kWidth, kHeight, 32), 0);
  }
  // Screen pixels.
  static raster::Color at(int x, int y) { return raster::screen_ptr()[y * kWidth + x]; }
  static raster::Color shown(int x, int y) {
    return raster::headless::presented_frame()[static_cast<size_t>(y) * kWidth + x];
  }
  // Image pixels.
  static raster::Color pixel(const raster::Image* image, int x, int y) {
    return raster::image_pixels(image)[static_cast<size_t>(y) * raster::image_width(image) + x];
  }
  // The screen pixels (x0, y0) to (x0 + w - 1, y0 + h - 1) as text: '#' where not black.
  static std::vector<std::string> picture(int x0, int y0, int w, int h) {
    std::vector<std::string> rows;
    for (int y = y0; y < y0 + h; ++y) {
      std::string row;
      for (int x = x0; x < x0 + w; ++x)
        row += at(x, y) != 0xFF000000u ? '#' : '.';
      rows.push_back(row);
    }
    return rows;
  }
  static std::pair<float, float> cursor() {
    float x = 0, y = 0;
    raster::graphics_cursor(x, y);
    return {x, y};
  }
  // Number of screen pixels that differ from colour c.
  static int count_not(raster::Color c) {
    int n = 0;
    for (int i = 0; i < kWidth * kHeight; ++i)
      n += raster::screen_ptr()[i] != c ? 1 : 0;
    return n;
  }
};

}  // namespace raster_test
