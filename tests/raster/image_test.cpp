// Images: creation limits, rectangle copies, and put_image in both modes against a plain model
// on every set of row loops the processor has, clipping, and the opaque-run cache.
#include <cmath>
#include <numeric>
#include <random>
#include <tuple>

#include "raster/put_kernels.hpp"
#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using detail::PutKernels;
using RasterImage = Screen;

TEST_F(RasterImage, CreateRefusesBadAndAbsurdSizesAndOtherDepths) {
  for (const auto& [w, h, depth] :
       {std::tuple{0, 5, 0}, {5, -1, 0}, {40000, 1, 0}, {20000, 20000, 0}, {4, 4, 16}})
    EXPECT_EQ(image_create(w, h, kRed, depth, true), nullptr) << w << "x" << h << "x" << depth;
  const ImagePtr plain{image_create(24, 33), &image_destroy};  // draws nothing when put
  EXPECT_EQ(std::ranges::count(image_pixels(plain.get()), kTransparent), 24 * 33);
}

// The target pixel after putting source pixel s over d: alpha is clamped to 0..255 and each
// colour channel becomes d + floor((s - d) * (alpha + 1) / 256); alpha 0 draws nothing.
Color model(Color s, Color d, PutMode mode, int alpha) {
  alpha = std::clamp(alpha, 0, 255);
  if ((s & 0xFFFFFF) == kTransparentKey || (mode == put_alpha_blend && alpha == 0)) return d;
  if (mode == put_transparent) return s;
  Color out = d & 0xFF000000;
  for (int shift : {0, 8, 16}) {
    const int sc = static_cast<int>(s >> shift & 255), dc = static_cast<int>(d >> shift & 255);
    const int v = (sc - dc) * (alpha + 1);
    out |= static_cast<Color>(dc + (v >= 0 ? v / 256 : -((-v + 255) / 256))) << shift;
  }
  return out;
}

// An image holding px (row-major, w wide), written behind the layer's back.
ImagePtr filled(const std::vector<Color>& px, int w) {
  ImagePtr img = make_image(w, static_cast<int>(px.size()) / w);
  img->pixels = px;
  img->mark_changed();
  return img;
}

// Image pixel (x, y) of the source holds kBlack + 10 * y + x; rectangles are corners (x1, y1,
// x2, y2), inclusive: too wide, past each edge, swapped.
TEST_F(RasterImage, GetCopiesOnlyWholeInclusiveRectanglesOfTheRightSize) {
  std::vector<Color> px(100);
  std::iota(px.begin(), px.end(), kBlack);
  auto src = filled(px, 10), part = make_image(3, 2), all = make_image(kWidth, kHeight);
  const int bad[][4] = {{0, 0, 3, 1},  {8, 0, 10, 1}, {-1, 0, 1, 1},
                        {0, -1, 2, 0}, {0, 9, 2, 10}, {2, 1, 0, 0}};
  for (const auto& [x1, y1, x2, y2] : bad)
    EXPECT_NE(image_get(src.get(), x1, y1, x2, y2, part.get()), 0) << x1 << "," << y1;
  EXPECT_NE(image_get(nullptr, 638, 0, 640, 1, part.get()), 0);
  EXPECT_EQ(image_pixels(part.get())[5], kTransparent) << "refusals leave dest as it was";
  ASSERT_EQ(image_get(src.get(), 4, 6, 6, 7, part.get()), 0);
  EXPECT_EQ(std::pair(image_pixels(part.get())[0], image_pixels(part.get())[5]),
            std::pair(kBlack + 64, kBlack + 76));
  ASSERT_EQ(image_get(nullptr, 0, 0, kWidth - 1, kHeight - 1, all.get()), 0);
  EXPECT_EQ(image_pixels(all.get()).back(), kBlack);
}

// Sprites of every width up to 70 whose rows hold no hole, a few or many (so rows take both the
// run-by-run and the masked paths), put in both modes past every edge of the target and
// inside, with opacities a little beyond 0..255, on each set of row loops this processor has.
TEST_F(RasterImage, BothModesFollowTheModelOnRaggedSpritesWithEveryKernelSet) {
  ASSERT_EQ(model(kBlack, kWhite, put_alpha_blend, 200), 0xFF363636u);  // 255 - 255 * 201 / 256
  constexpr int kTargetW = 80, kTargetH = 9, kRows = 5;
  constexpr unsigned kHoleOdds[kRows] = {0, 40, 12, 4, 2};  // one pixel in n is a hole; 0: none
  const PutKernels cap = detail::limit_put_kernels(PutKernels::avx512);
  for (PutKernels kernels : {PutKernels::portable, PutKernels::avx2, PutKernels::avx512}) {
    detail::limit_put_kernels(kernels);
    if (detail::put_kernels() != kernels) continue;  // not on this processor
    std::mt19937 rng(7);
    for (int width = 1; width <= 70; ++width) {
      std::vector<Color> src(static_cast<size_t>(width) * kRows);
      for (size_t i = 0; i < src.size(); ++i) {
        const unsigned odds = kHoleOdds[i / width];
        const bool hole = odds != 0 && rng() % odds == 0;
        src[i] = hole ? (rng() % 2 == 0 ? kTransparent : kTransparentKey) : rng() & 0xFFFFFFFEu;
      }
      auto sprite = filled(src, width);
      for (const auto& [ox, oy] :
           {std::pair{-5, -2}, {0, 0}, {3, 2}, {kTargetW - width, 4}, {kTargetW - width + 4, 7}}) {
        for (const PutMode mode : {put_transparent, put_alpha_blend}) {
          const int alpha = static_cast<int>(rng() % 280) - 12;
          std::vector<Color> want(kTargetW * kTargetH);
          std::generate(want.begin(), want.end(), rng);
          auto target = filled(want, kTargetW);
          for (int i = 0; i < kTargetW * kTargetH; ++i) {
            const int x = i % kTargetW - ox, y = i / kTargetW - oy;  // source pixel under i
            if (x >= 0 && x < width && y >= 0 && y < kRows)
              want[i] = model(src[y * width + x], want[i], mode, alpha);
          }
          ASSERT_EQ(put_image(target.get(), ox, oy, sprite.get(), mode, alpha), 0);
          ASSERT_TRUE(std::ranges::equal(image_pixels(target.get()), want))
              << "kernels " << int(kernels) << ", mode " << int(mode) << ", alpha " << alpha << ", "
              << width << " wide at " << ox << "," << oy;
        }
      }
    }
  }
  detail::limit_put_kernels(cap);
}

TEST_F(RasterImage, StaysInsideTheViewAndRefusesBadArguments) {
  auto img = make_image(kWidth, kHeight, kRed);
  ASSERT_EQ(view_set(32, 48, 351, 351), 0);
  ASSERT_EQ(put_image(nullptr, 0, 0, img.get(), put_transparent), 0);
  ASSERT_EQ(put_image(nullptr, 1e9f, -3e38f, img.get(), put_transparent), 0);  // far off
  EXPECT_EQ(count_not(kBlack), 320 * 304);
  EXPECT_EQ(picture(31, 47, 2, 2), (Rows{"..", ".#"}));
  EXPECT_NE(put_image(img.get(), std::nanf(""), 0, img.get(), put_transparent), 0);
}

// Each kind of writer must drop the source's cached opaque runs.
TEST_F(RasterImage, OpaqueRunsFollowEveryChangeOfTheSource) {
  auto sprite = make_image(8, 2);
  const auto shows = [&](Color want) {  // at screen pixel (6, 1), once the sprite is put
    ASSERT_EQ(put_image(nullptr, 0, 0, sprite.get(), put_transparent), 0);
    EXPECT_EQ(at(6, 1), want);
  };
  shows(kBlack);
  ASSERT_EQ(put_image(sprite.get(), 6, 1, make_image(1, 1, kRed).get(), put_transparent), 0);
  shows(kRed);
  ASSERT_EQ(image_get(make_image(8, 2).get(), 0, 0, 7, 1, sprite.get()), 0);
  ASSERT_EQ(screen_clear(), 0);
  shows(kBlack);
  ASSERT_EQ(draw_line(sprite.get(), 6, 1, 6, 1, kWhite), 0);
  shows(kWhite);
}

}  // namespace
}  // namespace raster_test
