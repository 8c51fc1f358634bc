#include "demo/sprite.hpp"

#include "demo/check.hpp"

namespace demo {

namespace {

constexpr const char* kSheetFile = "demo_6way.bmp";

}  // namespace

void load_sprites(Sprites& sprites) {
  raster::Image* sheet = raster::image_create(kSheetWidth, kSheetHeight);
  DEMO_CHECK(raster::bmp_load(kSheetFile, sheet), load_error(kSheetFile));
  for (int j = 0; j < kSpriteRows; ++j) {
    for (int i = 0; i < kSpriteColumns; ++i) {
      raster::Image*& sprite = sprites.SPRITE_IMAGE[i][j];
      sprite = raster::image_create(kSpriteWidth, kSpriteHeight);
      // Sheet pixels, corners inclusive.
      DEMO_CHECK(
          raster::image_get(sheet, sprite_left(i), sprite_top(j), sprite_left(i) + kSpriteWidth - 1,
                            sprite_top(j) + kSpriteHeight - 1, sprite),
          raster::kIllegalFunctionCall);
    }
  }
  sprites.SHADOW_IMAGE = raster::image_create(kShadowWidth, kShadowHeight);
  DEMO_CHECK(raster::image_get(sheet, kShadowLeft, kShadowTop, kShadowLeft + kShadowWidth - 1,
                               kShadowTop + kShadowHeight - 1, sprites.SHADOW_IMAGE),
             raster::kIllegalFunctionCall);
  raster::image_destroy(sheet);
}

void destroy_sprites(Sprites& sprites) {
  for (int j = 0; j < kSpriteRows; ++j) {
    for (int i = 0; i < kSpriteColumns; ++i) {
      raster::Image*& sprite = sprites.SPRITE_IMAGE[i][j];
      if (sprite != nullptr) raster::image_destroy(sprite);
      sprite = nullptr;
    }
  }
  if (sprites.SHADOW_IMAGE != nullptr) raster::image_destroy(sprites.SHADOW_IMAGE);
  sprites.SHADOW_IMAGE = nullptr;
}

void PUT_SPRITE(const Sprites& sprites, int32_t walker, int32_t x, int32_t y, int32_t direction,
                int32_t frame) {
  const int32_t row = (walker & 1) * 2 + frame;
  if (direction < 0 || direction >= kSpriteColumns || row < 0 || row >= kSpriteRows) {
    raster::fatal_error(raster::kOutOfBounds, __LINE__, kModule, __func__);
  }
  // Screen pixels: the sprite's top-left corner.
  DEMO_CHECK(
      raster::put_image(nullptr, static_cast<float>(x - kAnchorX), static_cast<float>(y - kAnchorY),
                        sprites.SPRITE_IMAGE[direction][row], raster::put_transparent),
      raster::kIllegalFunctionCall);
}

void PUT_SPRITE_SHADOW(const Sprites& sprites, int32_t x, int32_t y) {
  DEMO_CHECK(
      raster::put_image(nullptr, static_cast<float>(x - kShadowAnchorX), static_cast<float>(y),
                        sprites.SHADOW_IMAGE, raster::put_alpha_blend, kShadowAlpha),
      raster::kIllegalFunctionCall);
}

}  // namespace demo
