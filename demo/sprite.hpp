// The walker sprites and their shadow: cut from the sprite sheet at start-up and put on the
// screen anchored at a walker's feet. Positions are screen pixels.
#pragma once

#include <array>
#include <cstdint>

#include "raster/raster.hpp"

namespace demo {

inline constexpr int kSpriteColumns = 6;  // one per facing direction
inline constexpr int kSpriteRows = 4;     // two walk frames for each of the two walkers
inline constexpr int kSpriteWidth = 24;
inline constexpr int kSpriteHeight = 33;
inline constexpr int kShadowWidth = 20;
inline constexpr int kShadowHeight = 8;
// The sheet: sprites on a 25 x 34 pitch after a one-pixel margin (sheet pixels), the shadow
// below them.
inline constexpr int kSheetWidth = 151;
inline constexpr int kSheetHeight = 146;
inline constexpr int kSpritePitchX = kSpriteWidth + 1;
inline constexpr int kSpritePitchY = kSpriteHeight + 1;
inline constexpr int kShadowLeft = 1;
inline constexpr int kShadowTop = 137;
// The anchor is this pixel of a sprite (sprite pixels): the middle of its feet.
inline constexpr int kAnchorX = 12;
inline constexpr int kAnchorY = 26;
// The shadow is centred under the anchor with its top row on it.
inline constexpr int kShadowAnchorX = 10;
inline constexpr int kShadowAlpha = 200;

// Top-left corner (sheet pixels) of sprite column i, row j.
constexpr int sprite_left(int i) {
  return kSpritePitchX * i + 1;
}
constexpr int sprite_top(int j) {
  return kSpritePitchY * j + 1;
}

struct Sprites {
  // SPRITE_IMAGE(direction, row) and SHADOW_IMAGE; null until cut.
  std::array<std::array<raster::Image*, kSpriteRows>, kSpriteColumns> SPRITE_IMAGE{};
  raster::Image* SHADOW_IMAGE = nullptr;
};

// Cuts the sprites and the shadow out of "demo_6way.bmp" (fatal when the file cannot be read).
void load_sprites(Sprites& sprites);
// Destroys every image that exists, sprites row by row, then the shadow.
void destroy_sprites(Sprites& sprites);

// The sprite of `walker` (only its lowest bit counts) facing `direction` in walk frame `frame`,
// anchored at screen pixel (x, y). A column or row outside the table ends the program with
// "out of bounds array access".
void PUT_SPRITE(const Sprites& sprites, int32_t walker, int32_t x, int32_t y, int32_t direction,
                int32_t frame);
void PUT_SPRITE_SHADOW(const Sprites& sprites, int32_t x, int32_t y);

}  // namespace demo
