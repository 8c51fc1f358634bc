// A small software canvas for drawing the demo's pictures at build time, and the BMP writer.
// Coordinates are the canvas's own pixels; rectangles are given as inclusive corners.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

namespace assets {

using Color = uint32_t;  // 0xRRGGBB

inline constexpr Color kMagenta = 0xFF00FF;  // see-through in sprites and tiles

// Deterministic noise in [0, 1) for a pixel and a seed.
double noise(int x, int y, int seed);
// Blends a toward b by t in [0, 1].
Color mix(Color a, Color b, double t);
// Multiplies each channel by f (brighter above 1), clamped.
Color shade(Color c, double f);

struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<Color> pixels;

  Canvas(int w, int h, Color fill);
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  Color get(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  void set(int x, int y, Color c) {
    if (inside(x, y)) pixels[static_cast<size_t>(y) * width + x] = c;
  }
  // Sets every pixel of the rectangle (x1, y1)-(x2, y2), corners inclusive, for which `paint`
  // gives a colour; the callback gets the pixel's position relative to (x1, y1).
  void paint(int x1, int y1, int x2, int y2, const std::function<bool(int, int, Color&)>& paint);
  void fill_rect(int x1, int y1, int x2, int y2, Color c);
  // Pixels whose centre lies in the ellipse around (cx, cy).
  void fill_ellipse(double cx, double cy, double rx, double ry, Color c);
  // Copies `from` with its top-left corner at (x, y), skipping magenta pixels.
  void put(const Canvas& from, int x, int y);
  // A one-pixel `edge` around every non-magenta pixel of the rectangle (x1, y1)-(x2, y2).
  void outline(int x1, int y1, int x2, int y2, Color edge);
};

// Text in the graphics layer's own 8 x 8 font, `scale` canvas pixels per font pixel, with an
// optional drop shadow one font pixel down and right (no shadow when shadow == kMagenta).
void draw_text(Canvas& canvas, int x, int y, std::string_view text, Color color, int scale = 1,
               Color shadow = kMagenta);
// Width of text drawn at `scale`, in canvas pixels.
int text_width(std::string_view text, int scale = 1);

// Writes an uncompressed 24-bit bottom-up BMP; false on any write error.
bool write_bmp(const std::filesystem::path& file, const Canvas& canvas);

}  // namespace assets
