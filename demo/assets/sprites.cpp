// The walker sheet: two characters (a blue-clad hero and a red-robed wizard) in six facings
// with two walk frames each, and their common shadow. Sprite pixels; the feet end on row 26.
#include <array>

#include "demo/assets/assets.hpp"
#include "demo/sprite.hpp"

namespace assets {

namespace {

struct Look {
  Color tunic;
  Color trim;
  Color hair;
  Color legs;
  bool robe;  // a long robe and a pointed hat
};

constexpr Look kHero{0x2F62D8, 0xF2F2F2, 0xF0C040, 0x3A3A5A, false};
constexpr Look kWizard{0xC8382A, 0xF0D060, 0xE8E8E8, 0x5A3A2A, true};
constexpr Color kSkin = 0xF2C49A;
constexpr Color kBoots = 0x5A3418;
constexpr Color kInk = 0x1A1410;
constexpr Color kHat = 0x6A3CA8;

// Horizontal lean of a facing: -1 left, 0 up or down, +1 right.
int lean_of(int facing) {
  return facing == 1 || facing == 2 ? 1 : (facing == 4 || facing == 5 ? -1 : 0);
}
bool shows_face(int facing) {
  return facing >= 2 && facing <= 4;
}

}  // namespace

Canvas walker_sprite(int facing, int row) {
  using demo::kSpriteHeight;
  using demo::kSpriteWidth;
  const Look& look = row < 2 ? kHero : kWizard;
  const int frame = row % 2;
  const int lean = lean_of(facing);
  Canvas s(kSpriteWidth, kSpriteHeight, kMagenta);
  // Frame 1 of a side view is the passing pose: legs together, body a pixel higher.
  const int bob = lean != 0 && frame == 1 ? -1 : 0;

  // Legs: near leg lighter than the far one, so the swing shows in every view.
  for (int leg = 0; leg < 2; ++leg) {
    int x = leg == 0 ? 8 : 13;
    int bottom = 26;
    if (lean == 0) {
      if ((leg == 0) == (frame == 0)) bottom = 24;  // this foot is lifted
    } else {
      const int stride = frame == 0 ? 3 : 0;
      x = 10 + lean * (leg == 0 ? stride : -stride);
      if (frame == 1 && leg == 1) bottom = 25;
    }
    const Color shade_of_leg = leg == 0 ? look.legs : shade(look.legs, 0.75);
    s.fill_rect(x, 20 + bob, x + 2, bottom - 2, shade_of_leg);
    s.fill_rect(x, bottom - 1, x + 2, bottom, kBoots);
    s.set(x + (lean >= 0 ? 3 : -1), bottom, kBoots);  // toe
  }

  // Body.
  const int hem = look.robe ? 23 : 21;
  s.fill_rect(7, 13 + bob, 16, hem + bob, look.tunic);
  s.fill_rect(8, 12 + bob, 15, 12 + bob, look.tunic);
  s.fill_rect(7, 18 + bob, 16, 18 + bob, look.trim);  // belt
  s.fill_rect(7, 13 + bob, 7, hem + bob, shade(look.tunic, 1.25));
  s.fill_rect(16, 13 + bob, 16, hem + bob, shade(look.tunic, 0.7));

  // Arms swing against the legs.
  for (int arm = 0; arm < 2; ++arm) {
    const int x = arm == 0 ? 5 : 17;
    int swing = (arm == 0) == (frame == 0) ? 1 : -1;
    int forward = 0;
    if (lean != 0) {
      forward = frame == 0 ? lean * (arm == 0 ? 2 : -2) : 0;
      swing = 0;
    }
    s.fill_rect(x + forward, 14 + bob + swing, x + 1 + forward, 18 + bob + swing, look.tunic);
    s.fill_rect(x + forward, 19 + bob + swing, x + 1 + forward, 20 + bob + swing, kSkin);
  }

  // Head.
  const double cx = 12 + lean;
  s.fill_ellipse(cx, 8 + bob, 5.2, 5.0, kSkin);
  if (shows_face(facing)) {
    s.fill_ellipse(cx, 4.5 + bob, 5.2, 2.6, look.hair);  // fringe
    const int eye_y = 8 + bob;
    if (lean <= 0) s.set(static_cast<int>(cx) - 2 + lean, eye_y, kInk);
    if (lean >= 0) s.set(static_cast<int>(cx) + 2 + lean, eye_y, kInk);
    s.set(static_cast<int>(cx) + lean * 3, eye_y + 2, shade(kSkin, 0.8));  // nose or mouth
    if (look.robe) s.fill_ellipse(cx, 12 + bob, 3.5, 2.5, look.hair);      // beard
  } else {
    s.fill_ellipse(cx, 7.5 + bob, 5.2, 5.0, look.hair);                     // back of the head
    if (lean != 0) s.set(static_cast<int>(cx) + lean * 4, 8 + bob, kSkin);  // an ear
  }
  if (look.robe) {
    // Pointed hat with a brim, its tip leaning with the walker.
    s.fill_rect(4 + lean, 4 + bob, 19 + lean, 5 + bob, kHat);
    for (int y = 0; y < 4; ++y) {
      const int half = 1 + y * 5 / 4;
      s.fill_rect(12 + lean - half + (3 - y) * lean / 2, y + bob, 12 + lean + half, y + bob, kHat);
    }
    s.set(12 + lean + lean, 0 + bob + 1, look.trim);  // a star on the hat
  }
  s.outline(0, 0, kSpriteWidth - 1, kSpriteHeight - 1, kInk);
  return s;
}

Canvas sprite_sheet() {
  using namespace demo;
  Canvas sheet(kSheetWidth, kSheetHeight, kMagenta);
  for (int j = 0; j < kSpriteRows; ++j) {
    for (int i = 0; i < kSpriteColumns; ++i)
      sheet.put(walker_sprite(i, j), sprite_left(i), sprite_top(j));
  }
  sheet.fill_ellipse(kShadowLeft + kShadowWidth / 2.0, kShadowTop + kShadowHeight / 2.0,
                     kShadowWidth / 2.0, kShadowHeight / 2.0, 0x141008);
  return sheet;
}

}  // namespace assets
