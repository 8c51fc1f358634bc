// Shared internals of the rasterizer: the image buffer, the one screen state, drawing targets.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "raster/backend.hpp"
#include "raster/raster.hpp"

namespace raster {

// One run of non-transparent pixels in a row of an image (image pixels, length >= 1).
struct OpaqueRun {
  int x = 0;
  int length = 0;
};

// The opaque runs of one row of an image: runs[first_run .. first_run + run_count), which lie
// within columns begin .. end (image pixels, begin inclusive, end exclusive; begin == end when
// the row has no run).
struct RowRuns {
  int first_run = 0;
  int run_count = 0;
  int begin = 0;
  int end = 0;
};

struct Image {
  int width = 0;
  int height = 0;
  std::vector<Color> pixels;  // row-major, no padding

  // Opaque runs, rebuilt lazily by the puts whenever a writer has marked the pixels changed.
  mutable std::vector<OpaqueRun> runs;
  mutable std::vector<RowRuns> row_runs;  // height entries
  mutable bool runs_stale = true;

  Color* row(int y) { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
  const Color* row(int y) const {
    return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
  }
  void mark_changed() { runs_stale = true; }
  // Brings runs and row_runs up to date.
  void refresh_runs() const;
};

}  // namespace raster

namespace raster::detail {

// Largest accepted width or height of a screen or image, and largest pixel count (256 MiB).
inline constexpr int kMaxSide = 32768;
inline constexpr int64_t kMaxPixels = int64_t{1} << 26;
// Float coordinates are clamped to +-kCoordLimit before they become pixel positions, so every
// later sum and product fits comfortably in 64 bits.
inline constexpr int kCoordLimit = 1 << 28;

// Keys are PC scan codes (set 1) below this.
inline constexpr int kScanCodes = 128;

inline constexpr Color kForeground = 0xFFFFFFFF;
inline constexpr Color kBackground = 0xFF000000;
inline constexpr Color kColorMask = 0x00FFFFFF;

inline bool is_transparent(Color c) {
  return (c & kColorMask) == kTransparentKey;
}

// A rectangle of screen or image pixels, corners inclusive; empty when right < left or
// bottom < top.
struct Rect {
  int left = 0;
  int top = 0;
  int right = -1;
  int bottom = -1;

  bool empty() const { return right < left || bottom < top; }
  bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
  Rect intersect(const Rect& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
  }
};

// Where a drawing operation writes: the pixels of an image or of the screen's frame, and the
// part of them it may change (image pixels or screen pixels, corners inclusive).
struct Canvas {
  Color* pixels = nullptr;
  int width = 0;
  int height = 0;
  Rect clip;
  Image* image = nullptr;  // the target image, or nullptr for the screen

  Color* row(int y) const { return pixels + static_cast<size_t>(y) * static_cast<size_t>(width); }
  void plot(int x, int y, Color c) const {
    if (clip.contains(x, y)) row(y)[x] = c;
  }
  // Fills columns x1..x2 (target pixels, inclusive) of row y, clipped.
  void span(int x1, int x2, int y, Color c) const;
};

#ifdef __EMSCRIPTEN__
inline constexpr Backend kDefaultBackend = Backend::web;
#else
inline constexpr Backend kDefaultBackend = Backend::window;
#endif

struct ScreenState {
  bool open = false;
  int depth = 32;
  Image frame;                   // the frame being built (screen pixels)
  std::vector<Color> presented;  // what the presenter was last given
  Rect clip;                     // screen pixels, inclusive; the whole screen when no view is set
  float cursor_x = 0;
  float cursor_y = 0;
  int text_row = 1;  // 1-based
  int text_column = 1;
  int lock_count = 0;
  bool unshown_drawing = false;  // drawn while unlocked and not yet presented
  Backend backend = kDefaultBackend;
  std::unique_ptr<Presenter> presenter;
};

ScreenState& screen();

// Records why the latest operation was refused; always returns a non-zero result code.
int refuse(std::string reason);

// The canvas for target (nullptr = the screen, clipped to the view), or nullopt when the target
// is the screen and no screen is open.
std::optional<Canvas> canvas_for(Image* target);
// Every drawing operation calls this once after writing to a canvas.
void canvas_changed(const Canvas& canvas);

// Shows drawing done outside a lock, then lets the presenter gather input.
void poll_presenter();
// Shows lines first..last (screen rows, inclusive) of the frame.
void present_lines(int first, int last);

// Draws the line between two target pixels, both included, clipped; bit 15 of style is the first
// pixel's, repeating every 16 pixels.
void plot_line(const Canvas& canvas, int x1, int y1, int x2, int y2, Color color, uint16_t style);

// Float position to pixel: the pixel containing it (rounds towards minus infinity), clamped to
// +-kCoordLimit. Only finite values may be passed.
inline int to_pixel(double v) {
  return static_cast<int>(std::clamp(std::floor(v), double{-kCoordLimit}, double{kCoordLimit}));
}
inline bool finite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace raster::detail
