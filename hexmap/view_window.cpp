// The view window: a clip rectangle in screen pixels (corners inclusive) that confines drawing
// and mouse picks without moving the picture. Every operation waits for LOAD_TILES to have
// found the screen.
#include <algorithm>
#include <string>

#include "hexmap/hexagon_map.hpp"
#include "hexmap/pixel_geometry.hpp"
#include "raster/raster.hpp"

namespace hexmap {

namespace {

// WIN_SIZE, WIN_CENTER and CENTER_OFFSET from the corners (screen pixels).
void derive_window(HEXAGON_MAP& m) {
  m.WIN_SIZE = VECTOR2D(m.CLIP_END.X - m.CLIP_START.X, m.CLIP_END.Y - m.CLIP_START.Y);
  m.WIN_CENTER = VECTOR2D(m.CLIP_START.X + m.WIN_SIZE.X / 2, m.CLIP_START.Y + m.WIN_SIZE.Y / 2);
  m.CENTER_OFFSET = VECTOR2D(m.CELL_CENTER_X - m.WIN_CENTER.X, m.CELL_CENTER_Y - m.WIN_CENTER.Y);
}

// Corners are ordered, then the start is cut at 0 and the end at the screen's last pixel;
// they are not ordered again, so a start beyond the screen yields a negative size.
void set_corners(HEXAGON_MAP& m, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  m.CLIP_START = VECTOR2D(static_cast<int32_t>(std::max<int64_t>(x1, 0)),
                          static_cast<int32_t>(std::max<int64_t>(y1, 0)));
  m.CLIP_END = VECTOR2D(static_cast<int32_t>(std::min<int64_t>(x2, m.SCREEN_WIDTH - 1)),
                        static_cast<int32_t>(std::min<int64_t>(y2, m.SCREEN_HEIGHT - 1)));
  derive_window(m);
  if (m.LOG_ENABLED != 0) {
    m.PRINT_(m.NAME + ": - SET CLIP area " + to_string(m.CLIP_START) + "-" + to_string(m.CLIP_END));
  }
}

// The whole screen, for a window that was never set (screen pixels, inclusive).
void set_whole_screen(HEXAGON_MAP& m) {
  set_corners(m, 0, 0, int64_t{m.SCREEN_WIDTH} - 1, int64_t{m.SCREEN_HEIGHT} - 1);
}

// Start of a window of `size` (corner difference) moved to `start`, pushed back inside a
// screen `extent` pixels long.
int64_t start_inside(int64_t start, int64_t size, int64_t extent) {
  start = std::max<int64_t>(start, 0);
  return size + start >= extent ? extent - 1 - size : start;
}

// Corner difference that keeps a window from `start` inside a screen `extent` pixels long.
int64_t size_inside(int64_t size, int64_t start, int64_t extent) {
  size = std::max<int64_t>(size, 0);
  return size + start >= extent ? extent - 1 - start : size;
}

}  // namespace

void HEXAGON_MAP::SET_CLIP(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (SCREEN_UNCHECKED == -1) {
    log_line(":   SET CLIP area is bypassed");
    return;
  }
  set_corners(*this, x1, y1, x2, y2);
  CLIP_ON();
}

void HEXAGON_MAP::SET_WIN_POSITION(int32_t x, int32_t y) {
  if (SCREEN_UNCHECKED == -1) {
    log_line(":   SET WIN POSITION is bypassed");
    return;
  }
  const int64_t left = start_inside(x, WIN_SIZE.X, SCREEN_WIDTH);
  const int64_t top = start_inside(y, WIN_SIZE.Y, SCREEN_HEIGHT);
  CLIP_START = VECTOR2D(static_cast<int32_t>(left), static_cast<int32_t>(top));
  CLIP_END =
      VECTOR2D(static_cast<int32_t>(left + WIN_SIZE.X), static_cast<int32_t>(top + WIN_SIZE.Y));
  derive_window(*this);
}

void HEXAGON_MAP::SET_WIN_SIZE(int32_t width, int32_t height) {
  if (SCREEN_UNCHECKED == -1) {
    log_line(":   SET WIN SIZE is bypassed");
    return;
  }
  const int64_t w = size_inside(width, CLIP_START.X, SCREEN_WIDTH);
  const int64_t h = size_inside(height, CLIP_START.Y, SCREEN_HEIGHT);
  CLIP_END =
      VECTOR2D(static_cast<int32_t>(CLIP_START.X + w), static_cast<int32_t>(CLIP_START.Y + h));
  derive_window(*this);
}

// A window that was never set becomes the whole screen first. That is done here rather than
// through SET_CLIP, which ends in CLIP_ON: on a 1 x 1 screen the whole screen is (0,0)-(0,0)
// and still reads as never set, so the two would call each other forever.
void HEXAGON_MAP::CLIP_ON() {
  if (SCREEN_UNCHECKED == -1) {
    log_line(":   CLIP ON is bypassed");
    return;
  }
  if (detail::window_never_set(CLIP_START, CLIP_END)) set_whole_screen(*this);
  raster::view_set(CLIP_START.X, CLIP_START.Y, CLIP_END.X, CLIP_END.Y);
}

void HEXAGON_MAP::CLIP_OFF() {
  if (SCREEN_UNCHECKED == -1) {
    log_line(":   CLIP OFF is bypassed");
    return;
  }
  raster::view_set();
}

}  // namespace hexmap
