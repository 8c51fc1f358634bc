// Map drawing: the visible cells' ground tiles, wall panels and solid panels, walked in blocks
// of two columns by one row across the screen, in the layout's painter's order.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "hexmap/draw_support.hpp"
#include "hexmap/grid_geometry.hpp"
#include "hexmap/hexagon_map.hpp"
#include "raster/raster.hpp"

namespace hexmap {
namespace {

// The walk reaches this many blocks beyond the screen's on each side, so that tiles reaching
// into the window from just outside it appear (block units; rows need two more below, where
// tall tiles of the next rows hang up into the window).
constexpr int64_t kBlocksBefore = 1;
constexpr int64_t kColumnsAfter = 1;
constexpr int64_t kRowsAfter = 2;

// The panel images of one frame, looked up once; nullptr for ids that are no loaded tile.
struct Panels {
  std::array<raster::Image*, detail::kDirectionCount> wall{};
  raster::Image* solid = nullptr;
};

Panels panels_of(const HEXAGON_MAP& map) {
  Panels panels;
  for (int32_t side = 0; side < detail::kDirectionCount; ++side)
    panels.wall[side] = detail::tile_image(map, map.WALL_PANEL[side]);
  panels.solid = detail::tile_image(map, map.SOLID_PANEL);
  return panels;
}

void put(const raster::Image* tile, int64_t x, int64_t y) {
  if (tile != nullptr) {
    raster::put_image(nullptr, static_cast<float>(x), static_cast<float>(y), tile,
                      raster::put_transparent);
  }
}

// One cell's layers with its tile's top-left corner at screen pixel (x, y).
void put_cell(const HEXAGON_MAP& map, const Panels& panels, const MAP_CELL& cell, int64_t x,
              int64_t y) {
  put(detail::tile_image(map, cell.ID_GROUND), x, y);
  for (int32_t side = 0; side < detail::kDirectionCount; ++side) {
    if ((cell.ID_WALL >> side & 1) != 0) put(panels.wall[side], x, y);
  }
  if (cell.SOLID != 0) put(panels.solid, x, y);
}

std::string box_refusal(const HEXAGON_MAP& map) {
  if (map.BOX_WIDTH >= 1 && map.BOX_HEIGHT >= 1 && map.BLOCK_WIDTH >= 1 && map.BLOCK_HEIGHT >= 1)
    return {};
  std::string line = ":   DRAW refused, box size (";
  line.append(std::to_string(map.BOX_WIDTH)).append(" x ").append(std::to_string(map.BOX_HEIGHT));
  return line.append(") is below 1");
}

}  // namespace

void HEXAGON_MAP::DRAW() {
  if (SCREEN_UNCHECKED == -1) {
    log_line(": - DRAW map is bypassed");
    return;
  }
  if (const std::string why = box_refusal(*this); !why.empty()) {
    log_line(why);
    return;
  }
  if (!detail::size_fields_match(*this)) {
    log_line(":   DRAW refused, the map size fields do not match the cells");
    return;
  }
  // The camera in whole blocks and a remainder, both truncated towards zero (map pixels).
  const int64_t block_w = BLOCK_WIDTH;
  const int64_t block_h = BLOCK_HEIGHT;
  const int64_t block_x = CAMERA.X / block_w;
  const int64_t rest_x = CAMERA.X % block_w;
  const int64_t block_y = CAMERA.Y / block_h;
  const int64_t rest_y = CAMERA.Y % block_h;

  LOG_OFF();
  CLIP_ON();
  LOG_ON();
  const Panels panels = panels_of(*this);
  // Block rows and columns walked (inclusive), cut to those that hold cells of the map; the
  // cells left out would be skipped anyway.
  const int64_t row_first = std::max(-kBlocksBefore, -block_y);
  const int64_t row_last =
      std::min(int64_t{SCREEN_BLOCKS_Y} + kRowsAfter, MAP_HEIGHT - 1 - block_y);
  const int64_t col_first = std::max(-kBlocksBefore, -block_x);
  const int64_t screen_col_last = int64_t{SCREEN_BLOCKS_X} + kColumnsAfter;
  const int64_t even_last = std::min(screen_col_last, (MAP_WIDTH + 1) / 2 - 1 - block_x);
  const int64_t odd_last = std::min(screen_col_last, MAP_WIDTH / 2 - 1 - block_x);

  for (int64_t r = row_first; r <= row_last; ++r) {
    const MAP_CELL* row = CELLS.data() + (block_y + r) * MAP_WIDTH;
    const int64_t y = block_h * r - rest_y;
    // Even columns first: the odd ones sit half a row lower and cover them.
    for (int64_t c = col_first; c <= even_last; ++c)
      put_cell(*this, panels, row[2 * (block_x + c)], block_w * c - rest_x, y);
    for (int64_t c = col_first; c <= odd_last; ++c) {
      put_cell(*this, panels, row[2 * (block_x + c) + 1], block_w * c + BOX_WIDTH - rest_x,
               y + ODD_COLUMN_OFFSET);
    }
  }
  LOG_OFF();
  CLIP_OFF();
  LOG_ON();
}

}  // namespace hexmap
