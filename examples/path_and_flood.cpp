// Example: a walled map, an A* path and a flood range, drawn without a window.
//
//   hexmap_example_path_and_flood [picture.bmp]
//
// Builds a 24 x 14 map with holes, solid cells and a long wall with one gap, finds the way
// from the left edge to the right edge, floods 5 steps around a cell, prints what it found
// and draws it all into a 640 x 400 BMP picture (the README's picture is made with it).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "raster/raster.hpp"

namespace {

using hexmap::HEXAGON_MAP;
using hexmap::VECTOR2D;

constexpr int kWidth = 640;
constexpr int kHeight = 400;
constexpr double kRadius = 15.0;  // centre to corner, screen pixels
const double kHalfHeight = kRadius * std::sqrt(3.0) / 2.0;
constexpr double kMarginX = 30.0;
constexpr double kMarginY = 20.0;

constexpr raster::Color kNoGround = 0xFF202028;
constexpr raster::Color kGround = 0xFF5A6B4E;
constexpr raster::Color kSolid = 0xFF8C3B32;
constexpr raster::Color kOutline = 0xFF2B3326;
constexpr raster::Color kWall = 0xFFF2E6C9;
constexpr raster::Color kPath = 0xFFFFD23F;

// Centre of cell (x, y) in screen pixels: flat-topped hexagons, odd columns half a row lower.
void cell_centre(int x, int y, double& cx, double& cy) {
  cx = kMarginX + kRadius + x * 1.5 * kRadius;
  cy = kMarginY + kHalfHeight + y * 2.0 * kHalfHeight + ((x & 1) != 0 ? kHalfHeight : 0.0);
}

// Corner k (0 = right, then clockwise on screen) of the hexagon around (cx, cy).
void corner(double cx, double cy, int k, double& px, double& py) {
  const double angle = M_PI / 3.0 * k;
  px = cx + kRadius * std::cos(angle);
  py = cy + kRadius * std::sin(angle);
}

void fill_hexagon(double cx, double cy, raster::Color color) {
  for (int dy = static_cast<int>(-kHalfHeight); dy <= static_cast<int>(kHalfHeight); ++dy) {
    const double half = kRadius - std::abs(dy) / std::sqrt(3.0);
    raster::draw_line(nullptr, static_cast<float>(cx - half), static_cast<float>(cy + dy),
                      static_cast<float>(cx + half), static_cast<float>(cy + dy), color);
  }
}

// Side d of a cell runs between corners d + 4 and d + 5 (direction 0 is up).
void draw_side(double cx, double cy, int d, raster::Color color, int thickness) {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  corner(cx, cy, (d + 4) % 6, x1, y1);
  corner(cx, cy, (d + 5) % 6, x2, y2);
  for (int t = 0; t < thickness; ++t) {
    // Thicker walls step towards the cell's centre.
    const double k = t / kRadius;
    raster::draw_line(
        nullptr, static_cast<float>(x1 + (cx - x1) * k), static_cast<float>(y1 + (cy - y1) * k),
        static_cast<float>(x2 + (cx - x2) * k), static_cast<float>(y2 + (cy - y2) * k), color);
  }
}

raster::Color flood_color(int32_t flood, int32_t steps) {
  // Brighter blue the fewer steps it took to get there.
  const int level = 90 + 150 * (flood - 1) / std::max(1, steps);
  return 0xFF000000u | static_cast<uint32_t>(level / 3) << 16 |
         static_cast<uint32_t>(level / 2) << 8 | static_cast<uint32_t>(level);
}

void build_map(HEXAGON_MAP& map) {
  map.CREATE_MAP(24, 14);
  map.MAKE_SAMPLE_MAP(1);
  // A wall between columns 11 (odd) and 12 (even), on both cells of every edge, open at row 11.
  // Cell (11, y) meets (12, y) across its side 1 and (12, y + 1) across its side 2.
  for (int y = 0; y < 14; ++y) {
    if (y == 11) continue;
    map.SET_ID_WALL(11, y, map.GET_ID_WALL(11, y) | 1 << 1 | 1 << 2);
    map.SET_ID_WALL(12, y, map.GET_ID_WALL(12, y) | 1 << 4);
    map.SET_ID_WALL(12, y + 1, map.GET_ID_WALL(12, y + 1) | 1 << 5);
  }
  for (const VECTOR2D hole : {VECTOR2D(4, 3), VECTOR2D(5, 3), VECTOR2D(5, 4), VECTOR2D(17, 9),
                              VECTOR2D(18, 9), VECTOR2D(18, 10), VECTOR2D(7, 9)}) {
    map.SET_ID_GROUND(hole, 0);
  }
  for (const VECTOR2D rock : {VECTOR2D(8, 5), VECTOR2D(8, 6), VECTOR2D(9, 6), VECTOR2D(15, 4),
                              VECTOR2D(16, 4), VECTOR2D(20, 7)}) {
    map.ASTAR_CELLSETSOLID(rock, -1);
  }
}

int write_bmp(const std::string& file_name, const std::vector<raster::Color>& pixels) {
  std::ofstream out(file_name, std::ios::binary);
  const auto put16 = [&](uint16_t v) {
    out.put(static_cast<char>(v & 0xFF)).put(static_cast<char>(v >> 8));
  };
  const auto put32 = [&](uint32_t v) {
    put16(static_cast<uint16_t>(v & 0xFFFF));
    put16(static_cast<uint16_t>(v >> 16));
  };
  const uint32_t data_size = kWidth * kHeight * 4;
  out.write("BM", 2);
  put32(54 + data_size);
  put32(0);
  put32(54);
  put32(40);
  put32(kWidth);
  put32(static_cast<uint32_t>(-kHeight));  // top-down rows
  put16(1);
  put16(32);
  put32(0);
  put32(data_size);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (const raster::Color c : pixels)
    put32(c);
  return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string picture = argc > 1 ? argv[1] : "path_and_flood.bmp";
  raster::select_backend(raster::Backend::headless);
  if (raster::screen_set_mode(kWidth, kHeight, 32) != 0) {
    std::fprintf(stderr, "cannot open the screen: %s\n",
                 std::string(raster::failure_reason()).c_str());
    return 1;
  }

  HEXAGON_MAP map;
  map.LOG_OFF();
  build_map(map);
  constexpr int32_t kFloodSteps = 5;
  map.FLOODMAP_COMPUTE(5, 8, kFloodSteps);
  map.ASTAR_COMPUTE(VECTOR2D(1, 1), VECTOR2D(22, 2), 65535);
  std::printf("path found: %s, %d steps, first direction %d\n",
              map.ASTAR_PATH_FOUND != 0 ? "yes" : "no", map.ASTAR_PATH_LENGTH,
              map.ASTAR_FIRST_DIRECTION);

  raster::screen_lock();
  raster::screen_clear();
  for (int y = 0; y < map.MAP_HEIGHT; ++y) {
    for (int x = 0; x < map.MAP_WIDTH; ++x) {
      const hexmap::MAP_CELL cell = map.GET_ID(x, y);
      double cx = 0, cy = 0;
      cell_centre(x, y, cx, cy);
      raster::Color fill = cell.ID_GROUND == 0 ? kNoGround : kGround;
      if (cell.FLOOD > 0) fill = flood_color(cell.FLOOD, kFloodSteps + 1);
      if (cell.SOLID != 0) fill = kSolid;
      fill_hexagon(cx, cy, fill);
      for (int d = 0; d < 6; ++d)
        draw_side(cx, cy, d, kOutline, 1);
    }
  }
  for (int y = 0; y < map.MAP_HEIGHT; ++y) {
    for (int x = 0; x < map.MAP_WIDTH; ++x) {
      double cx = 0, cy = 0;
      cell_centre(x, y, cx, cy);
      for (int d = 0; d < 6; ++d) {
        if ((map.GET_ID_WALL(x, y) >> d & 1) != 0) draw_side(cx, cy, d, kWall, 3);
      }
    }
  }
  // The path: a line from each path cell to the next, and a dot on every cell of it.
  VECTOR2D at = map.ASTAR_START;
  for (int32_t step = 0; step < map.ASTAR_PATH_LENGTH; ++step) {
    const int32_t d = map.GET_ID(at).ASTAR_PATH_DIRECTION;
    VECTOR2D next = at;
    HEXAGON_MAP::MOVE_FORWARD(next, d);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    cell_centre(at.X, at.Y, x1, y1);
    cell_centre(next.X, next.Y, x2, y2);
    raster::draw_line(nullptr, static_cast<float>(x1), static_cast<float>(y1),
                      static_cast<float>(x2), static_cast<float>(y2), kPath);
    raster::draw_circle(nullptr, static_cast<float>(x1), static_cast<float>(y1), 3.0f, kPath, 0, 0,
                        6.2831859f, true);
    at = next;
  }
  double ex = 0, ey = 0;
  cell_centre(map.ASTAR_END.X, map.ASTAR_END.Y, ex, ey);
  raster::draw_circle(nullptr, static_cast<float>(ex), static_cast<float>(ey), 6.0f, kPath, 0, 0,
                      6.2831859f, true);
  raster::text_locate(49, 2);
  raster::print_text("A* path (yellow) around holes, rocks and a wall; flood of 5 steps (blue)",
                     false);
  raster::screen_unlock();

  if (write_bmp(picture, raster::headless::presented_frame()) != 0) {
    std::fprintf(stderr, "cannot write %s\n", picture.c_str());
    return 1;
  }
  std::printf("picture written to %s\n", picture.c_str());
  return 0;
}
