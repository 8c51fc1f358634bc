// Image creation limits and rectangle copies.
#include <tuple>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterImage = Screen;

TEST_F(RasterImage, CreateRefusesBadAndAbsurdSizesAndOtherDepths) {
  for (const auto& [w, h, depth] :
       {std::tuple{0, 5, 0}, {5, -1, 0}, {40000, 1, 0}, {20000, 20000, 0}, {4, 4, 16}})
    EXPECT_EQ(image_create(w, h, kRed, depth, true), nullptr) << w << "x" << h << "x" << depth;
  const ImagePtr plain{image_create(24, 33), &image_destroy};
  ASSERT_EQ(put_image(nullptr, 0, 0, plain.get(), put_transparent), 0);
  EXPECT_EQ(count_not(kBlack), 0) << "an image made without a fill draws nothing";
}

// Screen pixel (x, y) gets colour 0xFF000000 + x * 256 + y; rectangles are corners (x1, y1,
// x2, y2), inclusive.
TEST_F(RasterImage, GetCopiesOnlyWholeInclusiveRectanglesOfTheRightSize) {
  for (int i = 0; i < 100; ++i) {
    const auto x = static_cast<float>(i % 10), y = static_cast<float>(i / 10);
    draw_line(nullptr, x, y, x, y, kBlack + static_cast<Color>(i % 10 * 256 + i / 10));
  }
  auto part = make_image(3, 2);
  const int bad[][4] = {{0, 0, 3, 1},  {638, 0, 640, 1}, {-1, 0, 1, 1},
                        {0, -1, 2, 0}, {0, 399, 2, 400}, {2, 1, 0, 0}};
  for (const auto& r : bad)
    EXPECT_NE(image_get(nullptr, r[0], r[1], r[2], r[3], part.get()), 0) << r[0] << "," << r[1];
  EXPECT_NE(image_get(part.get(), 0, 0, 2, 1, nullptr), 0);
  EXPECT_EQ(pixel(part.get(), 2, 1), kTransparent) << "refusals leave dest as it was";
  ASSERT_EQ(image_get(nullptr, 4, 6, 6, 7, part.get()), 0);
  EXPECT_EQ(pixel(part.get(), 0, 0), kBlack + 4 * 256 + 6);
  EXPECT_EQ(pixel(part.get(), 2, 1), kBlack + 6 * 256 + 7);
  auto all = make_image(kWidth, kHeight);
  ASSERT_EQ(image_get(nullptr, 0, 0, kWidth - 1, kHeight - 1, all.get()), 0);
  EXPECT_EQ(pixel(all.get(), 9, 9), kBlack + 9 * 256 + 9);
}

}  // namespace
}  // namespace raster_test
