// put_image: the pixel rules of both modes against a plain model, on every set of row loops the
// processor has, and clipping and the opaque-run cache.
#include <algorithm>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

#include "raster/put_kernels.hpp"
#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using detail::PutKernels;

constexpr Color kWhite = 0xFFFFFFFF;
constexpr Color kBlack = 0xFF000000;
constexpr Color kRed = 0xFFFF0000;
constexpr Color kGreen = 0xFF00FF00;

// The target pixel after putting source pixel s over d (alpha 0..255): each colour channel
// becomes d + floor((s - d) * (alpha + 1) / 256) in plain integer arithmetic; alpha 0 draws
// nothing.
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

// Writes pixels (row-major, width w) into img one point at a time.
void fill(Image* img, const std::vector<Color>& px, int w) {
  for (size_t i = 0; i < px.size(); ++i) {
    const float x = static_cast<float>(i % w), y = static_cast<float>(i / w);
    draw_line(img, x, y, x, y, px[i]);
  }
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
  auto src = make_filled(2, 1, kBlack);
  ASSERT_EQ(draw_line(src.get(), 1, 0, 1, 0, 0x00FF00FF), 0);
  for (const auto& [mode, alpha, want] : {std::tuple{put_alpha_blend, 200, 0xFF363636},
                                          {put_alpha_blend, -7, kWhite},
                                          {put_alpha_blend, 1000, kBlack},
                                          {put_transparent, 0, kBlack}}) {
    auto target = make_filled(2, 1, kWhite);
    ASSERT_EQ(put_image(target.get(), 0, 0, src.get(), mode, alpha), 0);
    EXPECT_EQ(pixel(target.get(), 0, 0), want) << alpha;
    EXPECT_EQ(pixel(target.get(), 1, 0), kWhite) << alpha;
  }
}

// Every (source, target) pair of channel values at every opacity: pixel (s, d) of the source
// holds s in red, d in green and s ^ d in blue over a target holding d, s and 255 - s. Rows of
// 256 and 7 pixels put each pair in every lane and in the tails.
TEST_P(RasterPut, AlphaBlendMatchesTheFormulaForEveryCombination) {
  for (int w : {256, 7}) {
    const int h = (65536 + w - 1) / w;
    std::vector<Color> s_px(static_cast<size_t>(w) * h, kTransparent);
    std::vector<Color> d_px(s_px.size(), kWhite);
    for (uint32_t d = 0; d < 256; ++d) {
      for (uint32_t s = 0; s < 256; ++s) {
        s_px[d * 256 + s] = (s << 24) | (s << 16) | (d << 8) | (s ^ d);
        d_px[d * 256 + s] = ((255 - d) << 24) | (d << 16) | (s << 8) | (255 - s);
      }
    }
    auto src = make_image(w, h), base = make_image(w, h), target = make_image(w, h);
    fill(src.get(), s_px, w);
    fill(base.get(), d_px, w);
    for (int alpha = 0; alpha < 256; ++alpha) {
      ASSERT_EQ(image_get(base.get(), 0, 0, w - 1, h - 1, target.get()), 0);
      ASSERT_EQ(put_image(target.get(), 0, 0, src.get(), put_alpha_blend, alpha), 0);
      const auto out = image_pixels(target.get());
      for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i], model(s_px[i], d_px[i], put_alpha_blend, alpha))
            << "rows of " << w << ", alpha " << alpha << ", pixel " << i;
      }
    }
  }
}

// Sprites of every width up to 70 whose rows hold no hole, a few or many (so rows take both the
// run-by-run and the masked paths), put in both modes at clipped and unclipped places.
TEST_P(RasterPut, BothModesFollowThePixelRuleOnRaggedSprites) {
  std::mt19937 rng(7);
  constexpr int kTargetW = 80, kRows = 5;
  constexpr unsigned kHoleOdds[kRows] = {0, 40, 12, 4, 2};  // one pixel in n is a hole; 0: none
  for (int width = 1; width <= 70; ++width) {
    std::vector<Color> src(static_cast<size_t>(width) * kRows);
    for (size_t i = 0; i < src.size(); ++i) {
      const unsigned odds = kHoleOdds[i / width];
      const bool hole = odds != 0 && rng() % odds == 0;
      src[i] = hole ? (rng() % 2 == 0 ? kTransparent : kTransparentKey) : rng() & 0xFFFFFFFEu;
    }
    auto sprite = make_image(width, kRows);
    fill(sprite.get(), src, width);
    for (const int ox : {-5, 0, 3, kTargetW - width, kTargetW - width + 4}) {
      for (const PutMode mode : {put_transparent, put_alpha_blend}) {
        const int alpha = static_cast<int>(rng() % 256);
        std::vector<Color> base(kTargetW * (kRows + 2));
        for (Color& c : base)
          c = rng();
        auto target = make_image(kTargetW, kRows + 2);
        fill(target.get(), base, kTargetW);
        std::vector<Color> want = base;
        for (int y = 0; y < kRows; ++y) {
          for (int x = std::max(0, -ox); x < width && ox + x < kTargetW; ++x) {
            Color& d = want[static_cast<size_t>(y + 1) * kTargetW + ox + x];
            d = model(src[static_cast<size_t>(y) * width + x], d, mode, alpha);
          }
        }
        ASSERT_EQ(put_image(target.get(), static_cast<float>(ox), 1, sprite.get(), mode, alpha), 0);
        const auto got = image_pixels(target.get());
        ASSERT_TRUE(std::equal(got.begin(), got.end(), want.begin()))
            << "width " << width << " at " << ox << (mode == put_transparent ? " keyed" : " blend");
      }
    }
  }
}

TEST_P(RasterPut, StaysInsideTheViewAndTheTargetImage) {
  auto img = make_filled(kWidth, kHeight, kRed);
  ASSERT_EQ(view_set(32, 48, 351, 351), 0);
  for (PutMode mode : {put_transparent, put_alpha_blend}) {
    ASSERT_EQ(put_image(nullptr, 0, 0, img.get(), mode, 255), 0);
    EXPECT_EQ(count_not(kBlack), 320 * 304);
    EXPECT_EQ(picture(31, 47, 2, 2), (std::vector<std::string>{"..", ".#"}));
  }
  // Onto an image, past each edge and at coordinates far beyond it.
  auto src = make_filled(4, 3, kRed);
  auto dst = make_filled(6, 5, kWhite);
  ASSERT_EQ(put_image(dst.get(), -2, -1, src.get(), put_transparent), 0);
  ASSERT_EQ(put_image(dst.get(), 4, 3, src.get(), put_alpha_blend, 255), 0);
  ASSERT_EQ(put_image(dst.get(), 1e9f, -1e9f, src.get(), put_transparent), 0);
  ASSERT_EQ(put_image(dst.get(), -3e38f, 0, src.get(), put_transparent), 0);
  const auto px = image_pixels(dst.get());
  EXPECT_EQ(std::count(px.begin(), px.end(), kRed), 8);
  EXPECT_EQ(pixel(dst.get(), 5, 4), kRed);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_NE(put_image(dst.get(), nan, 0, src.get(), put_transparent), 0);
  EXPECT_NE(put_image(dst.get(), 0, 0, nullptr, put_transparent), 0);
}

TEST_P(RasterPut, OpaqueRunsFollowEveryChangeOfTheSource) {
  auto sprite = make_image(8, 2);
  auto dot = make_filled(2, 1, kGreen);
  auto probe = [&](Color want_at_3, Color want_at_6) {
    ASSERT_EQ(screen_clear(), 0);
    ASSERT_EQ(put_image(nullptr, 0, 0, sprite.get(), put_transparent), 0);
    EXPECT_EQ(at(3, 0), want_at_3);
    EXPECT_EQ(at(6, 1), want_at_6);
  };
  probe(kBlack, kBlack);
  ASSERT_EQ(put_image(sprite.get(), 3, 0, dot.get(), put_transparent), 0);  // put onto it
  probe(kGreen, kBlack);
  ASSERT_EQ(draw_line(sprite.get(), 6, 1, 7, 1, kRed), 0);  // a line onto it
  probe(kGreen, kRed);
  auto blank = make_image(8, 2);
  ASSERT_EQ(image_get(blank.get(), 0, 0, 7, 1, sprite.get()), 0);  // a copy into it
  probe(kBlack, kBlack);
  ASSERT_EQ(draw_commands(sprite.get(), "bm3,0r0"), 0);
  probe(kWhite, kBlack);
  // A put of an image onto itself reads the pixels as they were before it.
  std::vector<Color> row(40);
  for (size_t i = 0; i < row.size(); ++i)
    row[i] = kBlack + static_cast<Color>(i);
  auto strip = make_image(40, 1);
  fill(strip.get(), row, 40);
  ASSERT_EQ(put_image(strip.get(), 1, 0, strip.get(), put_transparent), 0);
  for (int x = 1; x < 40; ++x)
    ASSERT_EQ(pixel(strip.get(), x, 0), row[x - 1]) << x;
}

std::string kernels_name(const testing::TestParamInfo<PutKernels>& info) {
  constexpr const char* kNames[] = {"portable", "avx2", "avx512"};
  return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Kernels, RasterPut,
                         testing::Values(PutKernels::portable, PutKernels::avx2,
                                         PutKernels::avx512),
                         kernels_name);

}  // namespace
}  // namespace raster_test
