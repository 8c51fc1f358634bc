// The demo's data files, drawn by code: the tile sheet, the sprite sheet, the frame picture and
// the map file. Every picture is deterministic.
#pragma once

#include <filesystem>
#include <string>

#include "demo/assets/canvas.hpp"

namespace assets {

// Tile geometry (tile pixels). The hexagon fills the top kBoxHeight rows of a tile: its left
// corner at (0, 16), its top side from x 8 to 28, its right corner at (36, 16). The slanted
// sides climb two rows per column, as the engine's mouse picking models them, so walls line up
// with where a click lands. The rows below the hexagon hold the ground's visible thickness.
inline constexpr int kTileWidth = 36;
inline constexpr int kTileHeight = 40;
inline constexpr int kBoxWidth = 28;   // column pitch
inline constexpr int kBoxHeight = 32;  // row pitch
inline constexpr int kSheetColumns = 6;

// Tile ids of the sheet.
enum Tile : int {
  kWater = 0,  // drawn for cells without ground
  kGrass,
  kMeadow,
  kFlowers,
  kSand,
  kDunes,
  kCobbles,
  kDirt,
  kMoss,
  kTree,  // the solid panel
  kFlood,
  kWallTop,  // the six wall panels, in side order 0..5
  kTileCount = kWallTop + 6,
};

inline constexpr std::string_view kTileSheetFile = "demo_tiles.bmp";

// Draws tile `id` with its top-left corner at (x, y) of the canvas; magenta stays see-through.
void draw_tile(Canvas& canvas, int x, int y, int id);
Canvas tile_sheet();
// Sprite column `facing` (0..5) and row `row` (0..3) of the walker sheet, 24 x 33 pixels.
Canvas walker_sprite(int facing, int row);
Canvas sprite_sheet();
Canvas frame_picture();
// The map file's text, lines ending in CR LF.
std::string map_text();

}  // namespace assets
