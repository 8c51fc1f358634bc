#include "demo/sprite.hpp"

#include <gtest/gtest.h>

#include "raster/raster.hpp"

namespace demo {
namespace {

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    raster::select_backend(raster::Backend::headless);
    ASSERT_EQ(raster::screen_set_mode(640, 400, 32), 0);
    // Every sprite one colour of its own: 0x00CCRR with column C and row R.
    for (int i = 0; i < kSpriteColumns; ++i) {
      for (int j = 0; j < kSpriteRows; ++j) {
        sprites.SPRITE_IMAGE[i][j] =
            raster::image_create(kSpriteWidth, kSpriteHeight, colour(i, j), 0, true);
      }
    }
    sprites.SHADOW_IMAGE = raster::image_create(kShadowWidth, kShadowHeight, 0xFF000000, 0, true);
  }
  void TearDown() override { destroy_sprites(sprites); }
  static raster::Color colour(int i, int j) { return 0xFF000000u | (i + 1) << 8 | (j + 1); }
  // Screen pixels.
  static raster::Color at(int x, int y) { return raster::screen_ptr()[y * 640 + x]; }

  Sprites sprites;
};

TEST_F(SpriteTest, WalkerBitAndFrameChooseTheRowAndTheAnchorIsTheFeet) {
  struct Case {
    int32_t walker, direction, frame, column, row;
  };
  for (const Case c : {Case{0, 0, 0, 0, 0}, Case{2, 5, 1, 5, 1}, Case{3, 3, 0, 3, 2},
                       Case{1, 4, 1, 4, 3}, Case{0, 1, 2, 1, 2}}) {
    PUT_SPRITE(sprites, c.walker, 100, 100, c.direction, c.frame);
    // Screen pixels: the sprite covers (88, 74)-(111, 106).
    EXPECT_EQ(at(88, 74), colour(c.column, c.row)) << c.walker << " " << c.frame;
    EXPECT_EQ(at(111, 106), colour(c.column, c.row));
    EXPECT_NE(at(87, 74), colour(c.column, c.row));
    EXPECT_NE(at(112, 107), colour(c.column, c.row));
  }
}

}  // namespace
}  // namespace demo
