// Image creation limits and rectangle copies.
#include <algorithm>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterImage = Screen;

constexpr Color kRed = 0xFFFF0000;

TEST_F(RasterImage, CreateRefusesBadAndAbsurdSizes) {
  for (const auto& [w, h] : {std::pair{0, 5}, {5, -1}, {40000, 1}, {20000, 20000}})
    EXPECT_EQ(image_create(w, h), nullptr) << w << "x" << h;
  EXPECT_NE(failure_reason().find("limit"), std::string_view::npos);
  EXPECT_EQ(image_create(4, 4, 0, 16, true), nullptr) << "only the screen's depth";
  auto fill = ImagePtr{image_create(2, 3, kRed, 32, true)};
  ASSERT_NE(fill, nullptr);
  const auto px = image_pixels(fill.get());
  EXPECT_EQ(std::count(px.begin(), px.end(), kRed), 6);
}

TEST_F(RasterImage, GetCopiesTheInclusiveRectangleOfAnImageOrTheScreen) {
  // Screen pixel (x, y) gets colour 0xFF000000 + x * 256 + y.
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      draw_line(nullptr, static_cast<float>(x), static_cast<float>(y), static_cast<float>(x),
                static_cast<float>(y), 0xFF000000u + static_cast<Color>(x * 256 + y));
    }
  }
  auto part = make_image(3, 2);
  ASSERT_EQ(image_get(nullptr, 4, 6, 6, 7, part.get()), 0);
  EXPECT_EQ(pixel(part.get(), 0, 0), 0xFF000000u + 4 * 256 + 6);
  EXPECT_EQ(pixel(part.get(), 2, 1), 0xFF000000u + 6 * 256 + 7);
  // The whole screen, corner to corner, is inside it.
  auto all = make_image(kWidth, kHeight);
  ASSERT_EQ(image_get(nullptr, 0, 0, kWidth - 1, kHeight - 1, all.get()), 0);
  EXPECT_EQ(pixel(all.get(), 9, 9), 0xFF000000u + 9 * 256 + 9);
}

TEST_F(RasterImage, GetRefusesRectanglesOutsideTheSourceOrOfTheWrongSize) {
  auto src = make_filled(8, 8, kRed);
  auto dest = make_image(3, 2);
  // Corners (x1, y1, x2, y2), inclusive: 4 x 2 into 3 x 2, past the right edge, left of the
  // image, past the bottom, corners swapped.
  const int bad[][4] = {{0, 0, 3, 1}, {6, 0, 8, 1}, {-1, 0, 1, 1}, {0, 7, 2, 8}, {2, 1, 0, 0}};
  for (const auto& r : bad)
    EXPECT_NE(image_get(src.get(), r[0], r[1], r[2], r[3], dest.get()), 0) << r[0] << "," << r[1];
  EXPECT_NE(image_get(nullptr, 638, 0, 640, 1, dest.get()), 0) << "past the screen";
  EXPECT_NE(image_get(src.get(), 0, 0, 2, 1, nullptr), 0);
  const auto px = image_pixels(dest.get());
  EXPECT_EQ(std::count(px.begin(), px.end(), kTransparent), 6);
  ASSERT_EQ(image_get(src.get(), 5, 6, 7, 7, dest.get()), 0);
  EXPECT_EQ(std::count(px.begin(), px.end(), kRed), 6);
}

}  // namespace
}  // namespace raster_test
