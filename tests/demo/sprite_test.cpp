#include "demo/sprite.hpp"

#include <gtest/gtest.h>

#include <tuple>

#include "raster/raster.hpp"

namespace demo {
namespace {

// Every sprite one colour of its own: 0xFF00CCRR with column C and row R.
raster::Color colour(int i, int j) {
  return 0xFF000000u | (i + 1) << 8 | (j + 1);
}

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    raster::select_backend(raster::Backend::headless);
    ASSERT_EQ(raster::screen_set_mode(640, 400, 32), 0);
    for (int k = 0; k < kSpriteColumns * kSpriteRows; ++k) {
      const int i = k % kSpriteColumns, j = k / kSpriteColumns;
      sprites.SPRITE_IMAGE[i][j] =
          raster::image_create(kSpriteWidth, kSpriteHeight, colour(i, j), 0, true);
    }
  }
  void TearDown() override { destroy_sprites(sprites); }
  Sprites sprites;
};

// Screen pixels: a sprite anchored at (100, 100) covers (88, 74)-(111, 106), inclusive.
TEST_F(SpriteTest, WalkerBitAndFrameChooseTheRowAndTheAnchorIsTheFeet) {
  // (walker, direction, frame, column, row): odd walkers take rows 2 and 3.
  for (const auto& [walker, direction, frame, column, row] :
       {std::tuple{0, 0, 0, 0, 0}, {2, 5, 1, 5, 1}, {3, 3, 0, 3, 2}, {1, 4, 1, 4, 3}}) {
    PUT_SPRITE(sprites, walker, 100, 100, direction, frame);
    const raster::Color* px = raster::screen_ptr();
    EXPECT_EQ(
        std::tuple(px[74 * 640 + 88], px[106 * 640 + 111], px[73 * 640 + 88], px[107 * 640 + 112]),
        std::tuple(colour(column, row), colour(column, row), 0xFF000000, 0xFF000000))
        << walker << " " << direction << " " << frame;
  }
  EXPECT_EXIT(PUT_SPRITE(sprites, 0, 100, 100, 6, 0), ::testing::ExitedWithCode(6), "");
  EXPECT_EXIT(PUT_SPRITE(sprites, 1, 100, 100, 0, 2), ::testing::ExitedWithCode(6), "");
}

}  // namespace
}  // namespace demo
