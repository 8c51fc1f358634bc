// Sight drawn over the map: every pixel of the view window that shows a map cell out of sight
// is darkened, cell by cell exactly as the hexagon pick divides the window.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "hexmap/sight.hpp"
#include "raster/raster.hpp"

namespace hexmap {
namespace {

// A quarter of red, green and blue, so that even dark grass shows the difference; keeps alpha.
constexpr raster::Color darker(raster::Color c) {
  return (c & 0xFF000000u) | ((c >> 2) & 0x003F3F3Fu);
}

bool row_major_before(VECTOR2D a, VECTOR2D b) {
  return a.Y != b.Y ? a.Y < b.Y : a.X < b.X;
}

}  // namespace

void shade_out_of_sight(const HEXAGON_MAP& map, const std::vector<VECTOR2D>& visible) {
  raster::Color* const screen = raster::screen_ptr();
  if (map.SCREEN_UNCHECKED == -1 || screen == nullptr) return;
  int width = 0, height = 0, depth = 0, bytes_per_pixel = 0, pitch = 0, refresh_rate = 0;
  std::string driver;
  raster::screen_info(width, height, depth, bytes_per_pixel, pitch, refresh_rate, driver);
  const int32_t row_pixels = pitch / static_cast<int32_t>(sizeof(raster::Color));
  // The view window cut to the screen (screen pixels, inclusive corners).
  const int32_t x0 = std::max(map.CLIP_START.X, 0);
  const int32_t y0 = std::max(map.CLIP_START.Y, 0);
  const int32_t x1 = std::min(map.CLIP_END.X, width - 1);
  const int32_t y1 = std::min(map.CLIP_END.Y, height - 1);
  for (int32_t y = y0; y <= y1; ++y) {
    for (int32_t x = x0; x <= x1; ++x) {
      const VECTOR2D cell = map.GET_GRID_POSITION_UNDER_MOUSE(x, y);
      if (map.INSIDE(cell) != 0 &&
          !std::binary_search(visible.begin(), visible.end(), cell, row_major_before)) {
        raster::Color& pixel = screen[static_cast<int64_t>(y) * row_pixels + x];
        pixel = darker(pixel);
      }
    }
  }
}

}  // namespace hexmap
