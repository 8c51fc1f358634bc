// Tile sheets made by the tests and benchmarks: a BMP writer and the shape of a flat-topped
// hexagon tile (tile pixels, origin at the tile's top-left corner).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

#include "raster/raster.hpp"

namespace hexmap::reference {

// Writes a sheet of `count` tiles side by side in one row as a 32-bit BMP (rows bottom-up);
// paint(i, x, y) is tile i's pixel (x, y), tile pixels with the origin at the top-left corner.
template <class Paint>
bool write_tile_sheet(const std::string& path, int tile_w, int tile_h, int count, Paint paint) {
  std::ofstream out(path, std::ios::binary);
  const auto put = [&](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
      out.put(static_cast<char>(v >> (8 * i) & 0xFF));
  };
  constexpr uint32_t kHeaderBytes = 54;
  const int width = tile_w * count;
  const auto data_bytes = static_cast<uint32_t>(width * tile_h * 4);
  out.write("BM", 2);
  // File size, reserved, data offset, information header size, width, height.
  for (const uint32_t v : {kHeaderBytes + data_bytes, 0u, kHeaderBytes, 40u,
                           static_cast<uint32_t>(width), static_cast<uint32_t>(tile_h)})
    put(v, 4);
  put(1, 2);   // planes
  put(32, 2);  // bits per pixel
  for (int i = 0; i < 6; ++i)
    put(i == 1 ? data_bytes : 0, 4);
  for (int y = tile_h - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x)
      put(paint(x / tile_w, x % tile_w, y), 4);
  }
  return static_cast<bool>(out);
}

// Where a tile pixel lies against a flat-topped hexagon of width w filling the top h rows:
// its distance inside each side's edge (sides numbered as the directions, 0 up, clockwise),
// negative beyond that edge.
struct HexPixel {
  std::array<double, 6> inside{};
  double edge_distance() const { return *std::min_element(inside.begin(), inside.end()); }
  bool in_hexagon() const { return edge_distance() >= 0; }
};

inline HexPixel hex_pixel(int x, int y, int w, int h) {
  // Corners clockwise from the left one; side n joins corners n + 1 and n + 2 (mod 6).
  const double cx[6] = {0, w / 4.0, 3 * w / 4.0, double(w), 3 * w / 4.0, w / 4.0};
  const double cy[6] = {h / 2.0, 0, 0, h / 2.0, double(h), double(h)};
  HexPixel p;
  for (int side = 0; side < 6; ++side) {
    const int a = (side + 1) % 6;
    const int b = (side + 2) % 6;
    const double ex = cx[b] - cx[a];
    const double ey = cy[b] - cy[a];
    p.inside[side] = (ex * (y + 0.5 - cy[a]) - ey * (x + 0.5 - cx[a])) / std::hypot(ex, ey);
  }
  return p;
}

// Lowest hexagon row above tile column x (tile pixels): the bottom edge of the outline, under
// which a tall tile shows its side face.
inline double hex_bottom(int x, int w, int h) {
  const double edge = std::min({x + 0.5, w - x - 0.5, w / 4.0});  // from the nearer side
  return h / 2.0 + edge / (w / 4.0) * h / 2.0;
}

}  // namespace hexmap::reference
