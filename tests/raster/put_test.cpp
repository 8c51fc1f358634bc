// put_image: transparency, the alpha blend formula, clipping, and the opaque-run cache.
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterPut = Screen;

constexpr Color kWhite = 0xFFFFFFFF;
constexpr Color kBlack = 0xFF000000;
constexpr Color kRed = 0xFFFF0000;
constexpr Color kGreen = 0xFF00FF00;

// floor((s - d) * w / 256) in plain integer arithmetic.
int floor_div_256(int v) {
  return v >= 0 ? v / 256 : -((-v + 255) / 256);
}
uint32_t blend_channel(uint32_t s, uint32_t d, int alpha) {
  return static_cast<uint32_t>(
      static_cast<int>(d) +
      floor_div_256((static_cast<int>(s) - static_cast<int>(d)) * (alpha + 1)));
}

TEST_F(RasterPut, TransparentKeyIgnoresAlphaButNotColour) {
  auto src = make_image(3, 1);
  auto row = make_filled(3, 1, kWhite);
  const Color sources[] = {0x00FF00FF, 0xFFFF00FF, 0xFFFF00FE};
  for (int i = 0; i < 3; ++i) {
    auto px = make_filled(1, 1, sources[i]);
    ASSERT_EQ(put_image(src.get(), static_cast<float>(i), 0, px.get(), put_transparent), 0);
  }
  for (PutMode mode : {put_transparent, put_alpha_blend}) {
    ASSERT_EQ(put_image(nullptr, 0, 0, row.get(), put_transparent), 0);
    ASSERT_EQ(put_image(nullptr, 0, 0, src.get(), mode, 255), 0);
    EXPECT_EQ(at(0, 0), kWhite);
    EXPECT_EQ(at(1, 0), kWhite);
    EXPECT_EQ(at(2, 0) & 0xFFFFFF, 0xFF00FEu);
  }
}

TEST_F(RasterPut, ImageWithoutFillDrawsNothing) {
  auto img = make_image(24, 33);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(image_width(img.get()), 24);
  EXPECT_EQ(image_height(img.get()), 33);
  EXPECT_EQ(pixel(img.get(), 23, 32), kTransparent);
  ASSERT_EQ(put_image(nullptr, 5, 5, img.get(), put_transparent), 0);
  ASSERT_EQ(put_image(nullptr, 5, 5, img.get(), put_alpha_blend, 128), 0);
  EXPECT_EQ(count_not(kBlack), 0);
}

TEST_F(RasterPut, AlphaBlendEdgeValues) {
  auto black = make_filled(1, 1, kBlack);
  auto white = make_filled(4, 1, kWhite);
  ASSERT_EQ(put_image(nullptr, 0, 0, white.get(), put_transparent), 0);
  ASSERT_EQ(put_image(nullptr, 0, 0, black.get(), put_alpha_blend, 200), 0);
  EXPECT_EQ(at(0, 0), 0xFF363636u);  // 54 in each channel
  ASSERT_EQ(put_image(nullptr, 1, 0, black.get(), put_alpha_blend, 255), 0);
  EXPECT_EQ(at(1, 0), kBlack);
  ASSERT_EQ(put_image(nullptr, 2, 0, black.get(), put_alpha_blend, 0), 0);
  EXPECT_EQ(at(2, 0), kWhite);
  // Out-of-range opacity is clamped.
  ASSERT_EQ(put_image(nullptr, 3, 0, black.get(), put_alpha_blend, -7), 0);
  EXPECT_EQ(at(3, 0), kWhite);
  ASSERT_EQ(put_image(nullptr, 3, 0, black.get(), put_alpha_blend, 1000), 0);
  EXPECT_EQ(at(3, 0), kBlack);
}

TEST_F(RasterPut, AlphaBytesOfTheResult) {
  auto src = make_filled(1, 1, 0x12345678);
  auto dst = make_filled(2, 1, 0xAB000000);
  ASSERT_EQ(put_image(dst.get(), 0, 0, src.get(), put_transparent), 0);
  EXPECT_EQ(pixel(dst.get(), 0, 0), 0x12345678u) << "transparent put copies the whole pixel";
  ASSERT_EQ(put_image(dst.get(), 1, 0, src.get(), put_alpha_blend, 255), 0);
  EXPECT_EQ(pixel(dst.get(), 1, 0), 0xAB345678u) << "blend keeps the target's alpha byte";
}

// Writes pixels (row-major, width w) into img one point at a time.
void fill(raster::Image* img, const std::vector<Color>& px, int w) {
  for (size_t i = 0; i < px.size(); ++i) {
    const float x = static_cast<float>(i % w), y = static_cast<float>(i / w);
    draw_line(img, x, y, x, y, px[i]);
  }
}

// Every (source, target, opacity) combination of one channel: pixel (s, d) of the source holds
// s in red, d in green and s ^ d in blue over a target holding d, s and 255 - s (so some source
// pixels are transparent). The 65536 pairs are laid out in rows of 256, 7 and 3 pixels so that
// every vector width and the scalar tail all see all of them.
TEST_F(RasterPut, AlphaBlendMatchesTheFormulaForEveryCombination) {
  std::vector<Color> src_px(65536), dst_px(65536);
  for (uint32_t d = 0; d < 256; ++d) {
    for (uint32_t s = 0; s < 256; ++s) {
      src_px[d * 256 + s] = (s << 24) | (s << 16) | (d << 8) | (s ^ d);
      dst_px[d * 256 + s] = ((255 - d) << 24) | (d << 16) | (s << 8) | (255 - s);
    }
  }
  for (int w : {256, 7, 3}) {
    SCOPED_TRACE(testing::Message() << "rows of " << w);
    const int h = (65536 + w - 1) / w;
    const size_t n = static_cast<size_t>(w) * h;
    std::vector<Color> s_px = src_px, d_px = dst_px;
    s_px.resize(n, kTransparent);
    d_px.resize(n, kWhite);
    auto src = make_image(w, h);
    auto base = make_image(w, h);
    auto target = make_image(w, h);
    fill(src.get(), s_px, w);
    fill(base.get(), d_px, w);
    int wrong = 0;
    for (int alpha = 0; alpha < 256 && wrong == 0; ++alpha) {
      ASSERT_EQ(image_get(base.get(), 0, 0, w - 1, h - 1, target.get()), 0);
      ASSERT_EQ(put_image(target.get(), 0, 0, src.get(), put_alpha_blend, alpha), 0);
      const auto out = image_pixels(target.get());
      for (size_t i = 0; i < n; ++i) {
        const Color s = s_px[i], d = d_px[i];
        Color want = d;
        if ((s & 0xFFFFFF) != 0xFF00FF && alpha > 0) {
          want = (d & 0xFF000000) | (blend_channel(s >> 16 & 255, d >> 16 & 255, alpha) << 16) |
                 (blend_channel(s >> 8 & 255, d >> 8 & 255, alpha) << 8) |
                 blend_channel(s & 255, d & 255, alpha);
        }
        if (out[i] != want && ++wrong <= 5) {
          ADD_FAILURE() << "alpha " << alpha << " pixel " << i << std::hex << " got " << out[i]
                        << " want " << want;
        }
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(RasterPut, FullScreenPutStaysInsideTheView) {
  auto img = make_filled(kWidth, kHeight, kRed);
  ASSERT_EQ(view_set(32, 48, 351, 351), 0);
  for (PutMode mode : {put_transparent, put_alpha_blend}) {
    ASSERT_EQ(put_image(nullptr, 0, 0, img.get(), mode, 255), 0);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const bool inside = x >= 32 && x <= 351 && y >= 48 && y <= 351;
        ASSERT_EQ(at(x, y), inside ? kRed : kBlack) << x << "," << y;
      }
    }
  }
}

TEST_F(RasterPut, ClipsAtEveryEdgeOfAnImageTarget) {
  auto src = make_filled(4, 3, kRed);
  auto dst = make_filled(6, 5, kWhite);
  ASSERT_EQ(put_image(dst.get(), -2, -1, src.get(), put_transparent), 0);
  ASSERT_EQ(put_image(dst.get(), 4, 3, src.get(), put_alpha_blend, 255), 0);
  ASSERT_EQ(put_image(dst.get(), 1e9f, -1e9f, src.get(), put_transparent), 0);
  ASSERT_EQ(put_image(dst.get(), -3e38f, 0, src.get(), put_transparent), 0);
  const char* want[] = {"RR....", "RR....", "......", "....RR", "....RR"};
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) {
      EXPECT_EQ(pixel(dst.get(), x, y), want[y][x] == 'R' ? kRed : kWhite) << x << "," << y;
    }
  }
  EXPECT_NE(
      put_image(dst.get(), std::numeric_limits<float>::quiet_NaN(), 0, src.get(), put_transparent),
      0);
  EXPECT_NE(
      put_image(dst.get(), 0, std::numeric_limits<float>::infinity(), src.get(), put_transparent),
      0);
  EXPECT_NE(put_image(dst.get(), 0, 0, nullptr, put_transparent), 0);
}

TEST_F(RasterPut, OpaqueRunsFollowEveryChangeOfTheSource) {
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
  ASSERT_EQ(draw_circle(sprite.get(), 6, 1, 0.4f, kWhite, 0, 0, 6.2831859f, true), 0);
  probe(kBlack, kWhite);
  ASSERT_EQ(draw_commands(sprite.get(), "bm3,0r0"), 0);
  probe(kWhite, kWhite);
}

// Sprites of every width up to 40 with scattered holes, put at clipped and unclipped places:
// each target pixel must be the source pixel where that is opaque, else unchanged.
TEST_F(RasterPut, TransparentPutMatchesThePixelRuleOnRaggedSprites) {
  std::mt19937 rng(7);
  const auto random_colour = [&] { return static_cast<Color>(rng()) & 0xFFFFFFFEu; };
  for (int width = 1; width <= 40; ++width) {
    auto sprite = make_image(width, 3);
    std::vector<Color> src(static_cast<size_t>(width) * 3);
    for (size_t i = 0; i < src.size(); ++i) {
      const bool hole = rng() % 4 == 0;
      src[i] = hole ? (rng() % 2 == 0 ? kTransparent : kTransparentKey) : random_colour();
      const int x = static_cast<int>(i % width);
      const int y = static_cast<int>(i / width);
      ASSERT_EQ(draw_line(sprite.get(), x, y, x, y, src[i]), 0);
    }
    for (const int ox : {-5, 0, 3, 50 - width}) {
      auto dst = make_filled(50, 4, 0xFF123456);
      std::vector<Color> want(50 * 4, 0xFF123456);
      for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < width; ++x) {
          const Color c = src[static_cast<size_t>(y) * width + x];
          const int tx = ox + x;
          if (tx >= 0 && tx < 50 && (c & 0xFFFFFF) != kTransparentKey) want[(y + 1) * 50 + tx] = c;
        }
      }
      ASSERT_EQ(put_image(dst.get(), static_cast<float>(ox), 1, sprite.get(), put_transparent), 0);
      for (int i = 0; i < 50 * 4; ++i) {
        ASSERT_EQ(pixel(dst.get(), i % 50, i / 50), want[i]) << "width " << width << " at " << ox;
      }
    }
  }
}

TEST_F(RasterPut, ImageOntoItselfUsesTheOriginalPixels) {
  auto img = make_image(4, 1);
  auto red = make_filled(1, 1, kRed);
  ASSERT_EQ(put_image(img.get(), 0, 0, red.get(), put_transparent), 0);
  ASSERT_EQ(put_image(img.get(), 1, 0, img.get(), put_transparent), 0);
  EXPECT_EQ(pixel(img.get(), 0, 0), kRed);
  EXPECT_EQ(pixel(img.get(), 1, 0), kRed);
  EXPECT_EQ(pixel(img.get(), 2, 0), kTransparent);
}

}  // namespace
}  // namespace raster_test
