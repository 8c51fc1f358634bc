// put_image: both modes against a plain model on every set of row loops the processor has,
// clipping, and the opaque-run cache.
#include <array>
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

// The target pixel after putting source pixel s over d: each colour channel becomes
// d + floor((s - d) * (alpha + 1) / 256) in plain integer arithmetic; alpha 0 draws nothing.
Color model(Color s, Color d, PutMode mode, int alpha) {
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

// Runs each test on one set of row loops; sets this processor lacks are skipped.
class RasterPut : public Screen, public testing::WithParamInterface<PutKernels> {
 public:
  void SetUp() override {
    Screen::SetUp();
    previous_ = detail::limit_put_kernels(GetParam());
    if (detail::put_kernels() != GetParam()) GTEST_SKIP() << "not supported here";
  }
  void TearDown() override { detail::limit_put_kernels(previous_); }

 private:
  PutKernels previous_ = PutKernels::avx512;
};

// Pins the model at one value (54 in each channel) and checks what it leaves out: the key in
// either mode and opacity outside 0..255 (clamped).
TEST_P(RasterPut, OpacityIsClampedAndTheKeyDrawsNothing) {
  auto src = make_image(2, 1, kBlack);
  ASSERT_EQ(draw_line(src.get(), 1, 0, 1, 0, 0x00FF00FF), 0);
  for (const auto& [mode, alpha, want] : {std::tuple{put_alpha_blend, 200, 0xFF363636},
                                          {put_alpha_blend, -7, kWhite},
                                          {put_alpha_blend, 1000, kBlack},
                                          {put_transparent, 0, kBlack}}) {
    auto target = make_image(2, 1, kWhite);
    ASSERT_EQ(put_image(target.get(), 0, 0, src.get(), mode, alpha), 0);
    EXPECT_EQ(pixel(target.get(), 0, 0), want) << alpha;
    EXPECT_EQ(pixel(target.get(), 1, 0), kWhite) << alpha;
  }
}

// Sprites of every width up to 70 whose rows hold no hole, a few or many (so rows take both the
// run-by-run and the masked paths), put in both modes past every edge of the target and inside.
TEST_P(RasterPut, BothModesFollowTheModelOnRaggedSprites) {
  std::mt19937 rng(7);
  constexpr int kTargetW = 80, kTargetH = 9, kRows = 5;
  constexpr unsigned kHoleOdds[kRows] = {0, 40, 12, 4, 2};  // one pixel in n is a hole; 0: none
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
        const int alpha = static_cast<int>(rng() % 256);
        std::vector<Color> want(kTargetW * kTargetH);
        std::generate(want.begin(), want.end(), rng);
        auto target = filled(want, kTargetW);
        for (int y = std::max(0, -oy); y < kRows && oy + y < kTargetH; ++y) {
          for (int x = std::max(0, -ox); x < width && ox + x < kTargetW; ++x) {
            Color& d = want[static_cast<size_t>(oy + y) * kTargetW + ox + x];
            d = model(src[static_cast<size_t>(y) * width + x], d, mode, alpha);
          }
        }
        ASSERT_EQ(put_image(target.get(), static_cast<float>(ox), static_cast<float>(oy),
                            sprite.get(), mode, alpha),
                  0);
        const auto got = image_pixels(target.get());
        ASSERT_TRUE(std::equal(got.begin(), got.end(), want.begin()))
            << "width " << width << " at " << ox << "," << oy
            << (mode == put_transparent ? " keyed" : " blend");
      }
    }
  }
}

TEST_P(RasterPut, StaysInsideTheViewAndRefusesBadArguments) {
  auto img = make_image(kWidth, kHeight, kRed);
  ASSERT_EQ(view_set(32, 48, 351, 351), 0);
  ASSERT_EQ(put_image(nullptr, 0, 0, img.get(), put_transparent), 0);
  EXPECT_EQ(count_not(kBlack), 320 * 304);
  EXPECT_EQ(picture(31, 47, 2, 2), (Rows{"..", ".#"}));
  // Far beyond any edge draws nothing; a position that is not a number is refused.
  ASSERT_EQ(put_image(nullptr, 1e9f, -1e9f, img.get(), put_transparent), 0);
  ASSERT_EQ(put_image(nullptr, -3e38f, 0, img.get(), put_alpha_blend, 9), 0);
  EXPECT_EQ(count_not(kBlack), 320 * 304);
  EXPECT_NE(put_image(img.get(), std::nanf(""), 0, img.get(), put_transparent), 0);
  EXPECT_NE(put_image(nullptr, 0, 0, nullptr, put_transparent), 0);
}

// Each kind of writer must drop the source's cached opaque runs; a put onto itself reads the
// pixels as they were before it.
TEST_P(RasterPut, OpaqueRunsFollowEveryChangeOfTheSource) {
  auto sprite = make_image(8, 2);
  const auto probe = [&](Color want_at_3, Color want_at_6) {
    ASSERT_EQ(screen_clear(), 0);
    ASSERT_EQ(put_image(nullptr, 0, 0, sprite.get(), put_transparent), 0);
    EXPECT_EQ(std::pair(at(3, 0), at(6, 1)), std::pair(want_at_3, want_at_6));
  };
  probe(kBlack, kBlack);
  ASSERT_EQ(put_image(sprite.get(), 3, 0, make_image(1, 1, kRed).get(), put_transparent), 0);
  probe(kRed, kBlack);
  ASSERT_EQ(draw_line(sprite.get(), 6, 1, 7, 1, kWhite), 0);
  probe(kRed, kWhite);
  ASSERT_EQ(image_get(make_image(8, 2).get(), 0, 0, 7, 1, sprite.get()), 0);
  probe(kBlack, kBlack);
  ASSERT_EQ(draw_commands(sprite.get(), "bm3,0r0"), 0);
  probe(kWhite, kBlack);
  std::vector<Color> row(40);
  std::iota(row.begin(), row.end(), kBlack);
  auto strip = filled(row, 40);
  ASSERT_EQ(put_image(strip.get(), 1, 0, strip.get(), put_transparent), 0);
  EXPECT_TRUE(std::equal(row.begin(), row.end() - 1, image_pixels(strip.get()).begin() + 1));
}

INSTANTIATE_TEST_SUITE_P(Kernels, RasterPut,
                         testing::Values(PutKernels::portable, PutKernels::avx2,
                                         PutKernels::avx512),
                         [](const auto& info) {
                           return std::string(std::array{"portable", "avx2", "avx512"}[info.index]);
                         });

}  // namespace
}  // namespace raster_test
