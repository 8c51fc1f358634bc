// The frame picture: a bevelled frame around the view window, a title, and a side panel that
// explains the controls. Screen pixels; the help lines' text rows stay black.
#include <array>
#include <string_view>

#include "demo/assets/assets.hpp"
#include "demo/layout.hpp"
#include "demo/sprite.hpp"

namespace assets {

namespace {

using demo::kScreenHeight, demo::kScreenWidth;
using demo::kViewLeft, demo::kViewTop, demo::kViewRight, demo::kViewBottom;
// Pixel rows of the help lines: two text rows at the top, one at the bottom, inclusive.
constexpr int kHelpTopEnd = (demo::kHelpTopRow + 1) * demo::kTextCellSize - 1;
constexpr int kHelpBottomStart = (demo::kHelpBottomRow - 1) * demo::kTextCellSize;
constexpr int kHelpBottomEnd = kHelpBottomStart + demo::kTextCellSize - 1;
constexpr int kBevel = 8;
constexpr int kPanelLeft = 376;
constexpr int kPanelRight = 615;

constexpr Color kGold = 0xF0C850;
constexpr Color kText = 0xD8DCE4;
constexpr Color kDim = 0x9AA0AC;

void background(Canvas& c) {
  c.paint(0, 0, kScreenWidth - 1, kScreenHeight - 1, [](int x, int y, Color& out) {
    // Stone blocks, 40 x 20, every other course shifted by half a block.
    const int bx = (x + (y / 20 % 2) * 20) % 40;
    const int by = y % 20;
    Color p = mix(0x2A2E38, 0x343946, noise(x / 3, y / 3, 3));
    if (bx == 0 || by == 0) p = 0x1C1F26;
    if (bx == 1 || by == 1) p = 0x3E4452;
    out = p;
    return true;
  });
}

// A raised frame of width kBevel around the rectangle (x1, y1)-(x2, y2), which is left as is.
void bevel_frame(Canvas& c, int x1, int y1, int x2, int y2) {
  c.paint(x1 - kBevel, y1 - kBevel, x2 + kBevel, y2 + kBevel, [&](int dx, int dy, Color& out) {
    const int x = x1 - kBevel + dx;
    const int y = y1 - kBevel + dy;
    if (x >= x1 && x <= x2 && y >= y1 && y <= y2) return false;
    const int from_outside =
        std::min({x - (x1 - kBevel), y - (y1 - kBevel), (x2 + kBevel) - x, (y2 + kBevel) - y});
    const bool upper_left = x - (x1 - kBevel) == from_outside || y - (y1 - kBevel) == from_outside;
    Color p = mix(0x8A6A3A, 0xB08848, noise(x, y / 2, 9));
    if (from_outside == 0 || from_outside == kBevel - 1)
      p = 0x2A1C0C;
    else if (from_outside < 3)
      p = shade(p, upper_left ? 1.3 : 0.7);
    else if (from_outside > kBevel - 3)
      p = shade(p, upper_left ? 0.7 : 1.3);
    out = p;
    return true;
  });
}

void panel(Canvas& c, int x1, int y1, int x2, int y2) {
  bevel_frame(c, x1, y1, x2, y2);
  c.paint(x1, y1, x2, y2, [](int x, int y, Color& out) {
    out = mix(0x1C2029, 0x232834, noise(x / 2, y / 2, 4));
    return true;
  });
}

struct Control {
  std::string_view key;
  std::string_view what;
};

}  // namespace

Canvas frame_picture() {
  Canvas c(kScreenWidth, kScreenHeight, 0);
  background(c);
  c.fill_rect(0, 0, kScreenWidth - 1, kHelpTopEnd + 2, 0x000000);
  c.fill_rect(0, kHelpBottomStart - 2, kScreenWidth - 1, kHelpBottomEnd + 2, 0x000000);

  draw_text(c, kViewLeft - 4, 21, "HEXMAP", kGold, 2, 0x000000);
  draw_text(c, kViewLeft + 100, 26, "walkers, walls and A* paths", kDim, 1, 0x000000);

  bevel_frame(c, kViewLeft, kViewTop, kViewRight, kViewBottom);
  c.fill_rect(kViewLeft, kViewTop, kViewRight, kViewBottom, 0x000000);

  panel(c, kPanelLeft, kViewTop, kPanelRight, kViewBottom);
  const int left = kPanelLeft + 12;
  int y = kViewTop + 10;
  draw_text(c, left, y, "CONTROLS", kGold, 2, 0x000000);
  y += 24;
  constexpr std::array<Control, 5> kControls = {{
      {"LEFT CLICK", "send the hero to a cell"},
      {"RIGHT CLICK", "build or break a wall"},
      {"F1  F2  F3", "paths, sight fog, range"},
      {"SPACE", "follow the other walker"},
      {"ESC", "leave"},
  }};
  for (const Control& control : kControls) {
    draw_text(c, left, y, control.key, kGold, 1, 0x000000);
    draw_text(c, left + 8, y + 10, control.what, kText, 1, 0x000000);
    y += 22;
  }

  draw_text(c, left, y, "WALKERS", kGold, 1, 0x000000);
  y += 10;
  constexpr std::array<Control, 2> kWalkers = {{
      {"HERO", "walks where you click"},
      {"WIZARD", "roams near the road"},
  }};
  for (size_t i = 0; i < kWalkers.size(); ++i) {
    c.put(walker_sprite(3, static_cast<int>(i) * 2), left, y);
    draw_text(c, left + 30, y + 8, kWalkers[i].key, kText, 1, 0x000000);
    draw_text(c, left + 30, y + 18, kWalkers[i].what, kDim, 1, 0x000000);
    y += 33;
  }

  y += 2;
  draw_text(c, left, y, "TERRAIN", kGold, 1, 0x000000);
  y += 12;
  struct Sample {
    int tile;
    std::string_view name;
  };
  constexpr std::array<Sample, 4> kSamples = {
      {{kCobbles, "road"}, {kWater, "water"}, {kTree, "tree"}, {kWallTop, "wall"}}};
  for (size_t i = 0; i < kSamples.size(); ++i) {
    const int x = left + 6 + static_cast<int>(i) * 54;
    // Trees and walls stand on grass; water lies below the ground around it.
    if (kSamples[i].tile != kCobbles) draw_tile(c, x, y, kGrass);
    if (kSamples[i].tile == kWater) c.fill_rect(x + 8, y, x + 27, y + 5, 0x7A5A3A);
    draw_tile(c, x, y, kSamples[i].tile);
    if (kSamples[i].tile == kWallTop) {
      for (int side : {3, 4, 5})
        draw_tile(c, x, y, kWallTop + side);
    }
    const int name_x = x + 18 - text_width(kSamples[i].name) / 2;
    draw_text(c, name_x, y + 42, kSamples[i].name, kText);
  }
  return c;
}

}  // namespace assets
